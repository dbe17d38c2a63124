#pragma once

#include "core/frameserver/protocol.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace cw {

// One plane of an AviSynth+ frame as the interface describes it.
struct AvsPlane {
    const std::uint8_t* data = nullptr;
    int pitch = 0;
    int rowSize = 0; // bytes
    int height = 0;  // rows
};

// A frame's planes by the interface's plane number: 0 the only plane of a
// packed format, 1 Y, 2 U, 4 V, 32 R, 64 G, 128 B.
using AvsPlaneAccess = std::function<AvsPlane(int plane)>;

// Pixel (x, y), counted from the top left, of a frame whose layout the
// interface's pixel type gives: Y U V for YUV (Y alone for greyscale), R G B
// for RGB, each as stored (0..255, 0..1023, ... or the float itself). Alpha
// is left out. Nothing for a pixel type it does not know or a point outside
// the planes the frame reports.
std::vector<PixelComponent> readAvsPixel(int pixelType, const AvsPlaneAccess& planes, int x, int y);

} // namespace cw
