#include "core/config/setting_values.h"
#include "core/base/parse_leading_integer.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(TilePercent, AcceptsPlainNumbersInRangeRoundedHalfToEven)
{
    const struct {
        const char* value;
        int expected;
    } rows[] = {
        {"25", 25},   {"5", 5},         {"98", 98},     {"+50", 50},   {"50.5", 50},  {"51.5", 52},
        {"97.5", 98}, {"98.5", 98},     {"4.5", 80},    {"4", 80},     {"99", 80},    {"-3", 80},
        {"", 80},     {"abc", 80},      {" 50", 80},    {"50 ", 80},   {"1e1", 80},   {"5,5", 80},
        {".", 80},    {"32768", 80},    {"99999999999999999999", 80},  {"1.2.3", 80}, {"-", 80},
    };
    for (const auto& row : rows) EXPECT_EQ(readTilePercent(row.value, 80), row.expected) << row.value;
}

TEST(ViewMode, OnlyTheNumberTwoSelectsCategories)
{
    EXPECT_EQ(readViewMode("2"), 2);
    EXPECT_EQ(readViewMode("view2"), 2);
    EXPECT_EQ(readViewMode("2.4"), 2);
    EXPECT_EQ(readViewMode("2.5"), 2); // half to even
    for (const char* other : {"1", "", "x", "3", "1.4x", "12"}) EXPECT_EQ(readViewMode(other), 1) << other;
}

TEST(ParseLeadingInteger, FindsTheFirstNumber)
{
    const struct {
        const char* text;
        std::int64_t expected;
    } rows[] = {{"1", 1},     {"2", 2},    {"view2", 2}, {"12,5", 12}, {"", -1},      {"abc", -1},
                {"-5", 5},    {"2.5", 2},  {"3.5", 4},   {"7x9", 7},   {"1.5.3", 2},  {"a 10 b", 10}};
    for (const auto& row : rows) EXPECT_EQ(parseLeadingInteger(row.text), row.expected) << row.text;
}

} // namespace
} // namespace cw
