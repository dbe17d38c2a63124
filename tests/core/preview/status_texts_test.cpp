#include "core/preview/status_texts.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(StatusTexts, RatioRoundedHalfToEvenShortestCommasBecomeColonsAndFrameRate)
{
    struct Row {
        int width;
        int height;
        const char* separator;
        const char* text;
    };
    const Row rows[] = {
        {640, 480, ".", "1.333"},  {640, 480, ",", "1:333"}, {1280, 720, ".", "1.778"},
        {720, 480, ".", "1.5"},    {720, 480, ",", "1:5"},   {600, 300, ",", "2"},
        {1, 8, ".", "0.125"},      {1, 16, ".", "0.062"},    {3, 16, ".", "0.188"}, // 0.0625, 0.1875
        {1, 2000, ".", "0"},       {3, 2000, ".", "0.002"},  {640, 0, ".", "0"},
        {1999, 1000, ".", "1.999"}, {19995, 10000, ".", "2"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ratioText(row.width, row.height, row.separator), row.text) << row.width << "/" << row.height;
    // The frame rate has three decimals and grouping.
    EXPECT_EQ(frameRateText(25, "."), "25.000");
    EXPECT_EQ(frameRateText(30000.0 / 1001, ","), "29,970");
    EXPECT_EQ(frameRateText(23.9765, "."), "23.977");
    EXPECT_EQ(frameRateText(1234.5, ",", "."), "1.234,500");
    EXPECT_EQ(frameRateText(0, "."), "0.000");
}

} // namespace
} // namespace cw
