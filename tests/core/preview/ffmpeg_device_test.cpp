#include "core/preview/media_device.h"

#include "support/temp_dir.h"
#include "test_clips.h"

#include <gtest/gtest.h>
#include <random>

namespace cw {
namespace {

struct DeviceCase {
    const char* name;
    const char* file;
    test::ClipRecipe recipe;
    bool x264 = false;
};

class FfmpegDeviceClips : public ::testing::TestWithParam<DeviceCase> {};

// Every frame reached by seeking, in any order, must equal the frame a plain
// sequential decode gives at that position.
TEST_P(FfmpegDeviceClips, SeekingShowsExactlyTheSequentiallyDecodedFrame)
{
    const DeviceCase& c = GetParam();
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
    const auto device = openFfmpegDevice(path, error);
    ASSERT_TRUE(device) << error;

    const int count = device->frameCount();
    EXPECT_EQ(count, c.x264 ? 60 : c.recipe.frames);
    ASSERT_EQ(count, static_cast<int>(reference.size()));
    EXPECT_EQ(device->width(), c.x264 ? 160 : c.recipe.width);
    EXPECT_EQ(device->height(), c.x264 ? 120 : c.recipe.height);
    EXPECT_NEAR(device->frameRate(), 25.0, 1e-6);

    std::vector<int> targets = {count - 1, 0, count / 2, 1, count - 2, 13, 12, 11, 25, 24, 23};
    std::mt19937 random(7);
    for (int i = 0; i < 20; ++i) targets.push_back(static_cast<int>(random() % count));
    for (int n = 0; n < count; ++n) targets.push_back(n);
    for (int n = count - 1; n >= 0; --n) targets.push_back(n);
    for (int n : targets) {
        const RgbFrame* f = device->frame(n, error);
        ASSERT_TRUE(f) << "frame " << n << ": " << error;
        EXPECT_TRUE(f->bytes == reference[n]) << "frame " << n << " differs from sequential decoding";
        // Guards against the reference itself being shifted.
        if (!c.x264) {
            EXPECT_EQ(test::readFrameNumber(f->bytes.data(), f->stride), n);
        }
    }
    EXPECT_EQ(device->frame(-1, error), nullptr);
    EXPECT_EQ(device->frame(count, error), nullptr);
    EXPECT_FALSE(error.empty());
}

// Intra-only and reordered clips, with timestamps and (AVI) without.
INSTANTIATE_TEST_SUITE_P(
    Formats, FfmpegDeviceClips,
    ::testing::Values(DeviceCase{"Ffv1Matroska", "a.mkv", {"ffv1", 64, 48, 40, 12, 0}},
                      DeviceCase{"Mpeg4BFramesMp4", "b.mp4", {"mpeg4", 64, 48, 50, 12, 2}},
                      DeviceCase{"Mpeg4BFramesAvi", "d.avi", {"mpeg4", 64, 48, 30, 10, 2}},
                      DeviceCase{"H264Mp4", "e.mp4", {}, true}, DeviceCase{"H264Avi", "g.avi", {}, true},
                      DeviceCase{"H264RemuxedAvi", "h.remux.avi", {}, true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(FfmpegDevice, DamagedFilesGiveAnErrorTextOrUsableFrames)
{
    test::TempDir dir;
    std::string garbage(5000, '\0');
    std::mt19937 random(3);
    for (char& c : garbage) c = static_cast<char>(random());
    std::string error;
    EXPECT_FALSE(openFfmpegDevice(dir.write("noise.mp4", garbage), error));
    EXPECT_NE(error.find("noise.mp4"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(openFfmpegDevice(dir.file("missing.mkv"), error));
    EXPECT_FALSE(error.empty());

    // Cut short, and overwritten in the middle: no crash, every frame shown or refused with a reason.
    const std::string whole = dir.file("whole.avi");
    ASSERT_EQ(test::makeClip(whole, {"mpeg4", 64, 48, 30, 10, 2}), "");
    const std::string bytes = dir.read("whole.avi");
    std::string scribbled = bytes;
    for (std::size_t i = bytes.size() / 3; i < bytes.size() / 2; ++i) scribbled[i] = static_cast<char>(random());
    for (const std::string& damaged : {bytes.substr(0, bytes.size() / 2), scribbled}) {
        error.clear();
        auto device = openFfmpegDevice(dir.write("damaged.avi", damaged), error);
        if (!device) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        for (int n : {device->frameCount() - 1, 0, device->frameCount() / 2}) {
            error.clear();
            EXPECT_TRUE(device->frame(n, error) || !error.empty()) << n;
        }
    }
}

} // namespace
} // namespace cw
