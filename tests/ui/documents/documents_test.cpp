#include "ui/editor/code_sense.h"

#include "quiet_form.h"

#include <QAction>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

namespace cw {
namespace {

using Answer = PromptService::Answer;

QString qpath(const std::string& path)
{
    return QString::fromStdString(path);
}

void type(Form1& form, const char* keys)
{
    QTest::keyClicks(form.codeSense()->editorWidget(), QString::fromLatin1(keys));
}

void trigger(Form1& form, const char* name)
{
    form.command(QString::fromLatin1(name))->trigger();
}

// A window holding a.avs with one typed change.
struct ModifiedScript : test::QuietForm {
    ModifiedScript()
    {
        home.write("a.avs", "Version()");
        form->loadScript(qpath(home.file("a.avs")));
        type(*form, "x");
    }
};

// Scripts come back byte for byte, the document's own line end appended only
// where the text lacked one; the title marks typed changes until the save.
TEST(Documents, SavingWritesTheScriptBackAndClearsTheMark)
{
    const struct {
        std::string bytes, typed, appended;
    } rows[] = {
        {"AviSource(\"caf\xE9.avi\")\r\n# \x80 \x9F\r\nBlur(1)", "", "\r\n"}, // Windows-1252
        {"# na\xEFve\nBlur(1)\n", "", ""},
        {"# caf\xC3\xA9\r\nBlur(1)", "B", "\r\n"}, // UTF-8
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        test::QuietForm f;
        Form1& form = *f.form;
        const QString path = qpath(f.home.write("s.AVS", row.bytes));
        form.loadScript(path);
        EXPECT_EQ(form.windowTitle(), form.appTitle() + " - [" + path + "]");
        type(form, row.typed.c_str());
        EXPECT_EQ(form.windowTitle().endsWith("*]"), !row.typed.empty());
        trigger(form, "mnuFileSave");
        EXPECT_EQ(form.windowTitle(), form.appTitle() + " - [" + path + "]");
        EXPECT_EQ(f.home.read("s.AVS"), row.typed + row.bytes + row.appended);
        EXPECT_TRUE(f.prompts.shown.empty());
    }
}

// A load that fails shows its message and leaves text, flag, title and recent list alone.
TEST(Documents, FailedLoadChangesNothing)
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
        ModifiedScript f;
        Form1& form = *f.form;
        const QString title = form.windowTitle();
        const auto recent = form.recentFiles();
        if (row.create) f.home.write(row.file, "Blur(2)");
        const QString path = qpath(f.home.file(row.file));
        form.loadScript(path);
        EXPECT_EQ(f.shown(), "#error: " + QString::fromLatin1(row.message).arg(path));
        EXPECT_EQ(form.codeSense()->text(), "xVersion()");
        EXPECT_TRUE(form.isModified());
        EXPECT_EQ(form.windowTitle(), title);
        EXPECT_EQ(form.recentFiles(), recent);
    }
}

// Opening another script over unsaved changes asks first; Cancel keeps everything.
TEST(Documents, OpeningOverUnsavedChangesAsks)
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
        ModifiedScript f;
        Form1& form = *f.form;
        const QString a = qpath(f.home.file("a.avs"));
        const QString b = qpath(f.home.write("b.avs", "Blur(2)"));
        f.dialogs.choices.push_back({b});
        f.prompts.answers.push_back(row.answer);
        trigger(form, "mnuFileOpen");
        EXPECT_EQ(f.shown(), "Clipwright: Save changes to " + a + "?");
        EXPECT_EQ(form.currentFile(), row.opened ? b : a);
        EXPECT_EQ(form.codeSense()->text(), row.opened ? "Blur(2)" : "xVersion()");
        EXPECT_EQ(form.isModified(), !row.opened);
        EXPECT_EQ(f.home.read("a.avs"), row.savedA);
    }
}

TEST(Documents, DialogsAskForScriptsWithTheirOwnTitles)
{
    test::QuietForm f;
    Form1& form = *f.form;
    for (const char* name : {"mnuFileOpen", "mnuEditInsertTemplate", "mnuFileSaveAs"})
        trigger(form, name);
    type(form, "ab");
    form.codeSense()->setSelection({{0, 0}, {0, 1}});
    trigger(form, "mnuExportSelectionAsScriptTemplate");

    // Save or open, title, filters, default suffix; the program asks about overwriting itself.
    QStringList seen;
    for (const FileDialogRequest& r : f.dialogs.requests) {
        EXPECT_FALSE(r.confirmOverwrite);
        seen << QString("%1 %2 %3 %4")
                    .arg(r.save ? "save" : "open", r.title, r.nameFilters.join('|'), r.defaultSuffix);
    }
    const QString avs = "Avisynth script (*.avs) (*.[aA][vV][sS])";
    EXPECT_EQ(seen, (QStringList{"open Open Avisynth script " + avs + " ",
                                 "open Import " + avs + "|All files (*.*) (*) ",
                                 "save Save Avisynth script " + avs + " avs",
                                 "save Export selection as " + avs + " avs"}));
}

// Save As clears the mark only when it wrote the file.
TEST(Documents, SaveAsKeepsTheMarkUnlessItWrote)
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
        test::QuietForm f;
        Form1& form = *f.form;
        type(form, "Blur(1)");
        f.home.write("old.avs", "old");
        const QString target = qpath(f.home.file(row.chooseExisting ? "old.avs" : "new.avs"));
        if (!row.cancel) f.dialogs.choices.push_back({target});
        f.prompts.answers.push_back(row.overwrite);

        trigger(form, "mnuFileSave"); // untitled: Save As
        EXPECT_EQ(form.windowTitle().endsWith("*]"), !row.written);
        EXPECT_EQ(form.currentFile(), row.written ? target : QString());
        EXPECT_EQ(f.shown(), row.chooseExisting ? "Clipwright: Overwrite " + target + "?" : "");
        EXPECT_EQ(f.home.read("old.avs"), row.chooseExisting && row.written ? "Blur(1)\r\n" : "old");
    }
}

