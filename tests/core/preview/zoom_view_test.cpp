#include "core/preview/zoom_view.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(ZoomView, ThePointUnderThePointerAtEachZoomAndScroll)
{
    const struct {
        const char* what;
        Zoom zoom;
        int viewW, viewH, scrollX, scrollY;
        double x, y;
        std::optional<ClipPoint> at;
    } rows[] = {
        // A 1920x1080 clip.
        {"fit, letterboxed", {}, 960, 960, 0, 0, 0.5, 210.6, ClipPoint{1, 1}},
        {"fit, above the picture", {}, 960, 960, 0, 0, 480, 209.9, std::nullopt},
        {"fit, last pixel", {}, 960, 960, 0, 0, 959.9, 749.9, ClipPoint{1919, 1079}},
        {"100% in a larger view is centred", {false, 100}, 2000, 1200, 0, 0, 40, 60, ClipPoint{0, 0}},
        {"100%, left of the picture", {false, 100}, 2000, 1200, 0, 0, 39.5, 60, std::nullopt},
        {"50%, wider than the view", {false, 50}, 800, 600, 0, 0, 399, 299, ClipPoint{798, 538}},
        {"400%, scrolled", {false, 400}, 800, 600, 4000, 2000, 3, 5, ClipPoint{1000, 501}},
        {"400%, scroll held at the end", {false, 400}, 800, 600, 99999, 99999, 799, 599, ClipPoint{1919, 1079}},
        {"400%, scroll never negative", {false, 400}, 800, 600, -50, -50, 0, 0, ClipPoint{0, 0}},
        {"200%, scrolled", {false, 200}, 800, 600, 1000, 0, 801, 1, ClipPoint{900, 0}},
    };
    for (const auto& row : rows) {
        const ZoomGeometry g = zoomGeometry(row.zoom, 1920, 1080, row.viewW, row.viewH, row.scrollX, row.scrollY);
        EXPECT_EQ(g.clipPointAt(row.x, row.y), row.at) << row.what;
    }
}

TEST(ZoomView, ScrollRangeSmoothingAndSteps)
{
    const ZoomGeometry big = zoomGeometry({false, 400}, 1920, 1080, 800, 600);
    EXPECT_EQ(big.maxScrollX, 1920 * 4 - 800);
    EXPECT_EQ(big.maxScrollY, 1080 * 4 - 600);
    EXPECT_FALSE(big.smooth);
    EXPECT_TRUE(zoomGeometry({false, 50}, 1920, 1080, 800, 600).smooth);
    EXPECT_FALSE(zoomGeometry({}, 640, 480, 640, 480).smooth);

    // The clip point at the view's centre stays there after a zoom.
    const auto [x, y] = big.scrollToPlace(960, 540, 400, 300);
    EXPECT_EQ(x, 960 * 4 - 400);
    EXPECT_EQ(y, 540 * 4 - 300);

    EXPECT_EQ(zoomInFrom(0.73), 100);
    EXPECT_EQ(zoomInFrom(1.0), 200);
    EXPECT_EQ(zoomOutFrom(0.73), 50);
    EXPECT_EQ(zoomOutFrom(0.5 + 1e-9), std::nullopt);
}

} // namespace
} // namespace cw
