#pragma once

#include <optional>
#include <utility>

namespace cw {

// The preview's zoom: fit to the view (the aspect kept), or a fixed
// percentage of the clip's pixels on the screen's own pixels.
struct Zoom {
    bool fit = true;
    int percent = 100;
    bool operator==(const Zoom&) const = default;
};

// The fixed levels, smallest first.
inline constexpr int zoomLevels[] = {50, 100, 200, 400};

// The next level above, or below, the scale a view shows now (1.0 is
// 100%); none past the ends.
std::optional<int> zoomInFrom(double scale);
std::optional<int> zoomOutFrom(double scale);

struct ClipPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ClipPoint&) const = default;
};

// Where a clip lands in a view, everything in the screen's device pixels
// (a high-density screen has two or more for each of the program's own), so
// that 100% is one clip pixel on one pixel of the screen. A picture smaller
// than the view is centred; a larger one is scrolled by (scrollX, scrollY),
// held within what there is to scroll.
struct ZoomGeometry {
    int clipWidth = 0;
    int clipHeight = 0;
    double scale = 1; // device pixels a clip pixel covers
    double left = 0;  // the picture's top left corner in the view
    double top = 0;
    double width = 0; // the picture's size on the screen
    double height = 0;
    int scrollX = 0;
    int scrollY = 0;
    int maxScrollX = 0;
    int maxScrollY = 0;
    // Below 100% pixels are blended; at and above they are drawn as squares.
    bool smooth = false;

    // The clip pixel at a point of the view; none off the picture.
    std::optional<ClipPoint> clipPointAt(double viewX, double viewY) const;
    // The scroll position that puts clip point (clipX, clipY), in clip
    // pixels and fractions, at (viewX, viewY); within the scroll range.
    std::pair<int, int> scrollToPlace(double clipX, double clipY, double viewX, double viewY) const;
};

ZoomGeometry zoomGeometry(Zoom zoom, int clipWidth, int clipHeight, int viewWidth, int viewHeight, int scrollX = 0,
                          int scrollY = 0);

} // namespace cw
