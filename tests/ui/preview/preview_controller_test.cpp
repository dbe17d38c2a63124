#include "ui/preview/preview_controller.h"

#include "core/config/settings.h"
#include "ui/editor/code_sense.h"
#include "ui/preview/f_preview.h"

#include "support/ui_fixtures.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
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
        controller.attachMenu(&externalPreview, &keepFrame);
        controller.readSettings();
        controller.applyExternalPreviewRule();
    }

    test::TempDir home;
    test::RecordingPrompts prompts;
    test::ScriptedFileDialogs dialogs;
    Settings settings{home.path(), home.file("conf.properties")};
    QWidget window;
    CodeSense editor;
    QAction externalPreview;
    QAction keepFrame;
    PreviewController controller{editor, settings, window, [] { return QStringLiteral("/scripts/clip.avs"); }};
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

namespace cw {
namespace {

// A raw 16x16 4:2:0 video of three frames whose luma is 50, 60 and 70.
std::string writeY4m(test::TempDir& dir)
{
    std::string bytes = "YUV4MPEG2 W16 H16 F25:1 Ip A1:1 C420jpeg\n";
    for (int n = 0; n < 3; ++n) {
        bytes += "FRAME\n";
        bytes += std::string(256, static_cast<char>(50 + 10 * n)) + std::string(64, '\x50') + std::string(64, '\xa0');
    }
    return dir.write("clip one.y4m", bytes);
}

// A media file opens in the same window; its bookmarks belong to it and
// reach the settings at once, and the reload choice only when made.
TEST(InternalPreview, AMediaFileOpensWithItsOwnBookmarksAndTheReloadChoiceIsStoredWhenMade)
{
    test::TempDir videos;
    const QString clip = QString::fromStdString(writeY4m(videos));
    Controller c("#configuration\r\n");
    c.controller.player().service().setFrameServerProgram(CLIPWRIGHT_FRAMESERVER);
    EXPECT_FALSE(c.keepFrame.isChecked());
    EXPECT_TRUE(c.keepFrame.isCheckable());

    c.dialogs.choices.push_back({clip});
    c.controller.previewMediaFile();
    fPreview* preview = c.controller.preview();
    ASSERT_NE(preview, nullptr) << c.prompts.lines().toStdString();
    EXPECT_EQ(preview->findChild<QLabel*>("StatusPanel1")->text(), "16x16 @ 25.000 fps");
    EXPECT_EQ(preview->sourcePath(), clip);
    preview->MoveSliderTo(2);
    preview->toggleBookmark();
    const std::string key = bookmarksKey(clip.toStdString());
    EXPECT_NE(c.home.read("conf.properties").find(key + "=2\r\n"), std::string::npos);

    c.keepFrame.trigger();
    EXPECT_NE(c.home.read("conf.properties").find("preview.keep.frame=true"), std::string::npos);

    // A fresh run finds them again.
    Controller again(c.home.read("conf.properties"));
    EXPECT_TRUE(again.keepFrame.isChecked());
    again.controller.player().service().setFrameServerProgram(CLIPWRIGHT_FRAMESERVER);
    again.controller.previewMediaFile(clip);
    ASSERT_NE(again.controller.preview(), nullptr);
    EXPECT_EQ(again.controller.preview()->bookmarks(), BookmarkSet{2});
}

} // namespace
} // namespace cw
