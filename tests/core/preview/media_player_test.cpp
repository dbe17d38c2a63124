#include "core/preview/media_player.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

class Player : public ::testing::Test {
protected:
    test::TempDir dir;
    MediaPlayer player{{CLIPWRIGHT_FRAMESERVER, {CLIPWRIGHT_FAKE_AVISYNTH}}};
};

TEST_F(Player, SizeRateAndLengthsOrMinusOneWithoutAClip)
{
    EXPECT_EQ(player.getLengthInFrames("movie"), -1);
    EXPECT_EQ(player.getLengthInMs("movie"), -1);
    EXPECT_EQ(player.getPosition("movie"), -1);
    EXPECT_EQ(player.getFrameRate("movie"), FrameRate{});
    EXPECT_EQ(player.getVideoSize("movie", "cx"), -1);
    EXPECT_FALSE(player.seekMovie("movie", 3).ok());
    EXPECT_EQ(player.formatFrameTime(10), "00:00:00.000");

    const std::string script = dir.write("a b.avs", "#fake 640 480 30000 1001 100\n");
    ASSERT_TRUE(player.openMovie(5, "movie", script, "AviVideo").ok());
    EXPECT_EQ(player.getVideoSize("movie", "CX"), 640);
    EXPECT_EQ(player.getVideoSize("movie", "cY"), 480);
    EXPECT_EQ(player.getLengthInFrames("movie"), 100);
    EXPECT_EQ(player.getLengthInMs("movie"), 3337);
    EXPECT_EQ(player.getFrameRate("movie"), (FrameRate{30000, 1001}));
    EXPECT_EQ(player.getPosition("movie"), 0) << "the time format went back to frames";
    player.service().clearCommandLog();
    EXPECT_EQ(player.getVideoSize("movie", "w"), -1);
    EXPECT_EQ(player.getVideoSize("movie", "cxx"), -1);
    EXPECT_TRUE(player.service().commandLog().empty());

    const std::string bad = dir.write("bad.avs", "Bogus\n");
    EXPECT_EQ(player.openMovie(5, "other", bad, "MPEGVideo").text,
              "Script error: There is no function named 'Bogus'.\n(" + bad + ", line 1)");
}

// The traffic of the preview window: start (the first open fails), a timer
// tick, a step and the close.
TEST_F(Player, PreviewTrafficIsExactlyTheseCommands)
{
    const std::string script = dir.write("preview.avs", "#fake 640 480 25 1 250\n");
    const std::string video = dir.write("preview.mp4", "not a video");
    std::vector<int> shown;
    player.service().registerFrameSink(77, FrameSink{[&](const VideoFrame& f) { shown.push_back(f.bytes[0]); }, {}});

    player.closeAllMovies();
    player.closeAllMovies();
    EXPECT_FALSE(player.openMovie(77, "movie", video, "AviVideo").ok());
    player.closeAllMovies();
    EXPECT_EQ(player.openMovie(77, "movie", script, "MPEGVideo").text, "Success");
    player.clipInfo() = {player.getFrameRate("movie"), player.getVideoSize("movie", "cx"), player.getVideoSize("movie", "cy"),
                         player.getLengthInFrames("movie")};
    EXPECT_EQ(player.playMovie("movie", "0", "0").text, "Success");
    ASSERT_TRUE(player.service().waitUntil([&] { return shown.size() == 1; }, 5000));
    EXPECT_EQ(player.getPosition("movie"), 0);
    EXPECT_EQ(player.seekMovie("movie", 1).text, "Success");
    ASSERT_TRUE(player.service().waitUntil([&] { return shown.size() == 2; }, 5000));
    EXPECT_EQ(player.closeAllMovies().text, "Success");
    player.service().unregisterFrameSink(77);

    EXPECT_EQ(player.formatFrameTime(250), "00:00:10.000") << "uses the clip information";
    EXPECT_EQ(shown, (std::vector<int>{0, 1}));
    const std::vector<std::string> expected = {
        "Close all",
        "Close all",
        "open \"" + video + "\" type AviVideo Alias movie parent 77 Style 1073741824",
        "Close all",
        "open \"" + script + "\" type MPEGVideo Alias movie parent 77 Style 1073741824",
        "status movie frame rate",
        "Where movie destination",
        "Where movie destination",
        "set movie time format frames",
        "status movie length",
        "play movie from 0 to 0",
        "status movie position",
        "seek movie to 1",
        "Close all",
    };
    EXPECT_EQ(player.service().commandLog(), expected);
}

} // namespace
} // namespace cw
