#pragma once

#include "core/frameserver/protocol.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cw {

// One open clip in the frame server, rendered straight into the caller's
// memory.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Width, height and frame count are positive and a frame fits
    // frameLayout().
    virtual const ClipFacts& facts() const = 0;
    // Frame n, 0 <= n < frameCount, as top-down rows of 32-bit RGB pixels
    // (bytes B, G, R and one the picture ignores), stride bytes apart, into
    // out, which holds stride * height bytes. properties are replaced by the
    // frame's own. false with error set; out may then hold anything.
    virtual bool render(int n, std::uint8_t* out, std::size_t stride, std::vector<FrameProperty>& properties,
                        std::string& error) = 0;
    // Pixel (x, y) of frame n as the clip itself stores it, before any
    // conversion for showing: Y U V or R G B in the clip's own depth. None
    // when the point lies outside the frame or the format cannot be read.
    virtual std::vector<PixelComponent> readPixel(int n, int x, int y) = 0;
};

// Any media file through FFmpeg; null with error set on failure.
std::unique_ptr<FrameSource> openFfmpegSource(const std::string& path, std::string& error);

// An AviSynth+ script, the library loaded from the first of libraryNames
// that dlopen accepts. null with error and kind set on failure: the
// script's own error text when the script fails.
std::unique_ptr<FrameSource> openAviSynthSource(const std::string& path,
                                                const std::vector<std::string>& libraryNames,
                                                OpenFailureKind& kind, std::string& error);

} // namespace cw
