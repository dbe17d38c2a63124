// The pixel readout: AviSynth+ layouts decoded from the pixel type, the
// FFmpeg source's decoded picture, and the request through the real frame
// server.
#include "core/frameserver/frame_server_client.h"
#include "core/preview/test_clips.h"
#include "media/avs_pixel.h"
#include "media/frame_source.h"
#include "support/temp_dir.h"

#include <cstring>
#include <gtest/gtest.h>
#include <map>

namespace cw {
namespace {

using Planes = std::map<int, std::vector<std::uint8_t>>;

std::string text(const std::vector<PixelComponent>& components)
{
    std::string out;
    for (const PixelComponent& c : components) out += (out.empty() ? "" : " ") + c.name + " " + c.value;
    return out;
}

// Planes of 4x4 pixels (2x2 when subsampled), rows 64 bytes apart; the
// sample at row r, column c holds the given bytes.
struct Frame {
    Planes planes;
    std::map<int, int> rows;
    void put(int plane, int row, int byte, std::initializer_list<std::uint8_t> bytes, int rowCount = 4)
    {
        std::vector<std::uint8_t>& p = planes[plane];
        p.resize(64 * 4);
        rows[plane] = rowCount;
        std::copy(bytes.begin(), bytes.end(), p.begin() + row * 64 + byte);
    }
    AvsPlaneAccess access(int rowSize)
    {
        return [this, rowSize](int plane) {
            auto it = planes.find(plane);
            if (it == planes.end()) return AvsPlane{};
            return AvsPlane{it->second.data(), 64, rowSize, rows[plane]};
        };
    }
};

constexpr int yv12 = int(1u << 31 | 1 << 29 | 1 << 3); // planar YUV, 4:2:0 (width and height fields 0)
constexpr int yuv444p10 = int(1u << 31 | 1 << 29 | 1 << 3 | 3 | 3 << 8 | 5 << 16);
constexpr int y32 = int(1u << 31 | 1 << 30 | 1 << 29 | 2 << 16);
constexpr int rgbp16 = int(1u << 31 | 1 << 28 | 1 | 1 << 16);
constexpr int bgr24 = 1 | 1 << 28 | 1 << 30;
constexpr int bgr64 = 2 | 1 << 28 | 1 << 30 | 1 << 16;
constexpr int yuy2 = 1 << 2 | 1 << 29 | 1 << 30;

TEST(AvsPixel, EachLayoutIsReadWhereTheFormatKeepsItsSamples)
{
    float half = 0.5f;
    std::uint8_t halfBytes[4];
    std::memcpy(halfBytes, &half, 4);
    struct Row {
        const char* what;
        int type;
        std::function<void(Frame&)> fill;
        int rowSize;
        const char* expected;
    };
    const Row rows[] = {
        {"YV12: chroma of (3, 1) at (1, 0)", yv12,
         [](Frame& f) {
             f.put(1, 1, 3, {200});
             f.put(2, 0, 1, {90}, 2);
             f.put(4, 0, 1, {240}, 2);
         },
         4, "Y 200 U 90 V 240"},
        {"10-bit 4:4:4, little-endian words", yuv444p10,
         [](Frame& f) {
             f.put(1, 1, 6, {0xff, 0x03});
             f.put(2, 1, 6, {0x00, 0x02});
             f.put(4, 1, 6, {0x40, 0x00});
         },
         8, "Y 1023 U 512 V 64"},
        {"float greyscale", y32, [&](Frame& f) { f.put(1, 1, 12, {halfBytes[0], halfBytes[1], halfBytes[2], halfBytes[3]}); },
         16, "Y 0.5"},
        {"16-bit planar RGB from planes G, B, R", rgbp16,
         [](Frame& f) {
             f.put(32, 1, 6, {1, 0});
             f.put(64, 1, 6, {2, 0});
             f.put(128, 1, 6, {0, 1});
         },
         8, "R 1 G 2 B 256"},
        {"packed BGR, bottom-up", bgr24, [](Frame& f) { f.put(0, 2, 9, {30, 20, 10}); }, 12, "R 10 G 20 B 30"},
        {"packed 16-bit BGRA, bottom-up", bgr64, [](Frame& f) { f.put(0, 2, 24, {3, 0, 2, 0, 1, 0, 9, 9}); }, 32,
         "R 1 G 2 B 3"},
        {"YUY2: the second pixel of a pair", yuy2, [](Frame& f) { f.put(0, 1, 4, {50, 60, 70, 80}); }, 8,
         "Y 70 U 60 V 80"},
        {"an unknown type", 1, [](Frame& f) { f.put(0, 1, 0, {1}); }, 4, ""},
        {"a row shorter than the point needs", bgr24, [](Frame& f) { f.put(0, 2, 0, {1}); }, 6, ""},
    };
    for (const Row& row : rows) {
        Frame frame;
        row.fill(frame);
        EXPECT_EQ(text(readAvsPixel(row.type, frame.access(row.rowSize), 3, 1)), row.expected) << row.what;
    }
    Frame outside;
    outside.put(1, 0, 0, {1});
    EXPECT_EQ(text(readAvsPixel(y32, outside.access(16), 0, 4)), "");
}

TEST(FfmpegPixel, TheDecodedPictureGivesYuvBeforeConversion)
{
    test::TempDir dir;
    const std::string path = dir.file("clip.mkv");
    ASSERT_EQ(test::makeClip(path, {}), "");
    std::string error;
    std::unique_ptr<FrameSource> source = openFfmpegSource(path, error);
    ASSERT_TRUE(source) << error;
    // The clip writes 16 + 12 * (n % 16) into the top left block, 16 + 12 *
    // (n / 16) beside it, on neutral chroma; lossless.
    EXPECT_EQ(text(source->readPixel(17, 3, 3)), "Y 28 U 128 V 128");
    EXPECT_EQ(text(source->readPixel(17, 20, 3)), "Y 28 U 128 V 128");
    EXPECT_EQ(text(source->readPixel(35, 3, 15)), "Y 52 U 128 V 128");
    EXPECT_EQ(text(source->readPixel(35, 64, 0)), "");
}

TEST(FrameServerPixel, TheServerReadsTheScriptsFrameAndOnlyTheNewestWaitingPointIsRead)
{
    test::TempDir dir;
    FrameServerClient client({CLIPWRIGHT_FRAMESERVER, {CLIPWRIGHT_FAKE_AVISYNTH}});
    std::optional<OpenResult> opened;
    std::vector<fsp::PixelValue> values;
    client.setEvents({.opened = [&](const OpenResult& r) { opened = r; },
                      .pixelRead = [&](const fsp::PixelValue& v) { values.push_back(v); }});
    client.open(dir.write("p.avs", "#fake 64 48 25 1 10\n"), SourceKind::script);
    ASSERT_TRUE(client.waitUntil([&] { return opened.has_value(); }, 5000));
    ASSERT_TRUE(opened->ok) << opened->error;

    // The stand-in paints B = frame, G = row, R = column.
    client.requestPixel(3, 5, 7);
    client.requestPixel(4, 1, 1);
    client.requestPixel(6, 63, 47);
    client.requestPixel(6, 64, 0);
    ASSERT_TRUE(client.waitUntil([&] { return values.size() == 2; }, 5000));
    client.waitUntil([] { return false; }, 100);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], (fsp::PixelValue{3, 5, 7, {{"R", "5"}, {"G", "7"}, {"B", "3"}}}));
    // Past the edge: an answer without values.
    EXPECT_EQ(values[1], (fsp::PixelValue{6, 64, 0, {}}));
}

} // namespace
} // namespace cw
