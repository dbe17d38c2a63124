#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cw {

// 32-bit RGB pixels in native byte order (bytes B, G, R and one that a
// 32-bit RGB picture ignores, on a little-endian machine), rows top-down.
struct RgbFrame {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> bytes;
};

// One open clip. Frame numbers count from 0 in presentation order.
class MediaDevice {
public:
    virtual ~MediaDevice() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual int frameCount() const = 0;
    virtual double frameRate() const = 0;
    // Frame n, 0 <= n < frameCount(); the result stays valid until the next
    // call. nullptr with error set when the frame cannot be produced.
    virtual const RgbFrame* frame(int n, std::string& error) = 0;
};

// Any media file through FFmpeg; nullptr with error set on failure.
std::unique_ptr<MediaDevice> openFfmpegDevice(const std::string& path, std::string& error);

// An AviSynth+ script, the library loaded from the first of libraryNames
// that dlopen accepts. nullptr with error set on failure: the script's own
// error text when the script fails.
std::unique_ptr<MediaDevice> openAviSynthDevice(const std::string& path,
                                                const std::vector<std::string>& libraryNames,
                                                std::string& error);

// The one place that chooses a device: AviSynth+ renders scripts, FFmpeg
// decodes every other file.
std::unique_ptr<MediaDevice> openMediaDevice(const std::string& path,
                                             const std::vector<std::string>& aviSynthLibraryNames,
                                             std::string& error);

} // namespace cw
