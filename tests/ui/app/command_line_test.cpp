#include "ui/documents/document_session.h"
#include "ui/editor/code_sense.h"

#include "support/ui_fixtures.h"
#include "support/x11_window.h"

#include <QAction>
#include <QTest>

#include <gtest/gtest.h>

namespace cw {
namespace {

void activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// A main window started with arguments, its start-up notice (no definition
// set chosen) out of the way.
struct Started : test::FormFixture {
    explicit Started(const QStringList& arguments) : FormFixture(std::string(), arguments) { prompts.shown.clear(); }
};

TEST(CommandLine, OpensTheScriptOnlyAtTheFirstActivation)
{
    test::TempDir scripts;
    const QString path = QString::fromStdString(scripts.write("My Scripts/a.avs", "Version()"));
    Started f({"-i", path});
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
        const char* caption; // nullptr: the command stays hidden
        QString loaded;
    } rows[] = {
        {"opener and title", {"-oh", "1A2B", "-ot", "Encoder GUI"}, "Back to Encoder GUI", ""},
        {"opener alone", {"-oh", "1a2b"}, "Back to opener", ""},
        {"not hexadecimal", {"-oh", "0x1A2B", "-ot", "T"}, nullptr, ""},
        {"plain file", {"--exit-after-startup", script}, nullptr, script},
        {"missing script", {"-i", script + "x"}, nullptr, ""},
        {"script and opener", {"-ot", "Tool", "-i", script, "-oh", "2f"}, "Back to Tool", script},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Started f(row.arguments);
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
    Started f({"-oh", "1A2B"});
    activate(*f.form);
    const QByteArray display = qgetenv("DISPLAY");
    const bool hadDisplay = qEnvironmentVariableIsSet("DISPLAY");
    qunsetenv("DISPLAY");
    f.form->command("mnuBackToOpener")->trigger();
    if (hadDisplay) qputenv("DISPLAY", display);
    const QString shown = f.prompts.lines();
    EXPECT_TRUE(shown.startsWith("#error: ") && shown.contains("DISPLAY")) << shown.toStdString();
    EXPECT_TRUE(f.form->isVisible());
    EXPECT_EQ(f.settingsFile(), "#configuration\r\n");
}

TEST(BackToOpener, HandsTheScriptToItsWindowAndClosesWithoutAsking)
{
    test::X11Window opener;
    if (!opener.open()) GTEST_SKIP() << "no X11 display";
    test::TempDir scripts;
    const std::string original = "AviSource(\"caf\xE9.avi\")\r\nBlur(1)";
    const std::string path = scripts.write("a.avs", original);
    Started f({"-i", QString::fromStdString(path), "-oh", QString::number(opener.id(), 16), "-ot", "Tool"});
    Form1& form = *f.form;
    activate(form);
    QAction* back = form.command("mnuBackToOpener");
    ASSERT_TRUE(back->isVisible());
    form.codeSense()->insertTextAtCaret("# edited\r\n");
    ASSERT_TRUE(form.documents().state().isModified());

    back->trigger();
    EXPECT_EQ(opener.property(opener.atom("_NET_WM_NAME")),
              std::make_pair(opener.atom("UTF8_STRING"),
                             std::string("# edited\r\nAviSource(\"caf\xC3\xA9.avi\")\r\nBlur(1)")));
    EXPECT_EQ(opener.property(XCB_ATOM_WM_NAME),
              std::make_pair(xcb_atom_t{XCB_ATOM_STRING}, "# edited\r\n" + original));
    EXPECT_TRUE(f.prompts.shown.empty()); // no save question
    EXPECT_FALSE(form.isVisible());
    EXPECT_NE(f.settingsFile().find("filters.view.mode=1"), std::string::npos);
    EXPECT_EQ(scripts.read("a.avs"), original);
}

} // namespace
} // namespace cw
