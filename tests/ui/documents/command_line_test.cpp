#include "ui/editor/code_sense.h"

#include "quiet_form.h"

#include <QAction>
#include <QTest>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace cw {
namespace {

void activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

TEST(CommandLine, OpensTheScriptOnlyAtTheFirstActivation)
{
    test::TempDir scripts;
    const QString path = QString::fromStdString(scripts.write("My Scripts/a.avs", "Version()"));
    test::QuietForm f({}, {"-i", path});
    Form1& form = *f.form;
    EXPECT_EQ(QString::fromStdString(form.documents().state().currentFile()), ""); // nothing before the window shows
    activate(form);
    EXPECT_EQ(form.codeSense()->text(), "Version()");
    EXPECT_EQ(form.documents().state().recentFiles()[0], path.toStdString());
    EXPECT_TRUE(form.windowTitle().endsWith(" - [" + path + "]"));

    form.codeSense()->insertTextAtCaret("x");
    QWidget other;
    activate(other);
    activate(form);
    EXPECT_EQ(form.codeSense()->text(), "xVersion()");
    EXPECT_TRUE(f.prompts.shown.empty());
}

TEST(CommandLine, SwitchesSetUpTheBackCommand)
{
    test::TempDir scripts;
    const QString script = QString::fromStdString(scripts.write("a.avs", "Version()"));
    const struct {
        const char* name;
        QStringList arguments;
        quint32 opener;
        const char* caption; // nullptr: the command stays hidden
        QString loaded;
    } rows[] = {
        {"opener and title", {"-oh", "1A2B", "-ot", "Encoder GUI"}, 0x1A2B, "Back to Encoder GUI", ""},
        {"opener alone", {"-oh", "1a2b"}, 0x1A2B, "Back to opener", ""},
        {"repeated last token dropped", {"-oh", "10", "-ot", "10"}, 0x10, "Back to opener", ""},
        {"not hexadecimal", {"-oh", "0x1A2B", "-ot", "T"}, 0, nullptr, ""},
        {"window 0", {"-oh", "0"}, 0, nullptr, ""},
        // The program refuses "-I" before the window exists; the window alone sees a plain file.
        {"plain file after a capital switch", {"-I", script}, 0, nullptr, script},
        {"plain file", {"--exit-after-startup", script}, 0, nullptr, script},
        {"switch without value", {"-i"}, 0, nullptr, ""},
        {"missing script", {"-i", script + "x"}, 0, nullptr, ""},
        {"script and opener", {"-ot", "Tool", "-i", script, "-oh", "2f"}, 0x2F, "Back to Tool", script},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::QuietForm f({}, row.arguments);
        activate(*f.form);
        QAction* back = f.form->command("mnuBackToOpener");
        EXPECT_EQ(back->isVisible(), row.caption != nullptr);
        if (row.caption) {
            EXPECT_EQ(back->text(), row.caption);
        }
        EXPECT_EQ(QString::fromStdString(f.form->documents().state().currentFile()), row.loaded);
        EXPECT_TRUE(f.prompts.shown.empty());
    }
}

TEST(BackToOpener, WithoutADisplayTheWindowStaysOpenAndSaysWhy)
{
    test::QuietForm f({}, {"-oh", "1A2B"});
    activate(*f.form);
    const QByteArray display = qgetenv("DISPLAY");
    const bool hadDisplay = qEnvironmentVariableIsSet("DISPLAY");
    qunsetenv("DISPLAY");
    f.form->command("mnuBackToOpener")->trigger();
    if (hadDisplay) qputenv("DISPLAY", display);
    EXPECT_TRUE(f.shown().startsWith("#error: ") && f.shown().contains("DISPLAY")) << f.shown().toStdString();
    EXPECT_TRUE(f.form->isVisible());
    EXPECT_EQ(f.settingsFile(), "#configuration\r\n");
}

// A real X11 window stands in for the tool that started the program. Under
// CI a missing display is a broken set-up, not a reason to skip.
TEST(BackToOpener, HandsTheScriptToItsWindowAndClosesWithoutAsking)
{
    int screenNumber = 0;
    xcb_connection_t* conn = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(conn)) {
        xcb_disconnect(conn);
        if (std::getenv("CI")) FAIL() << "CI is set but no X11 display could be opened";
        GTEST_SKIP() << "no X11 display";
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&it);
    const xcb_window_t window = xcb_generate_id(conn);
    xcb_create_window(conn, XCB_COPY_FROM_PARENT, window, it.data->root, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, it.data->root_visual, 0, nullptr);
    xcb_flush(conn);
    const auto atom = [conn](const char* name) {
        auto* r = xcb_intern_atom_reply(
            conn, xcb_intern_atom(conn, 0, std::uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r->atom;
        std::free(r);
        return a;
    };
    const auto property = [conn, window](xcb_atom_t name) { // its type and bytes
        auto* r = xcb_get_property_reply(
            conn, xcb_get_property(conn, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20), nullptr);
        const std::pair<xcb_atom_t, std::string> result{
            r->type, std::string(static_cast<const char*>(xcb_get_property_value(r)),
                                 std::size_t(xcb_get_property_value_length(r)))};
        std::free(r);
        return result;
    };

    test::TempDir scripts;
    const std::string original = "AviSource(\"caf\xE9.avi\")\r\nBlur(1)";
    const std::string path = scripts.write("a.avs", original);
    test::QuietForm f(
        {}, {"-i", QString::fromStdString(path), "-oh", QString::number(window, 16), "-ot", "Tool"});
    Form1& form = *f.form;
    activate(form);
    QAction* back = form.command("mnuBackToOpener");
    ASSERT_TRUE(back->isVisible());
    form.codeSense()->insertTextAtCaret("# edited\r\n");
    ASSERT_TRUE(form.documents().state().isModified());

    back->trigger();
    EXPECT_EQ(property(atom("_NET_WM_NAME")),
              std::make_pair(atom("UTF8_STRING"),
                             std::string("# edited\r\nAviSource(\"caf\xC3\xA9.avi\")\r\nBlur(1)")));
    EXPECT_EQ(property(XCB_ATOM_WM_NAME),
              std::make_pair(xcb_atom_t{XCB_ATOM_STRING}, "# edited\r\n" + original));
    EXPECT_TRUE(f.prompts.shown.empty()); // no save question
    EXPECT_FALSE(form.isVisible());
    EXPECT_NE(f.settingsFile().find("filters.view.mode=1"), std::string::npos);
    EXPECT_EQ(scripts.read("a.avs"), original);
    xcb_destroy_window(conn, window);
    xcb_disconnect(conn);
}

} // namespace
} // namespace cw
