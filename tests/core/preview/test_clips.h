#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cw::test {

// A small clip encoded with libavcodec. Frame n shows n in two flat 16x16
// blocks at the top left (n % 16, n / 16) over a moving pattern.
struct ClipRecipe {
    std::string codec = "ffv1"; // or "mpeg4"
    int width = 64;
    int height = 48;
    int frames = 40;
    int gop = 12;
    int bFrames = 0;
};

// The container follows the path's extension. "" or the reason it failed.
std::string makeClip(const std::string& path, const ClipRecipe& recipe);

// The ffmpeg tool's H.264 encoder with B-frames, when it is installed.
bool haveX264Tool();
std::string makeX264Clip(const std::string& path, int frames, int gop);

// Every frame in decode-output order, converted as the player converts.
std::vector<std::vector<std::uint8_t>> decodeSequentially(const std::string& path);

// The number written into a frame of makeClip, read back from BGRA pixels.
int readFrameNumber(const std::uint8_t* bgra, int stride);

} // namespace cw::test
