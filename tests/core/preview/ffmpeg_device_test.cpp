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
    test::ClipSpec spec;
    bool x264 = false;
};

class FfmpegDeviceClips : public ::testing::TestWithParam<DeviceCase> {
protected:
    void SetUp() override
    {
        const DeviceCase& c = GetParam();
        path = dir.file(c.file);
        if (c.x264) {
            if (!test::haveX264Tool()) GTEST_SKIP() << "ffmpeg with libx264 not installed";
            ASSERT_EQ(test::makeX264Clip(path, 60, 24), "");
        } else {
            ASSERT_EQ(test::makeClip(path, c.spec), "");
        }
        reference = test::decodeSequentially(path);
        ASSERT_FALSE(reference.empty());
        std::string error;
        device = openFfmpegDevice(path, error);
        ASSERT_TRUE(device) << error;
    }

    void expectFrame(int n)
    {
        std::string error;
        const RgbFrame* f = device->frame(n, error);
        ASSERT_TRUE(f) << "frame " << n << ": " << error;
        ASSERT_EQ(f->bytes.size(), reference[n].size());
        EXPECT_TRUE(f->bytes == reference[n]) << "frame " << n << " differs from sequential decoding";
    }

    test::TempDir dir;
    std::string path;
    std::vector<std::vector<std::uint8_t>> reference;
    std::unique_ptr<MediaDevice> device;
};

TEST_P(FfmpegDeviceClips, ReportsCountSizeAndRate)
{
    EXPECT_EQ(device->frameCount(), static_cast<int>(reference.size()));
    EXPECT_EQ(device->frameCount(), GetParam().x264 ? 60 : GetParam().spec.frames);
    EXPECT_EQ(device->width(), GetParam().x264 ? 160 : GetParam().spec.width);
    EXPECT_EQ(device->height(), GetParam().x264 ? 120 : GetParam().spec.height);
    EXPECT_NEAR(device->frameRate(), 25.0, 1e-6);
}

TEST_P(FfmpegDeviceClips, SeeksInAnyOrderShowTheExactFrame)
{
    const int count = device->frameCount();
    std::vector<int> targets = {count - 1, 0, count / 2, 1, count - 2, 13, 12, 11, 25, 24, 23};
    std::mt19937 random(7);
    for (int i = 0; i < 20; ++i) targets.push_back(static_cast<int>(random() % count));
    for (int n : targets) expectFrame(n);
}

TEST_P(FfmpegDeviceClips, SteppingForwardAndBackIsExact)
{
    for (int n = 0; n < device->frameCount(); ++n) expectFrame(n);
    for (int n = device->frameCount() - 1; n >= 0; --n) expectFrame(n);
}

TEST_P(FfmpegDeviceClips, RefusesFramesOutsideTheClip)
{
    std::string error;
    EXPECT_EQ(device->frame(-1, error), nullptr);
    EXPECT_EQ(device->frame(device->frameCount(), error), nullptr);
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FfmpegDeviceClips,
    ::testing::Values(DeviceCase{"Ffv1Matroska", "a.mkv", {"ffv1", 64, 48, 40, 12, 0}},
                      DeviceCase{"Mpeg4BFramesMp4", "b.mp4", {"mpeg4", 64, 48, 50, 12, 2}},
                      DeviceCase{"Mpeg4Avi", "c.avi", {"mpeg4", 64, 48, 30, 10, 0}},
                      DeviceCase{"Mpeg4BFramesAvi", "d.avi", {"mpeg4", 64, 48, 30, 10, 2}},
                      DeviceCase{"H264Mp4", "e.mp4", {}, true}, DeviceCase{"H264Matroska", "f.mkv", {}, true},
                      DeviceCase{"H264Avi", "g.avi", {}, true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(FfmpegDevice, FrameNumbersMatchWhatWasEncoded)
{
    test::TempDir dir;
    const std::string path = dir.file("numbers.mkv");
    ASSERT_EQ(test::makeClip(path, {"ffv1", 64, 48, 40, 12, 0}), "");
    std::string error;
    auto device = openFfmpegDevice(path, error);
    ASSERT_TRUE(device) << error;
    for (int n : {0, 39, 17, 5, 6, 30, 12}) {
        const RgbFrame* f = device->frame(n, error);
        ASSERT_TRUE(f) << error;
        EXPECT_EQ(test::readFrameNumber(f->bytes.data(), f->stride), n);
    }
}

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

    // A clip cut short, and one with its middle overwritten: no crash, and
    // every frame is either shown or refused with a reason.
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
            if (!device->frame(n, error)) {
                EXPECT_FALSE(error.empty());
            }
        }
    }
}

} // namespace
} // namespace cw
