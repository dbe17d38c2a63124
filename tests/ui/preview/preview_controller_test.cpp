#include "ui/preview/preview_controller.h"

#include "core/config/settings.h"
#include "ui/editor/code_sense.h"

#include "support/ui_fixtures.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

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

// The preview controller over a script pane, with the settings and the
// External Preview item as start-up leaves them.
struct Controller {
    explicit Controller(const std::string& settingsText = {})
    {
        if (!settingsText.empty()) home.write("conf.properties", settingsText);
        settings.read();
        controller.attachMenu(&externalPreview);
        controller.readExternalPlayer();
        controller.applyExternalPreviewRule();
    }

    test::TempDir home;
    test::RecordingPrompts prompts;
    test::ScriptedFileDialogs dialogs;
    Settings settings{home.path(), home.file("conf.properties")};
    QWidget window;
    CodeSense editor;
    QAction externalPreview;
    PreviewController controller{editor, settings, window, [] { return QStringLiteral("clip.avs"); }};
};

TEST(ExternalPreview, EnabledExactlyWhenThePlayerFileExistsAndAChoiceIsStoredAtOnce)
{
    test::TempDir dir;
    const std::string player = makePlayer(dir);
    const std::pair<std::string, bool> rows[] = {
        {"", false}, {player, true}, {dir.file("gone"), false}, {dir.path(), false}, // a folder is no player
    };
    for (const auto& [setting, enabled] : rows) {
        Controller c(setting.empty() ? "" : "external.player=" + setting + "\r\n");
        EXPECT_EQ(c.externalPreview.isEnabled(), enabled) << setting;
    }

    Controller c;
    c.dialogs.choices.push_back({QString::fromStdString(player)});
    c.controller.chooseExternalPlayer();
    ASSERT_EQ(c.dialogs.requests.size(), 1u);
    EXPECT_TRUE(c.dialogs.requests[0].mustExist);
    EXPECT_EQ(c.dialogs.requests[0].nameFilters, CFileDialog::nameFilters("Programs (*)|*"));
    EXPECT_EQ(c.home.read("conf.properties"), "external.player=" + player + "\r\n");
    EXPECT_TRUE(c.externalPreview.isEnabled());

    c.controller.chooseExternalPlayer(); // cancelled
    EXPECT_EQ(c.controller.externalPlayer(), QString::fromStdString(player));
}

TEST(ExternalPreview, F6HandsTheUtf8ScriptToThePlayerAsOneArgumentAndAFailedStartIsReported)
{
    test::TempDir dir, temp;
    const std::string player = makePlayer(dir);
    const std::string folder = temp.path() + "/with blank";
    ::mkdir(folder.c_str(), 0700);
    Controller c("external.player=" + player + "\r\n");
    ::setenv("TEMP", folder.c_str(), 1);
    c.controller.chooseTempFolder();
    ::unsetenv("TEMP");
    c.editor.setScript(DecodedText{"Title(\"Café\")", TextEncoding::Windows1252, "\r\n"});

    c.controller.externalPreview();
    EXPECT_EQ(temp.read("with blank/preview.avs"), "Title(\"Caf\xc3\xa9\")\r\n");
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(QString::fromStdString(player + ".arg")) && waited.elapsed() < 5000)
        QTest::qWait(20);
    QTest::qWait(50);
    EXPECT_EQ(dir.read("my player.arg"), folder + "/preview.avs");
    EXPECT_TRUE(c.prompts.shown.empty());

    const std::string text = dir.write("not a program", "just text\n");
    c.dialogs.choices.push_back({QString::fromStdString(text)});
    c.controller.chooseExternalPlayer();
    c.controller.externalPreview();
    ASSERT_EQ(c.prompts.shown.size(), 1u);
    EXPECT_EQ(c.prompts.shown[0].title, "#error");
    EXPECT_TRUE(c.prompts.shown[0].text.contains(QString::fromStdString(text)));
}

} // namespace
} // namespace cw
