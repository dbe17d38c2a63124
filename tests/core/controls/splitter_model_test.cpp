#include "core/controls/splitter_model.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

SplitterModel attached(int percent, Tiling mode)
{
    SplitterModel m;
    m.setTilePercent(percent);
    m.setTileMode(mode);
    m.resetBounds();
    return m;
}

TEST(SplitterLayout, LeavesTheBarBetweenThePanesRoundingHalvesToEven)
{
    const auto sideBySide = attached(25, Tiling::sideBySide).layout({10, 20, 902, 500});
    EXPECT_EQ(sideBySide.first, (Rect{10, 20, 226, 500})); // 225.5
    EXPECT_EQ(sideBySide.second, (Rect{243, 20, 669, 500}));
    const auto stacked = attached(50, Tiling::stacked).layout({0, 0, 300, 405});
    EXPECT_EQ(stacked.first, (Rect{0, 0, 300, 202})); // 202.5
    EXPECT_EQ(stacked.second, (Rect{0, 209, 300, 196}));
}

TEST(SplitterDrag, StartsOnlyStrictlyInsideTheBarAndKeepsThePercentageInsideTheBounds)
{
    auto m = attached(25, Tiling::sideBySide);
    m.press(100, 100);
    EXPECT_FALSE(m.dragging());
    m.press(107, 100);
    EXPECT_FALSE(m.dragging());
    m.press(101, 100);
    EXPECT_TRUE(m.dragging());
    EXPECT_TRUE(m.drag(60, 1000));
    EXPECT_EQ(m.tilePercent(), 6);
    EXPECT_FALSE(m.drag(50, 1000));
    EXPECT_EQ(m.tilePercent(), 6);
    EXPECT_TRUE(m.drag(970, 1000));
    EXPECT_EQ(m.tilePercent(), 97);
    EXPECT_FALSE(m.drag(980, 1000));
    EXPECT_EQ(m.tilePercent(), 97);
    m.release();
    EXPECT_FALSE(m.dragging());
    EXPECT_FALSE(m.drag(500, 1000));
}

TEST(SplitterBounds, AreExclusiveAndKeepMinimumBelowMaximum)
{
    auto m = attached(25, Tiling::sideBySide);
    m.setMaxTilePercent(98);
    m.setMinTilePercent(5);
    EXPECT_EQ(m.maxTilePercent(), 98);
    EXPECT_EQ(m.minTilePercent(), 5);
    m.setMaxTilePercent(40);
    m.setMinTilePercent(50);
    EXPECT_EQ(m.minTilePercent(), 5);
    m.setMinTilePercent(30);
    EXPECT_EQ(m.minTilePercent(), 30);
    m.setMaxTilePercent(20);
    EXPECT_EQ(m.maxTilePercent(), 40);
}

} // namespace
} // namespace cw
