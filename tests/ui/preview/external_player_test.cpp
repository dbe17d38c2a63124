#include "ui/editor/code_sense.h"

#include "support/ui_fixtures.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

namespace cw {
namespace {

// A stand-in player, in a folder with a blank in its name, that writes the
// argument it was given beside itself.
std::string makePlayer(test::TempDir& dir)
{
    const std::string player = dir.write("my player", "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.arg\"\n");
    ::chmod(player.c_str(), 0755);
    return player;
}

TEST(ExternalPreview, EnabledExactlyWhenThePlayerFileExists)
{
    test::TempDir dir;
    const std::string player = makePlayer(dir);
    struct Row {
        std::string settings;
        bool enabled;
    } rows[] = {
        {"", false},
        {"external.player=" + player + "\r\n", true},
        {"external.player=" + dir.file("gone") + "\r\n", false},
        {"external.player=" + dir.path() + "\r\n", false}, // a folder is no player
    };
    for (const Row& r : rows) {
        test::FormFixture f(r.settings);
        EXPECT_EQ(f.form->command("mnuExternalPreview")->isEnabled(), r.enabled) << r.settings;
    }
}

TEST(ExternalPreview, AChosenPlayerIsSavedAtOnceAndACancelKeepsIt)
{
    test::TempDir dir;
    const std::string player = makePlayer(dir);
    test::FormFixture f;
    f.dialogs.choices.push_back({QString::fromStdString(player)});
    f.form->command("mnuChooseExternalPlayer")->trigger();

    ASSERT_EQ(f.dialogs.requests.size(), 1u);
    const FileDialogRequest& request = f.dialogs.requests[0];
    EXPECT_FALSE(request.save);
    EXPECT_TRUE(request.mustExist);
    EXPECT_EQ(request.nameFilters, CFileDialog::nameFilters("Programs (*)|*"));
    EXPECT_FALSE(request.title.isEmpty());
    EXPECT_EQ(request.owner, f.form.get());
    EXPECT_EQ(f.form->externalPlayer(), QString::fromStdString(player));
    EXPECT_NE(f.settingsFile().find("external.player=" + player), std::string::npos);
    EXPECT_TRUE(f.form->command("mnuExternalPreview")->isEnabled());

    f.form->command("mnuChooseExternalPlayer")->trigger(); // cancelled
    EXPECT_EQ(f.form->externalPlayer(), QString::fromStdString(player));
    EXPECT_TRUE(f.form->command("mnuExternalPreview")->isEnabled());
}

TEST(ExternalPreview, F6HandsTheUtf8ScriptToThePlayerAsOneArgument)
{
    test::TempDir dir;
    test::TempDir temp;
    const std::string player = makePlayer(dir);
    ::setenv("TEMP", (temp.path() + "/with blank").c_str(), 1);
    ::mkdir((temp.path() + "/with blank").c_str(), 0700);
    test::FormFixture f("external.player=" + player + "\r\n");
    ::unsetenv("TEMP");
    f.form->codeSense()->setScript(DecodedText{"Title(\"Café\")", TextEncoding::Windows1252, "\r\n"});

    f.form->command("mnuExternalPreview")->trigger();
    const std::string script = temp.path() + "/with blank/preview.avs";
    EXPECT_EQ(temp.read("with blank/preview.avs"), "Title(\"Caf\xc3\xa9\")\r\n");
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(QString::fromStdString(player + ".arg")) && waited.elapsed() < 5000) QTest::qWait(20);
    QTest::qWait(50);
    EXPECT_EQ(dir.read("my player.arg"), script);
    EXPECT_TRUE(f.prompts.shown.empty() || f.prompts.shown.back().title != "#error");
}

TEST(ExternalPreview, APlayerThatCannotStartIsReported)
{
    test::TempDir dir;
    const std::string player = dir.write("not a program", "just text\n");
    test::FormFixture f("external.player=" + player + "\r\n");
    f.form->command("mnuExternalPreview")->trigger();
    ASSERT_FALSE(f.prompts.shown.empty());
    EXPECT_EQ(f.prompts.shown.back().title, "#error");
    EXPECT_TRUE(f.prompts.shown.back().text.contains(QString::fromStdString(player)));
}

} // namespace
} // namespace cw
