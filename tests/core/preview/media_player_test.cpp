#include "core/preview/media_player.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(FormatFrameTime, ClockTexts)
{
    const struct {
        std::int32_t frame;
        double rate;
        const char* text;
    } rows[] = {
        {0, 25, "00:00:00.000"},  {25, 25, "00:00:01.000"},  {1, 25, "00:00:00.040"},
        {1, 0, "00:00:00.000"},   {5, -1, "00:00:00.000"},   {-3, 25, "00:00:00.000"},
        {1, 30000.0 / 1001, "00:00:00.033"}, {3600 * 100 * 25 + 1, 25, "100:00:00.040"},
        // 1/1.0005 s is 999.5 ms: rounds to 1000 and carries into the seconds.
        {1, 1.0005, "00:00:01.000"},
        // 59.9996 s carries through the minutes too.
        {59999600, 1000000, "00:01:00.000"},
    };
    for (const auto& row : rows) EXPECT_EQ(formatFrameTime(row.frame, row.rate), row.text) << row.frame;
}

class Player : public ::testing::Test {
protected:
    Player() { player.service().setAviSynthLibraryNames({CLIPWRIGHT_FAKE_AVISYNTH}); }

    test::TempDir dir;
    MediaPlayer player;
};

TEST_F(Player, SizeRateAndLengthsOrMinusOneWithoutAClip)
{
    EXPECT_EQ(player.getLengthInFrames("movie"), -1);
    EXPECT_EQ(player.getLengthInMs("movie"), -1);
    EXPECT_EQ(player.getPosition("movie"), -1);
    EXPECT_EQ(player.getFrameRate("movie"), -1.0f);
    EXPECT_EQ(player.getVideoSize("movie", "cx"), -1);
    EXPECT_FALSE(player.seekMovie("movie", 3).ok());
    EXPECT_EQ(player.formatFrameTime(10), "00:00:00.000");

    const std::string script = dir.write("a b.avs", "#fake 640 480 30000 1001 100\n");
    ASSERT_TRUE(player.openMovie(5, "movie", script, "AviVideo").ok());
    EXPECT_EQ(player.getVideoSize("movie", "CX"), 640);
    EXPECT_EQ(player.getVideoSize("movie", "cY"), 480);
    EXPECT_EQ(player.getLengthInFrames("movie"), 100);
    EXPECT_EQ(player.getLengthInMs("movie"), 3337);
    EXPECT_FLOAT_EQ(player.getFrameRate("movie"), static_cast<float>(100 / 3.337));
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
    player.service().registerFrameSink(77, [&](const VideoFrame& f) { shown.push_back(f.bytes[0]); });

    player.closeAllMovies();
    player.closeAllMovies();
    EXPECT_FALSE(player.openMovie(77, "movie", video, "AviVideo").ok());
    player.closeAllMovies();
    EXPECT_EQ(player.openMovie(77, "movie", script, "MPEGVideo").text, "Success");
    player.clipInfo() = {player.getFrameRate("movie"), player.getVideoSize("movie", "cx"), player.getVideoSize("movie", "cy"),
                         player.getLengthInFrames("movie")};
    EXPECT_EQ(player.playMovie("movie", "0", "0").text, "Success");
    EXPECT_EQ(player.getPosition("movie"), 0);
    EXPECT_EQ(player.seekMovie("movie", 1).text, "Success");
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
        "set movie time format ms",
        "status movie length",
        "set movie time format frames",
        "set movie time format frames",
        "status movie length",
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
