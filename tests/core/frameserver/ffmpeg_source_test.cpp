#include "media/frame_source.h"

#include "core/preview/test_clips.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <random>

namespace cw {
namespace {

// Frame n as the frame server would write it; empty when it cannot be made.
std::vector<std::uint8_t> render(FrameSource& source, int n, std::string& error)
{
    const ClipFacts& f = source.facts();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(f.width) * 4 * f.height);
    std::vector<FrameProperty> properties;
    if (!source.render(n, pixels.data(), static_cast<std::size_t>(f.width) * 4, properties, error)) return {};
    return pixels;
}

struct SourceCase {
    const char* name;
    const char* file;
    test::ClipRecipe recipe;
    bool x264 = false;
};

class FfmpegSourceClips : public ::testing::TestWithParam<SourceCase> {};

// Every frame reached by seeking, in any order, must equal the frame a plain
// sequential decode gives at that position.
TEST_P(FfmpegSourceClips, SeekingShowsExactlyTheSequentiallyDecodedFrame)
{
    const SourceCase& c = GetParam();
    test::TempDir dir;
    const std::string path = dir.file(c.file);
    if (c.x264) {
        if (!test::haveX264Tool()) GTEST_SKIP() << "ffmpeg with libx264 not installed";
        ASSERT_EQ(test::makeX264Clip(path, 60, 24), "");
    } else {
        ASSERT_EQ(test::makeClip(path, c.recipe), "");
    }
    const auto reference = test::decodeSequentially(path);
    std::string error;
    const auto source = openFfmpegSource(path, error);
    ASSERT_TRUE(source) << error;

    const ClipFacts& facts = source->facts();
    const int count = facts.frameCount;
    EXPECT_EQ(count, c.x264 ? 60 : c.recipe.frames);
    ASSERT_EQ(count, static_cast<int>(reference.size()));
    EXPECT_EQ(facts.width, c.x264 ? 160 : c.recipe.width);
    EXPECT_EQ(facts.height, c.x264 ? 120 : c.recipe.height);
    EXPECT_EQ(std::pair(facts.rateNumerator, facts.rateDenominator), std::pair(25u, 1u));

    std::vector<int> targets = {count - 1, 0, count / 2, 1, count - 2, 13, 12, 11, 25, 24, 23};
    std::mt19937 random(7);
    for (int i = 0; i < 20; ++i) targets.push_back(static_cast<int>(random() % count));
    for (int n = 0; n < count; ++n) targets.push_back(n);
    for (int n = count - 1; n >= 0; --n) targets.push_back(n);
    for (int n : targets) {
        const std::vector<std::uint8_t> f = render(*source, n, error);
        ASSERT_FALSE(f.empty()) << "frame " << n << ": " << error;
        EXPECT_TRUE(f == reference[n]) << "frame " << n << " differs from sequential decoding";
        // Guards against the reference itself being shifted.
        if (!c.x264) {
            EXPECT_EQ(test::readFrameNumber(f.data(), facts.width * 4), n);
        }
    }
    EXPECT_TRUE(render(*source, -1, error).empty());
    EXPECT_TRUE(render(*source, count, error).empty());
    EXPECT_FALSE(error.empty());
}

// Intra-only and reordered clips, with timestamps and (AVI) without.
INSTANTIATE_TEST_SUITE_P(
    Formats, FfmpegSourceClips,
    ::testing::Values(SourceCase{"Ffv1Matroska", "a.mkv", {"ffv1", 64, 48, 40, 12, 0}},
                      SourceCase{"Mpeg4BFramesMp4", "b.mp4", {"mpeg4", 64, 48, 50, 12, 2}},
                      SourceCase{"Mpeg4BFramesAvi", "d.avi", {"mpeg4", 64, 48, 30, 10, 2}},
                      SourceCase{"H264Mp4", "e.mp4", {}, true}, SourceCase{"H264Avi", "g.avi", {}, true},
                      SourceCase{"H264RemuxedAvi", "h.remux.avi", {}, true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(FfmpegSource, DamagedFilesGiveAnErrorTextOrUsableFrames)
{
    test::TempDir dir;
    std::string garbage(5000, '\0');
    std::mt19937 random(3);
    for (char& c : garbage) c = static_cast<char>(random());
    std::string error;
    EXPECT_FALSE(openFfmpegSource(dir.write("noise.mp4", garbage), error));
    EXPECT_NE(error.find("noise.mp4"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(openFfmpegSource(dir.file("missing.mkv"), error));
    EXPECT_FALSE(error.empty());

    // Cut short, and overwritten in the middle: no crash, every frame shown or refused with a reason.
    const std::string whole = dir.file("whole.avi");
    ASSERT_EQ(test::makeClip(whole, {"mpeg4", 64, 48, 30, 10, 2}), "");
    const std::string bytes = dir.read("whole.avi");
    std::string scribbled = bytes;
    for (std::size_t i = bytes.size() / 3; i < bytes.size() / 2; ++i) scribbled[i] = static_cast<char>(random());
    for (const std::string& damaged : {bytes.substr(0, bytes.size() / 2), scribbled}) {
        error.clear();
        auto source = openFfmpegSource(dir.write("damaged.avi", damaged), error);
        if (!source) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        const int count = source->facts().frameCount;
        for (int n : {count - 1, 0, count / 2}) {
            error.clear();
            EXPECT_TRUE(!render(*source, n, error).empty() || !error.empty()) << n;
        }
    }
}

} // namespace
} // namespace cw
