#include "ui/editor/code_sense.h"

#include "quiet_form.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

namespace cw {
namespace {

using Answer = PromptService::Answer;
using Icon = PromptService::Icon;

QString qpath(const std::string& path)
{
    return QString::fromStdString(path);
}

void type(Form1& form, const char* keys)
{
    QTest::keyClicks(form.codeSense()->editor(), QString::fromLatin1(keys));
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

TEST(Documents, TypingMarksTheTitleAndLoadingOrSavingClearsIt)
{
    test::QuietForm f;
    Form1& form = *f.form;
    f.home.write("A.AVS", "Blur(1)");
    const QString path = qpath(f.home.file("A.AVS"));
    form.loadScript(path);
    EXPECT_EQ(form.windowTitle(), form.appTitle() + " - [" + path + "]");
    EXPECT_EQ(form.codeSense()->text(), "Blur(1)");

    type(form, "B");
    EXPECT_TRUE(form.isModified());
    EXPECT_EQ(form.windowTitle(), form.appTitle() + " - [" + path + "*]");

    trigger(form, "mnuFileSave");
    EXPECT_FALSE(form.isModified());
    EXPECT_EQ(form.windowTitle(), form.appTitle() + " - [" + path + "]");
    EXPECT_EQ(f.home.read("A.AVS"), "BBlur(1)\r\n");
    EXPECT_TRUE(f.prompts.shown.empty());
}

// A load that fails shows its message and leaves text, flag, title and recent list alone.
TEST(Documents, FailedLoadChangesNothing)
{
    struct Row {
        const char* file;
        bool create;
        const char* message; // %1 is the full path
    };
    const Row rows[] = {
        {"missing.avs", false, "unable to load: %1\r\nfile does not exist !"},
        {"a.txt", true, "%1 is not an Avisynth script"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        ModifiedScript f;
        Form1& form = *f.form;
        const QString before = form.codeSense()->text();
        const QString title = form.windowTitle();
        const auto recent = form.recentFiles();
        if (row.create) f.home.write(row.file, "Blur(2)");
        const QString path = qpath(f.home.file(row.file));

        form.loadScript(path);
        ASSERT_EQ(f.prompts.shown.size(), 1u);
        EXPECT_EQ(f.prompts.shown[0].icon, Icon::Critical);
        EXPECT_EQ(f.prompts.shown[0].title, "#error");
        EXPECT_EQ(f.prompts.shown[0].text, QString::fromLatin1(row.message).arg(path));
        EXPECT_EQ(form.codeSense()->text(), before);
        EXPECT_TRUE(form.isModified());
        EXPECT_EQ(form.windowTitle(), title);
        EXPECT_EQ(form.recentFiles(), recent);
    }
}

// Opening another script over unsaved changes asks first; Cancel keeps everything.
TEST(Documents, OpeningOverUnsavedChangesAsks)
{
    struct Row {
        Answer answer;
        bool opened;
        const char* savedA;
    };
    const Row rows[] = {
        {Answer::Cancel, false, "Version()"},
        {Answer::No, true, "Version()"},
        {Answer::Yes, true, "xVersion()\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.answer));
        ModifiedScript f;
        Form1& form = *f.form;
        const QString a = qpath(f.home.file("a.avs"));
        f.home.write("b.avs", "Blur(2)");
        const QString b = qpath(f.home.file("b.avs"));
        f.dialogs.choices.push_back({b});
        f.prompts.answers.push_back(row.answer);

        trigger(form, "mnuFileOpen");
        ASSERT_EQ(f.prompts.shown.size(), 1u);
        EXPECT_EQ(f.prompts.shown[0].title, "Clipwright");
        EXPECT_EQ(f.prompts.shown[0].text, "Save changes to " + a + "?");
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
    for (const char* name : {"mnuFileOpen", "mnuEditInsertTemplate", "mnuFileSaveAs"}) trigger(form, name);
    form.codeSense()->setSelection({{0, 0}, {0, 0}});
    type(form, "ab");
    form.codeSense()->setSelection({{0, 0}, {0, 1}});
    trigger(form, "mnuExportSelectionAsScriptTemplate");

    ASSERT_EQ(f.dialogs.requests.size(), 4u);
    const QStringList avs{"Avisynth script (*.avs) (*.[aA][vV][sS])"};
    const struct {
        bool save;
        const char* title;
        QStringList filters;
    } expected[] = {
        {false, "Open Avisynth script", avs},
        {false, "Import", avs + QStringList{"All files (*.*) (*)"}},
        {true, "Save Avisynth script", avs},
        {true, "Export selection as", avs},
    };
    for (std::size_t i = 0; i < 4; ++i) {
        const FileDialogRequest& r = f.dialogs.requests[i];
        EXPECT_EQ(r.save, expected[i].save);
        EXPECT_EQ(r.title, expected[i].title);
        EXPECT_EQ(r.nameFilters, expected[i].filters);
        EXPECT_EQ(r.directory, "");
        EXPECT_EQ(r.owner, &form);
        EXPECT_EQ(r.mustExist, !r.save);
        EXPECT_FALSE(r.confirmOverwrite); // the program asks itself
        EXPECT_EQ(r.defaultSuffix, r.save ? "avs" : "");
    }
}

// Save As clears the mark only when it wrote the file.
TEST(Documents, SaveAsKeepsTheMarkUnlessItWrote)
{
    struct Row {
        const char* name;
        bool chooseExisting;
        bool cancel;
        Answer overwrite;
        bool written;
    };
    const Row rows[] = {
        {"cancelled dialog", false, true, Answer::No, false},
        {"No to overwrite", true, false, Answer::No, false},
        {"Yes to overwrite", true, false, Answer::Yes, true},
        {"new file", false, false, Answer::No, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::QuietForm f;
        Form1& form = *f.form;
        type(form, "Blur(1)");
        f.home.write("old.avs", "old");
        const QString target = qpath(f.home.file(row.chooseExisting ? "old.avs" : "new.avs"));
        if (!row.cancel) f.dialogs.choices.push_back({target});
        f.prompts.answers.push_back(row.overwrite);

        trigger(form, "mnuFileSave"); // untitled: Save As
        EXPECT_EQ(form.isModified(), !row.written);
        EXPECT_EQ(form.windowTitle().endsWith("*]"), !row.written);
        EXPECT_EQ(form.currentFile(), row.written ? target : QString());
        if (row.chooseExisting) {
            ASSERT_EQ(f.prompts.shown.size(), 1u);
            EXPECT_EQ(f.prompts.shown[0].text, "Overwrite " + target + "?");
            EXPECT_EQ(f.prompts.shown[0].title, "Clipwright");
            EXPECT_EQ(f.home.read("old.avs"), row.written ? "Blur(1)\r\n" : "old");
        } else {
            EXPECT_TRUE(f.prompts.shown.empty());
        }
    }
}

// Scripts come back byte for byte, with the document's own line end appended.
TEST(Documents, SavingAnUnchangedScriptKeepsItsBytes)
{
    const struct {
        const char* name;
        std::string bytes;
        std::string appended;
    } rows[] = {
        {"windows-1252 crlf", "AviSource(\"caf\xE9.avi\")\r\n# \x80 \x9F\r\nBlur(1)", "\r\n"},
        {"windows-1252 lf", "# na\xEFve\nBlur(1)\n", "\n"},
        {"utf-8", "# caf\xC3\xA9\r\nBlur(1)", "\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::QuietForm f;
        f.home.write("s.avs", row.bytes);
        f.form->loadScript(qpath(f.home.file("s.avs")));
        trigger(*f.form, "mnuFileSave");
        EXPECT_EQ(f.home.read("s.avs"), row.bytes + row.appended);
    }
}

// A file size limit stops the write part way, for root as well.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
};

TEST(Documents, FailedSaveKeepsTheOldFileAndTheMark)
{
    ModifiedScript f;
    Form1& form = *f.form;
    form.insertTextAtCaret(QString(5000, QLatin1Char('#')));
    {
        const FileSizeLimit limit(1000);
        trigger(form, "mnuFileSave");
    }
    const QString path = qpath(f.home.file("a.avs"));
    ASSERT_EQ(f.prompts.shown.size(), 1u);
    EXPECT_EQ(f.prompts.shown[0].title, "#error");
    EXPECT_TRUE(f.prompts.shown[0].text.startsWith(path + ": ")) << f.prompts.shown[0].text.toStdString();
    EXPECT_GT(f.prompts.shown[0].text.size(), path.size() + 2);
    EXPECT_EQ(f.home.read("a.avs"), "Version()");
    EXPECT_TRUE(form.isModified());
    EXPECT_TRUE(form.windowTitle().endsWith("*]"));

    // A folder in the way fails the same way through Save As.
    f.home.write("dir.avs/keep", "");
    f.dialogs.choices.push_back({qpath(f.home.file("dir.avs"))});
    EXPECT_FALSE(form.saveScriptAs());
    EXPECT_EQ(f.prompts.shown.size(), 2u);
    EXPECT_EQ(form.currentFile(), path);
    EXPECT_TRUE(form.isModified());
}

// Export writes the fragment and leaves the document as it was.
TEST(Documents, ExportSelectionLeavesTheDocumentAlone)
{
    ModifiedScript f;
    Form1& form = *f.form;
    trigger(form, "mnuExportSelectionAsScriptTemplate");
    ASSERT_EQ(f.prompts.shown.size(), 1u);
    EXPECT_EQ(f.prompts.shown[0].text, "unable to export empty selection");
    EXPECT_EQ(f.prompts.shown[0].title, "#error");
    EXPECT_TRUE(f.dialogs.requests.empty());

    form.codeSense()->setSelection({{0, 1}, {0, 8}});
    f.dialogs.choices.push_back({qpath(f.home.file("part.avs"))});
    trigger(form, "mnuExportSelectionAsScriptTemplate");
    EXPECT_EQ(f.home.read("part.avs"), "Version\r\n");
    EXPECT_EQ(form.currentFile(), qpath(f.home.file("a.avs")));
    EXPECT_TRUE(form.isModified());

    trigger(form, "mnuFileSave");
    EXPECT_EQ(f.home.read("a.avs"), "xVersion()\r\n");
    EXPECT_EQ(f.home.read("part.avs"), "Version\r\n");

    // Exported over its own file, the document no longer matches what is on disk.
    form.codeSense()->setSelection({{0, 0}, {0, 1}});
    f.dialogs.choices.push_back({qpath(f.home.file("a.avs"))});
    f.prompts.answers.push_back(Answer::Yes);
    trigger(form, "mnuExportSelectionAsScriptTemplate");
    EXPECT_EQ(f.home.read("a.avs"), "x\r\n");
    EXPECT_TRUE(form.isModified());
}

TEST(Documents, ImportReplacesTheSelectionAndLeavesTheCaretAfterIt)
{
    test::QuietForm f;
    Form1& form = *f.form;
    f.home.write("a.avs", "Version()");
    form.loadScript(qpath(f.home.file("a.avs")));
    f.home.write("frag.txt", "Blur(1)");
    form.codeSense()->setSelection({{0, 0}, {0, 7}});
    f.dialogs.choices.push_back({qpath(f.home.file("frag.txt"))});

    trigger(form, "mnuEditInsertTemplate");
    EXPECT_EQ(form.codeSense()->text(), "Blur(1)()");
    EXPECT_EQ(form.codeSense()->getSelection(true), (CodeSense::Range{{0, 7}, {0, 7}}));
    EXPECT_TRUE(form.isModified());
    EXPECT_EQ(form.currentFile(), qpath(f.home.file("a.avs")));
}

// Closing asks before the shutdown starts; refusing leaves the window as it was.
TEST(Documents, ClosingWithUnsavedChangesAsksFirst)
{
    struct Row {
        const char* name;
        bool untitled;
        std::deque<Answer> answers;
        bool saveAsChoice;
        bool closes;
    };
    const Row rows[] = {
        {"Cancel", false, {Answer::Cancel}, false, false},
        {"Yes, untitled, Save As cancelled", true, {Answer::Yes}, false, false},
        {"Yes, untitled, No to overwrite", true, {Answer::Yes, Answer::No}, true, false},
        {"Yes, titled", false, {Answer::Yes}, false, true},
        {"Yes, untitled, saved as", true, {Answer::Yes, Answer::Yes}, true, true},
        {"No", false, {Answer::No}, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::QuietForm f;
        Form1& form = *f.form;
        if (!row.untitled) {
            f.home.write("a.avs", "Version()");
            form.loadScript(qpath(f.home.file("a.avs")));
        }
        type(form, "x");
        f.home.write("b.avs", "old");
        if (row.saveAsChoice) f.dialogs.choices.push_back({qpath(f.home.file("b.avs"))});
        f.prompts.answers = row.answers;
        form.show();

        EXPECT_EQ(form.close(), row.closes);
        EXPECT_EQ(f.prompts.shown[0].text,
                  row.untitled ? QString("Save changes to Untitled?") : "Save changes to " + form.currentFile() + "?");
        EXPECT_EQ(f.prompts.shown.size(), row.answers.size());
        EXPECT_EQ(form.isVisible(), !row.closes);
        EXPECT_EQ(form.isModified(), !row.closes || row.answers.front() == Answer::No);
        // The settings reach the file only on a close that goes ahead.
        EXPECT_EQ(f.settingsFile().find("filters.view.mode") != std::string::npos, row.closes);
    }
}

} // namespace
} // namespace cw
