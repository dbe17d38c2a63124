#include "media/avs_pixel.h"

#include <charconv>
#include <cstring>

namespace cw {
namespace {

// The interface's colour-space bits.
constexpr unsigned csYuva = 1u << 27;
constexpr unsigned csBgr = 1u << 28;
constexpr unsigned csYuv = 1u << 29;
constexpr unsigned csInterleaved = 1u << 30;
constexpr unsigned csPlanar = 1u << 31;
constexpr unsigned csRgbaType = 1u << 1;
constexpr unsigned csYuy2 = 1u << 2 | csYuv | csInterleaved;

enum Plane { packedPlane = 0, planeY = 1, planeU = 2, planeV = 4, planeR = 32, planeG = 64, planeB = 128 };

// Where one component lies: its plane, its subsampling, and its bytes
// within a pixel (or within a pair of pixels for 4:2:2 packed).
struct Component {
    const char* name;
    int plane;
    int xShift = 0;
    int yShift = 0;
    int step = 1;
    int offset = 0;
};

// 1, 2 or 4 bytes a sample; 4 are a float.
int sampleBytes(unsigned type)
{
    switch ((type >> 16) & 7) {
    case 0: return 1;
    case 2: return 4;
    default: return 2; // 10, 12, 14 and 16 bits
    }
}

// The stored subsampling field as a shift; -1 for a value not defined.
int subsamplingShift(unsigned field)
{
    switch (field) {
    case 3: return 0;
    case 0: return 1;
    case 1: return 2;
    default: return -1;
    }
}

std::string sampleText(const std::uint8_t* at, int bytes)
{
    if (bytes == 1) return std::to_string(*at);
    if (bytes == 2) {
        std::uint16_t v;
        std::memcpy(&v, at, 2);
        return std::to_string(v);
    }
    float v;
    std::memcpy(&v, at, 4);
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

} // namespace

std::vector<PixelComponent> readAvsPixel(int pixelType, const AvsPlaneAccess& planes, int x, int y)
{
    const auto type = static_cast<unsigned>(pixelType);
    const int bytes = sampleBytes(type);
    std::vector<Component> components;
    bool bottomUp = false;
    if (type & csPlanar) {
        if (type & csBgr) {
            components = {{"R", planeR}, {"G", planeG}, {"B", planeB}};
        } else if ((type & csYuv) || (type & csYuva)) {
            // Greyscale is marked planar and interleaved at once.
            components = {{"Y", planeY}};
            if (!(type & csInterleaved)) {
                const int xs = subsamplingShift(type & 7);
                const int ys = subsamplingShift((type >> 8) & 7);
                if (xs < 0 || ys < 0) return {};
                components.push_back({"U", planeU, xs, ys});
                components.push_back({"V", planeV, xs, ys});
            }
        }
        for (Component& c : components) c.step = bytes;
    } else if ((type & csYuy2) == csYuy2) {
        components = {{"Y", packedPlane, 0, 0, 2, 0}, {"U", packedPlane, 1, 0, 4, 1}, {"V", packedPlane, 1, 0, 4, 3}};
    } else if ((type & csBgr) && (type & csInterleaved)) {
        // B, G, R and maybe A, stored bottom-up.
        if (bytes == 4) return {};
        const int step = (type & csRgbaType ? 4 : 3) * bytes;
        components = {{"R", packedPlane, 0, 0, step, 2 * bytes},
                      {"G", packedPlane, 0, 0, step, bytes},
                      {"B", packedPlane, 0, 0, step, 0}};
        bottomUp = true;
    }
    if (components.empty() || x < 0 || y < 0) return {};

    std::vector<PixelComponent> out;
    for (const Component& c : components) {
        const AvsPlane plane = planes(c.plane);
        const int row = bottomUp ? plane.height - 1 - y : y >> c.yShift;
        const long long column = static_cast<long long>(x >> c.xShift) * c.step + c.offset;
        if (!plane.data || plane.height <= 0 || plane.pitch < plane.rowSize || row < 0 || row >= plane.height ||
            column + bytes > plane.rowSize)
            return {};
        out.push_back({c.name, sampleText(plane.data + static_cast<long long>(row) * plane.pitch + column, bytes)});
    }
    return out;
}

} // namespace cw
