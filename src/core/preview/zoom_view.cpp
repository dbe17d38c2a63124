#include "core/preview/zoom_view.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace cw {
namespace {

// Fit can land a hair away from a level it equals.
constexpr double sameScale = 1e-6;

} // namespace

std::optional<int> zoomInFrom(double scale)
{
    for (int level : zoomLevels)
        if (level / 100.0 > scale + sameScale) return level;
    return std::nullopt;
}

std::optional<int> zoomOutFrom(double scale)
{
    for (auto it = std::rbegin(zoomLevels); it != std::rend(zoomLevels); ++it)
        if (*it / 100.0 < scale - sameScale) return *it;
    return std::nullopt;
}

ZoomGeometry zoomGeometry(Zoom zoom, int clipWidth, int clipHeight, int viewWidth, int viewHeight, int scrollX,
                          int scrollY)
{
    ZoomGeometry g;
    g.clipWidth = clipWidth;
    g.clipHeight = clipHeight;
    if (clipWidth <= 0 || clipHeight <= 0 || viewWidth <= 0 || viewHeight <= 0) return g;
    g.scale = zoom.fit ? std::min(double(viewWidth) / clipWidth, double(viewHeight) / clipHeight)
                       : zoom.percent / 100.0;
    g.width = clipWidth * g.scale;
    g.height = clipHeight * g.scale;
    g.smooth = g.scale < 1.0 - sameScale;
    g.maxScrollX = std::max(0, static_cast<int>(std::ceil(g.width - sameScale)) - viewWidth);
    g.maxScrollY = std::max(0, static_cast<int>(std::ceil(g.height - sameScale)) - viewHeight);
    g.scrollX = std::clamp(scrollX, 0, g.maxScrollX);
    g.scrollY = std::clamp(scrollY, 0, g.maxScrollY);
    // Whole pixels, so that squares of a zoomed picture stay sharp.
    g.left = g.maxScrollX > 0 ? -g.scrollX : std::floor((viewWidth - g.width) / 2);
    g.top = g.maxScrollY > 0 ? -g.scrollY : std::floor((viewHeight - g.height) / 2);
    return g;
}

std::optional<ClipPoint> ZoomGeometry::clipPointAt(double viewX, double viewY) const
{
    if (width <= 0 || height <= 0) return std::nullopt;
    const double x = std::floor((viewX - left) / scale);
    const double y = std::floor((viewY - top) / scale);
    if (x < 0 || y < 0 || x >= clipWidth || y >= clipHeight) return std::nullopt;
    return ClipPoint{static_cast<int>(x), static_cast<int>(y)};
}

std::pair<int, int> ZoomGeometry::scrollToPlace(double clipX, double clipY, double viewX, double viewY) const
{
    const auto place = [](double clip, double view, double s, int max) {
        return std::clamp(static_cast<int>(std::lround(clip * s - view)), 0, max);
    };
    return {place(clipX, viewX, scale, maxScrollX), place(clipY, viewY, scale, maxScrollY)};
}

} // namespace cw
