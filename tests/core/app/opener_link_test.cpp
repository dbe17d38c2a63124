#include "core/app/opener_link.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <xcb/xcb.h>

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

// A window of our own on $DISPLAY standing in for the opener. Without a
// display the tests skip, except under CI, where a missing display is a fault
// of the set-up that must not pass unnoticed.
class OpenerWindow : public testing::Test {
protected:
    void SetUp() override
    {
        int screenNumber = 0;
        m_conn = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(m_conn)) {
            if (std::getenv("CI")) FAIL() << "CI is set but no X11 display could be opened";
            GTEST_SKIP() << "no X11 display";
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_conn));
        for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
        m_window = xcb_generate_id(m_conn);
        xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, m_window, it.data->root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, it.data->root_visual, 0, nullptr);
        xcb_flush(m_conn);
    }

    void TearDown() override { xcb_disconnect(m_conn); }

    xcb_atom_t atom(const std::string& name)
    {
        auto* reply = xcb_intern_atom_reply(
            m_conn, xcb_intern_atom(m_conn, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
        const xcb_atom_t result = reply->atom;
        std::free(reply);
        return result;
    }

    // The property's type and bytes.
    std::pair<xcb_atom_t, std::string> property(xcb_atom_t name)
    {
        auto* reply = xcb_get_property_reply(
            m_conn, xcb_get_property(m_conn, 0, m_window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 24), nullptr);
        std::pair<xcb_atom_t, std::string> result{
            reply->type, std::string(static_cast<const char*>(xcb_get_property_value(reply)),
                                     static_cast<std::size_t>(xcb_get_property_value_length(reply)))};
        std::free(reply);
        return result;
    }

    xcb_connection_t* m_conn = nullptr;
    xcb_window_t m_window = 0;
};

TEST_F(OpenerWindow, GetsTheScriptAsUtf8AndAsStringOrCompoundTextUpToTheServersLimit)
{
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
        ASSERT_EQ(setOpenerWindowText(m_window, row.script), "");
        EXPECT_EQ(property(atom("_NET_WM_NAME")), std::make_pair(atom("UTF8_STRING"), row.script));
        EXPECT_EQ(property(XCB_ATOM_WM_NAME), std::make_pair(atom(row.type), row.wmName));
    }

    // Scripts larger than a plain request go through, up to the server's limit.
    const std::string big(1 << 20, 'x');
    ASSERT_EQ(setOpenerWindowText(m_window, big), "");
    EXPECT_EQ(property(XCB_ATOM_WM_NAME).second.size(), big.size());

    const std::string tooBig(std::size_t{xcb_get_maximum_request_length(m_conn)} * 4, 'x');
    EXPECT_NE(setOpenerWindowText(m_window, tooBig).find("too large"), std::string::npos);
    EXPECT_EQ(property(XCB_ATOM_WM_NAME).second.size(), big.size());

    // A window that is gone is reported.
    xcb_destroy_window(m_conn, m_window);
    xcb_flush(m_conn);
    std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
    EXPECT_NE(setOpenerWindowText(m_window, "x").find("does not exist"), std::string::npos);
}

} // namespace
} // namespace cw
