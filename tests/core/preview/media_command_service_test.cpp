#include "core/preview/media_command_service.h"
#include "core/preview/library_search.h"

#include "support/temp_dir.h"
#include "test_clips.h"

#include <gtest/gtest.h>
#include <tuple>

namespace cw {
namespace {

class CommandService : public ::testing::Test {
protected:
    CommandService() { script = dir.write("my clip.avs", "#fake 8 4 25 1 30\r\nVersion()\r\n"); }

    int send(const std::string& command) { return service.sendString(command, reply); }

    test::TempDir dir;
    MediaCommandService service{{CLIPWRIGHT_FRAMESERVER, {CLIPWRIGHT_FAKE_AVISYNTH}}};
    std::string script;
    std::string reply;
};

TEST_F(CommandService, KeywordsInAnyCaseAndRepliesFollowTheTimeFormat)
{
    const struct {
        std::string command;
        const char* reply;
    } rows[] = {
        {"OPEN \"" + script + "\" TYPE aviVideo ALIAS Movie PARENT 7 STYLE 1073741824", ""},
        {"Status MOVIE Length", "30"},       {"where movie DESTINATION", "0 0 8 4"},
        {"status movie position", "0"},      {"seek movie to 12", ""},
        {"status movie position", "12"},     {"set movie time format ms", ""},
        {"status movie length", "1200"},     {"status movie position", "480"},
        {"seek movie to 1199", ""},          {"status movie position", "1160"},
        {"set movie time format milliseconds", ""}, {"seek movie to end", ""},
        {"set movie time format frames", ""}, {"status movie position", "29"},
        {"play movie from 0 to 3", ""},      {"status movie position", "3"},
        {"play movie from 5", ""},           {"status movie position", "5"},
        {"seek movie to start", ""},         {"status movie position", "0"},
        {"status movie frame rate", "25/1"},
        {"close MOVIE", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(send(row.command), 0) << row.command;
        EXPECT_EQ(reply, row.reply) << row.command;
    }
    EXPECT_EQ(service.openCount(), 0);
}

// Media files open through FFmpeg whichever device type is named.
TEST_F(CommandService, MediaFilesOpenAndCloseAllEndsEveryClip)
{
    const std::string clip = dir.file("clip.avi");
    ASSERT_EQ(test::makeClip(clip, {"mpeg4", 32, 16, 10, 5, 0}), "");
    EXPECT_EQ(send("open \"" + clip + "\" type AviVideo alias a"), 0);
    EXPECT_EQ(send("open \"" + clip + "\" type MPEGVideo alias b"), 0);
    EXPECT_EQ(send("open \"" + script + "\" type AviVideo alias c"), 0);
    EXPECT_EQ(send("where b destination"), 0);
    EXPECT_EQ(reply, "0 0 32 16");
    EXPECT_EQ(send("close all"), 0);
    EXPECT_EQ(service.openCount(), 0);
    EXPECT_EQ(send("status a length"), mediaUnknownDevice);
}

TEST_F(CommandService, ErrorsHaveNumbersAndTexts)
{
    ASSERT_EQ(send("open \"" + script + "\" type AviVideo alias movie"), 0);
    const struct {
        std::string command;
        int code;
    } rows[] = {
        {"", mediaUnknownCommand},
        {"rewind movie", mediaUnknownCommand},
        {"status", mediaMissingParameter},
        {"status other length", mediaUnknownDevice},
        {"status movie mode", mediaBadParameter},
        {"set movie time format hours", mediaBadParameter},
        {"seek movie to 30", mediaOutsideRange},
        {"seek movie to -1", mediaOutsideRange},
        {"seek movie to 1e300", mediaOutsideRange},
        {"seek movie to -1e300", mediaOutsideRange},
        {"seek movie to x", mediaBadParameter},
        {"play movie from", mediaMissingParameter},
        {"open \"" + script + "\" type AviVideo alias MOVIE", mediaAliasInUse},
        {"open \"" + script + "\" type CDAudio alias other", mediaUnknownDeviceType},
        {"open \"" + script + "\" alias other", mediaMissingParameter},
        {"open \"" + script + "\" type AviVideo alias other parent 1e19", mediaBadParameter},
        {"open \"" + script + " type AviVideo alias other", mediaBadParameter},
        {"open \"" + dir.file("a.mp4") + "\" type AviVideo alias other", mediaUnsupportedFile},
        {"close other", mediaUnknownDevice},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(send(row.command), row.code) << row.command;
        EXPECT_EQ(reply, "");
        EXPECT_FALSE(service.mediaErrorText(row.code).empty());
    }
    EXPECT_EQ(send("status movie position"), 0);
    EXPECT_EQ(reply, "0") << "failed commands leave the position alone";
}

// Frames come after the command that asked for them, the newest first:
// a scrub never builds a queue.
TEST_F(CommandService, FramesReachTheSinkOfTheParentTopDown)
{
    std::vector<std::uint8_t> shown;
    std::vector<int> numbers;
    service.registerFrameSink(42, FrameSink{[&](const VideoFrame& f) {
                                                numbers.push_back(f.number);
                                                ASSERT_EQ(std::tuple(f.width, f.height, f.stride), std::tuple(8, 4, 32));
                                                shown.assign(f.bytes, f.bytes + f.stride * f.height);
                                            },
                                            {}});
    ASSERT_EQ(send("open \"" + script + "\" type MPEGVideo alias movie parent 42"), 0);
    EXPECT_TRUE(numbers.empty()) << "opening shows nothing yet";
    ASSERT_EQ(send("seek movie to 9"), 0);
    EXPECT_TRUE(numbers.empty()) << "a frame is never answered inside the command";
    ASSERT_TRUE(service.waitUntil([&] { return !numbers.empty(); }, 5000));
    ASSERT_EQ(numbers, std::vector<int>{9});
    // The fake paints B = frame, G = row from the top, R = column.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            const std::uint8_t* p = shown.data() + y * 32 + x * 4;
            EXPECT_EQ(std::vector<int>(p, p + 4), (std::vector<int>{9, y, x, 0xff}));
        }
    for (int n = 0; n < 30; ++n) ASSERT_EQ(send("seek movie to " + std::to_string(n)), 0);
    ASSERT_TRUE(service.waitUntil([&] { return numbers.back() == 29; }, 5000));
    EXPECT_LE(numbers.size(), 4u) << "only the newest frame waited";
    service.unregisterFrameSink(42);
    ASSERT_EQ(send("play movie"), 0);
    EXPECT_FALSE(service.waitUntil([&] { return numbers.size() > 4; }, 300));
}

// Texts from the frame server pass through unchanged, whichever device
// type opened the script, and stay askable after later commands.
TEST_F(CommandService, FrameServerErrorTexts)
{
    const std::string broken = dir.write("broken.avs", "Version()\r\nBogus(3)\r\n");
    for (const char* type : {"AviVideo", "MPEGVideo"}) {
        const int code = send("open \"" + broken + "\" type " + type + " alias movie");
        ASSERT_GE(code, mediaDeviceErrorBase) << type;
        EXPECT_EQ(service.mediaErrorText(code),
                  "Script error: There is no function named 'Bogus'.\n(" + broken + ", line 2)");
    }
    EXPECT_EQ(service.openCount(), 0);

    // The retry of a rejected script answers without running it again; the
    // script rewritten runs anew.
    const std::string runs = dir.file("runs.txt");
    const std::string once = dir.write("once.avs", "#fake-touch " + runs + "\nBogus()\n");
    for (const char* type : {"AviVideo", "MPEGVideo"})
        EXPECT_GE(send("open \"" + once + "\" type " + type + " alias movie"), mediaDeviceErrorBase);
    EXPECT_EQ(dir.read("runs.txt"), "ran\n");
    dir.write("once.avs", "#fake-touch " + runs + "\nBogus(1)\n");
    EXPECT_GE(send("open \"" + once + "\" type AviVideo alias movie"), mediaDeviceErrorBase);
    EXPECT_EQ(dir.read("runs.txt"), "ran\nran\n");

    // A frame that fails says so to the sink; the clip stays usable.
    std::vector<std::pair<int, std::string>> failed;
    service.registerFrameSink(5, FrameSink{{}, [&](int n, const std::string& text) { failed.emplace_back(n, text); }});
    const std::string failing = dir.write("fail.avs", "#fake 8 4 25 1 30\n#fake-fail 4\n");
    ASSERT_EQ(send("open \"" + failing + "\" type AviVideo alias movie parent 5"), 0);
    EXPECT_EQ(send("seek movie to 4"), 0);
    ASSERT_TRUE(service.waitUntil([&] { return !failed.empty(); }, 5000));
    EXPECT_EQ(failed.front(), (std::pair<int, std::string>{4, "Frame 4 failed on purpose"}));
    EXPECT_EQ(send("seek movie to 3"), 0);
    EXPECT_EQ(send("status movie position"), 0);
    EXPECT_EQ(reply, "3");

    service.setAviSynthLibraryNames({dir.file("libavisynth.so"), "libclipwright-no-such-library.so"});
    const int missing = send("open \"" + script + "\" type MPEGVideo alias other");
    ASSERT_GE(missing, mediaDeviceErrorBase);
    EXPECT_EQ(service.mediaErrorText(missing), aviSynthNotFoundText());
    EXPECT_NE(aviSynthNotFoundText().find("Install"), std::string::npos);
}

} // namespace
} // namespace cw
