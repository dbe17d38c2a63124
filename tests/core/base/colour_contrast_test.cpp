#include "core/base/colour_contrast.h"

#include <gtest/gtest.h>

#include <utility>

namespace cw {
namespace {

TEST(ColourContrast, RatiosFollowTheWcagFormulaAndColoursMoveJustFarEnough)
{
    EXPECT_NEAR(contrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 0.005);
    EXPECT_NEAR(contrastRatio({255, 255, 255}, {0, 0, 0}), 21.0, 0.005);
    EXPECT_NEAR(contrastRatio({119, 119, 119}, {255, 255, 255}), 4.48, 0.005); // just misses 4.5
    EXPECT_NEAR(contrastRatio({0, 0, 255}, {255, 255, 255}), 8.59, 0.005);

    EXPECT_EQ(withContrast({0, 0, 255}, {255, 255, 255}, 4.5), (Rgb{0, 0, 255}));
    // Lighter on a dark paper (black crossing over it), darker on a light one.
    const std::pair<Rgb, Rgb> rows[] = {
        {{127, 0, 85}, {30, 30, 30}}, {{0, 0, 0}, {61, 61, 61}}, {{255, 200, 0}, {255, 255, 231}}};
    for (const auto& [colour, paper] : rows) {
        const double ratio = contrastRatio(withContrast(colour, paper, 4.5), paper);
        EXPECT_TRUE(ratio >= 4.5 && ratio < 4.6) << ratio;
    }
    // Nothing reaches 7:1 on mid grey: the better end.
    EXPECT_EQ(withContrast({255, 0, 0}, {128, 128, 128}, 7.0), (Rgb{0, 0, 0}));
}

} // namespace
} // namespace cw
