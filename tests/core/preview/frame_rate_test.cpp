#include "core/preview/frame_rate.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

// Frame times come from the exact rate in whole numbers: an hour of NTSC
// video is still exact to the millisecond.
TEST(FrameRate, ClockTextsAtExactRates)
{
    const struct {
        FrameRate rate;
        const char* at[4]; // frames 0, 1, 100, 107892
    } rows[] = {
        {{30000, 1001}, {"00:00:00.000", "00:00:00.033", "00:00:03.337", "00:59:59.996"}},
        {{24000, 1001}, {"00:00:00.000", "00:00:00.042", "00:00:04.171", "01:14:59.996"}}, // 4,499,995.5 ms: to even
        {{25, 1}, {"00:00:00.000", "00:00:00.040", "00:00:04.000", "01:11:55.680"}},
        {{60000, 1001}, {"00:00:00.000", "00:00:00.017", "00:00:01.668", "00:29:59.998"}},
        {{0, 0}, {"00:00:00.000", "00:00:00.000", "00:00:00.000", "00:00:00.000"}},
    };
    const int frames[] = {0, 1, 100, 107892};
    for (const auto& row : rows)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(formatFrameTime(frames[i], row.rate), row.at[i]) << row.rate.numerator << " at " << frames[i];

    EXPECT_EQ(formatFrameTime(-3, {25, 1}), "00:00:00.000");
    EXPECT_EQ(formatFrameTime(3600 * 100 * 25 + 1, {25, 1}), "100:00:00.040");
    // 999.5 ms rounds to a whole second; 59.9996 s carries through the minutes.
    EXPECT_EQ(formatFrameTime(1, {2001, 2000}), "00:00:01.000");
    EXPECT_EQ(formatFrameTime(59999600, {1000000, 1}), "00:01:00.000");
    EXPECT_EQ(formatFrameTime(2147483647, {1, 1}), "596523:14:07.000");
    EXPECT_FALSE(formatFrameTime(2147483647, {1, 4294967295u}).empty()); // beyond 64 bits: held, not wrapped
}

TEST(FrameRate, ParsesOnlyAWholeFraction)
{
    EXPECT_EQ(parseFrameRate("30000/1001"), (FrameRate{30000, 1001}));
    for (const char* bad : {"", "25", "25/", "/1", "25/1 ", "-25/1", "25.0/1", "a/b", "99999999999/1"})
        EXPECT_EQ(parseFrameRate(bad), FrameRate{}) << bad;
    EXPECT_DOUBLE_EQ((FrameRate{30000, 1001}.value()), 30000.0 / 1001);
    EXPECT_FALSE((FrameRate{25, 0}.known()));
}

} // namespace
} // namespace cw