TEST(Documents, FailedSaveKeepsTheOldFileAndTheMark)
{
    ModifiedScript f;
    Form1& form = *f.form;
    form.insertTextAtCaret(QString(5000, QLatin1Char('#')));
    { // A file size limit stops the write part way, for root as well.
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit = old;
        limit.rlim_cur = 1000;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        trigger(form, "mnuFileSave");
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    const QString path = qpath(f.home.file("a.avs"));
    // The message names the file and the system's reason.
    EXPECT_TRUE(f.shown().startsWith("#error: " + path + ": ")) << f.shown().toStdString();
    EXPECT_GT(f.shown().size(), path.size() + 10);
    EXPECT_EQ(f.prompts.shown.size(), 1u);
    EXPECT_EQ(f.home.read("a.avs"), "Version()");
    EXPECT_TRUE(form.windowTitle().endsWith("*]"));

    // A folder in the way fails through Save As without taking its name.
    f.dialogs.choices.push_back({qpath(f.home.write("dir.avs/keep", "")).section('/', 0, -2)});
    EXPECT_FALSE(form.saveScriptAs());
    EXPECT_EQ(f.prompts.shown.size(), 2u);
    EXPECT_EQ(form.currentFile(), path);
    EXPECT_TRUE(form.isModified());
}

// Export and import move fragments and leave the document's file and mark as they were.
TEST(Documents, ExportAndImportLeaveTheDocumentAlone)
{
    ModifiedScript f;
    Form1& form = *f.form;
    const QString a = qpath(f.home.file("a.avs"));
    trigger(form, "mnuExportSelectionAsScriptTemplate");
    EXPECT_EQ(f.shown(), "#error: unable to export empty selection");
    EXPECT_TRUE(f.dialogs.requests.empty());

    form.codeSense()->setSelection({{0, 1}, {0, 8}});
    f.dialogs.choices.push_back({qpath(f.home.file("part.avs"))});
    trigger(form, "mnuExportSelectionAsScriptTemplate");
    EXPECT_EQ(f.home.read("part.avs"), "Version\r\n");
    EXPECT_EQ(form.currentFile(), a);
    EXPECT_TRUE(form.isModified());
    trigger(form, "mnuFileSave");
    EXPECT_EQ(f.home.read("a.avs"), "xVersion()\r\n");
    EXPECT_EQ(f.home.read("part.avs"), "Version\r\n");

    // Exported over its own file, the document no longer matches what is on disk.
    form.codeSense()->setSelection({{0, 0}, {0, 1}});
    f.dialogs.choices.push_back({a});
    f.prompts.answers.push_back(Answer::Yes);
    trigger(form, "mnuExportSelectionAsScriptTemplate");
    EXPECT_EQ(f.home.read("a.avs"), "x\r\n");
    EXPECT_TRUE(form.isModified());

    // Import replaces the selection and leaves the caret after it.
    form.codeSense()->setSelection({{0, 1}, {0, 8}});
    f.dialogs.choices.push_back({qpath(f.home.write("frag.txt", "Blur(1)"))});
    trigger(form, "mnuEditInsertTemplate");
    EXPECT_EQ(form.codeSense()->text(), "xBlur(1)()");
    EXPECT_EQ(form.codeSense()->getSelection(true), (CodeSense::Range{{0, 8}, {0, 8}}));
    EXPECT_EQ(form.currentFile(), a);
}

// Closing asks before the shutdown starts; refusing leaves the window as it was.
TEST(Documents, ClosingWithUnsavedChangesAsksFirst)
{
    const struct {
        const char* name;
        bool untitled;
        std::deque<Answer> answers;
        bool saveAsChoice, closes;
    } rows[] = {
        {"Cancel", false, {Answer::Cancel}, false, false},
        {"Yes, untitled, Save As cancelled", true, {Answer::Yes}, false, false},
        {"Yes, untitled, No to overwrite", true, {Answer::Yes, Answer::No}, true, false},
        {"Yes, titled", false, {Answer::Yes}, false, true},
        {"Yes, untitled, saved as", true, {Answer::Yes, Answer::Yes}, true, true},
        {"No", false, {Answer::No}, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::QuietForm f;
        Form1& form = *f.form;
        if (!row.untitled) form.loadScript(qpath(f.home.write("a.avs", "Version()")));
        type(form, "x");
        f.home.write("b.avs", "old");
        if (row.saveAsChoice) f.dialogs.choices.push_back({qpath(f.home.file("b.avs"))});
        f.prompts.answers = row.answers;
        form.show();

        EXPECT_EQ(form.close(), row.closes);
        EXPECT_EQ(f.prompts.shown[0].text, row.untitled ? QString("Save changes to Untitled?")
                                                        : "Save changes to " + form.currentFile() + "?");
        EXPECT_EQ(f.prompts.shown.size(), row.answers.size());
        EXPECT_EQ(form.isVisible(), !row.closes);
        EXPECT_EQ(form.isModified(), !row.closes || row.answers.front() == Answer::No);
        // The settings reach the file only on a close that goes ahead.
        EXPECT_EQ(f.settingsFile().find("filters.view.mode") != std::string::npos, row.closes);
    }
}

} // namespace
} // namespace cw
