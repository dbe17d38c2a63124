#include "core/app/opener_link.h"

#include "support/x11_window.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace cw {
namespace {

TEST(EncodeWmName, ChoosesStringOrCompoundText)
{
    const struct {
        std::string utf8;
        std::string bytes;
        bool compound;
    } rows[] = {
        {"", "", false},
        {"Version()\r\n\tBlur(1.0)", "Version()\r\n\tBlur(1.0)", false},
        {"caf\xC3\xA9 \xC2\xA0\xC3\xBF", "caf\xE9 \xA0\xFF", false},
        {"\xE6\x97\xA5\xE6\x9C\xAC", "\x1b%G\xE6\x97\xA5\xE6\x9C\xAC\x1b%@", true},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xA5x\xC3\xA9", "\xE9\x1b%G\xE2\x82\xAC\xF0\x9F\x8E\xA5\x1b%@x\xE9", true},
        // A C1 control would read as a control sequence in compound text.
        {"a\xC2\x9B" "b", "a\x1b%G\xC2\x9B\x1b%@b", true},
    };
    for (const auto& row : rows) {
        const WmNameText text = encodeWmName(row.utf8);
        EXPECT_EQ(text.bytes, row.bytes);
        EXPECT_EQ(text.compound, row.compound);
    }
}

TEST(OpenerLink, RefusesWhatItCannotSendAndNamesTheMissingDisplay)
{
    EXPECT_NE(setOpenerWindowText(0, "x"), "");
    EXPECT_NE(setOpenerWindowText(0x1A2B, "\xFF\xFE"), "");
    const char* old = std::getenv("DISPLAY");
    const std::string saved = old ? old : "";
    ::unsetenv("DISPLAY");
    EXPECT_NE(setOpenerWindowText(0x1A2B, "x").find("DISPLAY"), std::string::npos);
    ::setenv("DISPLAY", ":4711", 1);
    EXPECT_NE(setOpenerWindowText(0x1A2B, "x").find(":4711"), std::string::npos);
    if (old)
        ::setenv("DISPLAY", saved.c_str(), 1);
    else
        ::unsetenv("DISPLAY");
}

TEST(OpenerWindow, GetsTheScriptAsUtf8AndAsStringOrCompoundTextUpToTheServersLimit)
{
    test::X11Window opener;
    if (!opener.open()) GTEST_SKIP() << "no X11 display";
    const struct {
        std::string script;
        std::string type;
        std::string wmName;
    } rows[] = {
        {"AviSource(\"caf\xC3\xA9.avi\")\r\nBlur(1.0)", "STRING", "AviSource(\"caf\xE9.avi\")\r\nBlur(1.0)"},
        {"# \xE6\x97\xA5\xE6\x9C\xAC \xC3\xA9\nVersion()", "COMPOUND_TEXT",
         "# \x1b%G\xE6\x97\xA5\xE6\x9C\xAC\x1b%@ \xE9\nVersion()"},
        {"short", "STRING", "short"}, // replaces the longer name before it
    };
    for (const auto& row : rows) {
        ASSERT_EQ(setOpenerWindowText(opener.id(), row.script), "");
        EXPECT_EQ(opener.property(opener.atom("_NET_WM_NAME")),
                  std::make_pair(opener.atom("UTF8_STRING"), row.script));
        EXPECT_EQ(opener.property(XCB_ATOM_WM_NAME), std::make_pair(opener.atom(row.type), row.wmName));
    }

    // Scripts larger than a plain request go through, up to the server's limit.
    const std::string big(1 << 20, 'x');
    ASSERT_EQ(setOpenerWindowText(opener.id(), big), "");
    EXPECT_EQ(opener.property(XCB_ATOM_WM_NAME).second.size(), big.size());

    const std::string tooBig(std::size_t{xcb_get_maximum_request_length(opener.connection())} * 4, 'x');
    EXPECT_NE(setOpenerWindowText(opener.id(), tooBig).find("too large"), std::string::npos);
    EXPECT_EQ(opener.property(XCB_ATOM_WM_NAME).second.size(), big.size());

    // A window that is gone is reported.
    xcb_destroy_window(opener.connection(), opener.id());
    xcb_flush(opener.connection());
    std::free(xcb_get_input_focus_reply(opener.connection(), xcb_get_input_focus(opener.connection()), nullptr));
    EXPECT_NE(setOpenerWindowText(opener.id(), "x").find("does not exist"), std::string::npos);
}

} // namespace
} // namespace cw
