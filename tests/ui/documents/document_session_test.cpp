#include "ui/documents/document_session.h"
#include "ui/editor/code_sense.h"
#include "ui/editor/editing_commands.h"

#include "support/ui_fixtures.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <functional>

namespace cw {
namespace {

using Answer = PromptService::Answer;

// The script pane and its document in a window of their own; every message,
// question and file dialog is recorded.
struct Session {
    QString write(const char* name, const std::string& bytes) const
    {
        return QString::fromStdString(dir.write(name, bytes));
    }
    QString file(const char* name) const { return QString::fromStdString(dir.file(name)); }
    void type(const QString& keys) { QTest::keyClicks(editor.editorWidget(), keys); }
    QString current() const { return QString::fromStdString(session.state().currentFile()); }
    bool modified() const { return session.state().isModified(); }

    test::RecordingPrompts prompts;
    test::ScriptedFileDialogs dialogs;
    test::TempDir dir;
    QWidget window;
    CodeSense editor{&window};
    DocumentSession session{editor, window};
};

// a.avs with one typed change.
struct ModifiedScript : Session {
    ModifiedScript()
    {
        session.loadScript(write("a.avs", "Version()"));
        type("x");
    }
};

// Scripts come back byte for byte, with the document's own line end appended.
TEST(DocumentSession, SavingWritesTheScriptBackAndClearsTheMark)
{
    const struct {
        std::string bytes, typed, appended;
    } rows[] = {
        {"AviSource(\"caf\xE9.avi\")\r\n# \x80 \x9F\r\nBlur(1)", "", "\r\n"}, // Windows-1252
        {"# caf\xC3\xA9\nBlur(1)", "B", "\n"},                                // UTF-8
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        Session s;
        const QString path = s.write("s.AVS", row.bytes);
        s.session.loadScript(path);
        s.type(QString::fromStdString(row.typed));
        EXPECT_EQ(s.modified(), !row.typed.empty());
        s.session.saveCurrentScript();
        EXPECT_FALSE(s.modified());
        EXPECT_EQ(s.current(), path);
        EXPECT_EQ(s.dir.read("s.AVS"), row.typed + row.bytes + row.appended);
        EXPECT_TRUE(s.prompts.shown.empty());
    }
}

// Program-made edits count as the user's too.
TEST(DocumentSession, EveryKindOfUserChangeSetsTheMark)
{
    const std::vector<std::pair<const char*, std::function<void(Session&, EditingCommands&)>>> changes = {
        {"paste",
         [](Session& s, EditingCommands&) {
             QApplication::clipboard()->setText("Blur(1.0)");
             s.editor.runCommand(CodeSense::cmdPaste);
         }},
        {"shift typing",
         [](Session& s, EditingCommands&) {
             QTest::keyClick(s.editor.editorWidget(), Qt::Key_B, Qt::ShiftModifier);
         }},
        {"comment block",
         [](Session& s, EditingCommands& editing) {
             s.editor.setSelection({{0, 0}, {0, 3}});
             editing.commentSelection();
         }},
        {"undo",
         [](Session& s, EditingCommands&) {
             s.editor.replaceSelectedText("x");
             s.session.setModified(false);
             s.editor.runCommand(CodeSense::cmdUndo);
         }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        Session s;
        EditingCommands editing(s.editor, s.window);
        s.window.show();
        QApplication::setActiveWindow(&s.window);
        s.editor.setScript(DecodedText{"abc", TextEncoding::Utf8, "\r\n"});
        s.editor.focusEditor();
        ASSERT_FALSE(s.modified());
        change(s, editing);
        EXPECT_TRUE(s.modified());
    }
}

// A load that fails shows its message and leaves text, file, mark and recent list alone.
TEST(DocumentSession, FailedLoadChangesNothing)
{
    const struct {
        const char* file;
        bool create;
        const char* message; // %1 is the full path
    } rows[] = {
        {"missing.avs", false, "unable to load: %1\r\nfile does not exist !"},
        {"a.txt", true, "%1 is not an Avisynth script"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        ModifiedScript s;
        const auto recent = s.session.state().recentFiles();
        if (row.create) s.write(row.file, "Blur(2)");
        s.session.loadScript(s.file(row.file));
        EXPECT_EQ(s.prompts.lines(), "#error: " + QString::fromLatin1(row.message).arg(s.file(row.file)));
        EXPECT_EQ(s.editor.text(), "xVersion()");
        EXPECT_TRUE(s.modified());
        EXPECT_EQ(s.current(), s.file("a.avs"));
        EXPECT_EQ(s.session.state().recentFiles(), recent);
    }
}

// Opening another script over unsaved changes asks first; Cancel keeps everything.
TEST(DocumentSession, OpeningOverUnsavedChangesAsks)
{
    const struct {
        Answer answer;
        bool opened;
        const char* savedA;
    } rows[] = {{Answer::Cancel, false, "Version()"},
                {Answer::No, true, "Version()"},
                {Answer::Yes, true, "xVersion()\r\n"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.answer));
        ModifiedScript s;
        const QString b = s.write("b.avs", "Blur(2)");
        s.dialogs.choices.push_back({b});
        s.prompts.answers.push_back(row.answer);
        s.session.openScriptDialog();
        EXPECT_EQ(s.prompts.lines(), "Clipwright: Save changes to " + s.file("a.avs") + "?");
        EXPECT_EQ(s.current(), row.opened ? b : s.file("a.avs"));
        EXPECT_EQ(s.editor.text(), row.opened ? "Blur(2)" : "xVersion()");
        EXPECT_EQ(s.modified(), !row.opened);
        EXPECT_EQ(s.dir.read("a.avs"), row.savedA);
    }
}

// Save on an untitled script goes through Save As, which clears the mark
// only when it wrote the file. The window owns the dialog, which suggests
// .avs and leaves the overwrite question to the program.
TEST(DocumentSession, SaveAsKeepsTheMarkUnlessItWrote)
{
    const struct {
        const char* name;
        bool chooseExisting, cancel;
        Answer overwrite;
        bool written;
    } rows[] = {
        {"cancelled dialog", false, true, Answer::No, false},
        {"No to overwrite", true, false, Answer::No, false},
        {"Yes to overwrite", true, false, Answer::Yes, true},
        {"new file", false, false, Answer::No, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Session s;
        s.type("Blur(1)");
        s.write("old.avs", "old");
        const QString target = s.file(row.chooseExisting ? "old.avs" : "new.avs");
        if (!row.cancel) s.dialogs.choices.push_back({target});
        s.prompts.answers.push_back(row.overwrite);

        s.session.saveCurrentScript();
        ASSERT_EQ(s.dialogs.requests.size(), 1u);
        const FileDialogRequest& asked = s.dialogs.requests[0];
        EXPECT_TRUE(asked.owner == &s.window && asked.save && !asked.confirmOverwrite);
        EXPECT_EQ(asked.defaultSuffix, "avs");
        EXPECT_EQ(s.modified(), !row.written);
        EXPECT_EQ(s.current(), row.written ? target : QString());
        EXPECT_EQ(s.prompts.lines(), row.chooseExisting ? "Clipwright: Overwrite " + target + "?" : "");
        EXPECT_EQ(s.dir.read("old.avs"), row.chooseExisting && row.written ? "Blur(1)\r\n" : "old");
    }
}

TEST(DocumentSession, FailedSaveKeepsTheOldFileAndTheMark)
{
    ModifiedScript s;
    s.editor.insertTextAtCaret(QString(5000, QLatin1Char('#')));
    { // A file size limit stops the write part way, for root as well.
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit = old;
        limit.rlim_cur = 1000;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        s.session.saveCurrentScript();
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    const QString path = s.file("a.avs");
    // The message names the file and the system's reason.
    EXPECT_TRUE(s.prompts.lines().startsWith("#error: " + path + ": ")) << s.prompts.lines().toStdString();
    EXPECT_GT(s.prompts.lines().size(), path.size() + 10);
    EXPECT_EQ(s.prompts.shown.size(), 1u);
    EXPECT_EQ(s.dir.read("a.avs"), "Version()");
    EXPECT_TRUE(s.modified());

    // A folder in the way fails through Save As without taking its name.
    s.dialogs.choices.push_back({s.write("dir.avs/keep", "").section('/', 0, -2)});
    EXPECT_FALSE(s.session.saveScriptAs());
    EXPECT_EQ(s.prompts.shown.size(), 2u);
    EXPECT_EQ(s.current(), path);
    EXPECT_TRUE(s.modified());
}

// Export and import move fragments and leave the document's file and mark as they were.
TEST(DocumentSession, ExportAndImportLeaveTheDocumentAlone)
{
    ModifiedScript s;
    const QString a = s.file("a.avs");
    s.session.exportSelection();
    EXPECT_EQ(s.prompts.lines(), "#error: unable to export empty selection");
    EXPECT_TRUE(s.dialogs.requests.empty());

    s.editor.setSelection({{0, 1}, {0, 8}});
    s.dialogs.choices.push_back({s.file("part.avs")});
    s.session.exportSelection();
    EXPECT_EQ(s.dir.read("part.avs"), "Version\r\n");
    EXPECT_EQ(s.current(), a);
    EXPECT_TRUE(s.modified());
    s.session.saveCurrentScript();
    EXPECT_EQ(s.dir.read("a.avs"), "xVersion()\r\n");
    EXPECT_EQ(s.dir.read("part.avs"), "Version\r\n");

    // Exported over its own file, the document no longer matches what is on disk.
    s.editor.setSelection({{0, 0}, {0, 1}});
    s.dialogs.choices.push_back({a});
    s.prompts.answers.push_back(Answer::Yes);
    s.session.exportSelection();
    EXPECT_EQ(s.dir.read("a.avs"), "x\r\n");
    EXPECT_TRUE(s.modified());

    // Import replaces the selection and leaves the caret after it.
    s.editor.setSelection({{0, 1}, {0, 8}});
    s.dialogs.choices.push_back({s.write("frag.txt", "Blur(1)")});
    s.session.importTemplate();
    EXPECT_EQ(s.editor.text(), "xBlur(1)()");
    EXPECT_EQ(s.editor.getSelection(true), (CodeSense::Range{{0, 8}, {0, 8}}));
    EXPECT_EQ(s.current(), a);
}

// The items show the slots that hold a path, "&" literally, follow every
// load that changes the list, and open the file they name.
TEST(DocumentSession, TheRecentFilesMenuFollowsTheListAndOpensItsItems)
{
    Session s;
    QMenu recent;
    QAction separator;
    for (int slot = 1; slot <= 4; ++slot) {
        QAction* item = recent.addAction(QString());
        item->setObjectName(QStringLiteral("mnuFileRF%1").arg(slot));
        item->setVisible(false);
    }
    s.session.attachRecentFilesMenu(&recent, &separator);
    // The submenu's enabled state, the separator, then the four slots: "E|S|1234" with '-' for hidden.
    const auto menuState = [&] {
        QString state = recent.menuAction()->isEnabled() ? "E|" : "-|";
        state += separator.isVisible() ? "S|" : "-|";
        for (int i = 0; i < 4; ++i)
            state += recent.actions()[i]->isVisible() ? QString::number(i + 1) : "-";
        return state;
    };
    const std::pair<RecentFiles, const char*> rows[] = {
        {{"", "", "", "/s/d.avs"}, "-|S|----"},
        {{"a.avs", "", "/s/c.avs", ""}, "E|-|--3-"},
        {{"/s/a.avs", "/s/b.avs", "/s/c.avs", "/s/R&D.avs"}, "E|S|1234"},
    };
    for (const auto& [files, expected] : rows) {
        s.session.setRecentFiles(files);
        EXPECT_EQ(menuState(), expected) << files[0];
    }
    EXPECT_EQ(recent.actions()[3]->text(), "/s/R&&D.avs");

    s.session.loadScript(s.write("1.avs", "Version()"));
    s.session.loadScript(s.file("missing.avs"));
    s.session.loadScript(s.write("2.avs", "Version()"));
    EXPECT_EQ(recent.actions()[0]->text(), s.file("2.avs"));
    EXPECT_EQ(recent.actions()[1]->text(), s.file("1.avs"));
    EXPECT_EQ(recent.actions()[2]->text(), "/s/a.avs");

    s.write("1.avs", "Blur(3)");
    recent.actions()[1]->trigger();
    EXPECT_EQ(s.current(), s.file("1.avs"));
    EXPECT_EQ(s.editor.text(), "Blur(3)");
}

} // namespace
} // namespace cw
