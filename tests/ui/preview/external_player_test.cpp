#include "support/ui_fixtures.h"
#include "ui/editor/code_sense.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
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

TEST(ExternalPreview, EnabledExactlyWhenThePlayerFileExistsAndAChoiceIsSavedAtOnce)
{
    test::TempDir dir;
    const std::string player = makePlayer(dir);
    const std::pair<std::string, bool> rows[] = {
        {"", false}, {player, true}, {dir.file("gone"), false}, {dir.path(), false}, // a folder is no player
    };
    for (const auto& [setting, enabled] : rows) {
        test::FormFixture f(setting.empty() ? "" : "external.player=" + setting + "\r\n");
        EXPECT_EQ(f.form->command("mnuExternalPreview")->isEnabled(), enabled) << setting;
    }

    test::FormFixture f;
    f.dialogs.choices.push_back({QString::fromStdString(player)});
    f.form->command("mnuChooseExternalPlayer")->trigger();
    ASSERT_EQ(f.dialogs.requests.size(), 1u);
    EXPECT_TRUE(f.dialogs.requests[0].mustExist);
    EXPECT_EQ(f.dialogs.requests[0].nameFilters, CFileDialog::nameFilters("Programs (*)|*"));
    EXPECT_NE(f.settingsFile().find("external.player=" + player), std::string::npos);
    EXPECT_TRUE(f.form->command("mnuExternalPreview")->isEnabled());

    f.form->command("mnuChooseExternalPlayer")->trigger(); // cancelled
    EXPECT_EQ(f.form->preview().externalPlayer(), QString::fromStdString(player));
}

TEST(ExternalPreview, F6HandsTheUtf8ScriptToThePlayerAsOneArgument)
{
    test::TempDir dir;
    test::TempDir temp;
    const std::string player = makePlayer(dir);
    const std::string folder = temp.path() + "/with blank";
    ::mkdir(folder.c_str(), 0700);
    ::setenv("TEMP", folder.c_str(), 1);
    test::FormFixture f("external.player=" + player + "\r\n");
    ::unsetenv("TEMP");
    f.form->codeSense()->setScript(DecodedText{"Title(\"Café\")", TextEncoding::Windows1252, "\r\n"});

    f.form->command("mnuExternalPreview")->trigger();
    EXPECT_EQ(temp.read("with blank/preview.avs"), "Title(\"Caf\xc3\xa9\")\r\n");
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(QString::fromStdString(player + ".arg")) && waited.elapsed() < 5000) QTest::qWait(20);
    QTest::qWait(50);
    EXPECT_EQ(dir.read("my player.arg"), folder + "/preview.avs");
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
