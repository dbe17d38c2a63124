#include "core/preview/frame_navigation.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

constexpr FrameRate ntsc{30000, 1001};

TEST(FrameEntry, NumbersAndEachTimeFormNameTheFrameShownThenAndGarbageMovesNothing)
{
    const struct {
        const char* text;
        FrameRate rate;
        std::int32_t length;
        std::optional<std::int32_t> frame;
    } rows[] = {
        {"0", ntsc, 100, 0},
        {" 42 ", ntsc, 100, 42},
        {"250", ntsc, 100, 99},                    // held within the clip
        {"99999999999999999999999", ntsc, 100, 99}, // however long
        {"00:00:01.000", {25, 1}, 100, 25},
        {"0:00:00.032", ntsc, 100, 0},
        {"0:00:00.033", ntsc, 100, 1},  // as the status bar writes frame 1 (33.367 ms)
        {"1:02", {25, 1}, 10000, 1550},  // mm:ss
        {"90:00", {25, 1}, 1000000, 135000}, // minutes beyond an hour
        {"1:00:00.000", {25, 1}, 100000, 90000},
        {"2.5", {24, 1}, 100, 60},      // ss.s
        {".5", {24, 1}, 100, 12},
        {"1.23456", {1000, 1}, 2000, 1234}, // past milliseconds is cut
        {"9999:59:59.999", {25, 1}, 100, 99},
        {"", ntsc, 100, std::nullopt},
        {"abc", ntsc, 100, std::nullopt},
        {"-5", ntsc, 100, std::nullopt},
        {"1:2:3:4", ntsc, 100, std::nullopt},
        {"1:60", ntsc, 100, std::nullopt}, // seconds up to 59
        {"1:60:00", ntsc, 100, std::nullopt},
        {"1::00", ntsc, 100, std::nullopt},
        {"1:00.", ntsc, 100, std::nullopt},
        {"1.2.3", ntsc, 100, std::nullopt},
        {"2.5", {0, 0}, 100, std::nullopt}, // no rate to count time by
        {"5", ntsc, 0, std::nullopt},       // nothing to go to
    };
    for (const auto& row : rows) {
        const FrameEntry entry = parseFrameEntry(row.text, row.rate, row.length);
        EXPECT_EQ(entry.frame, row.frame) << '"' << row.text << '"';
        EXPECT_EQ(entry.error.empty(), row.frame.has_value()) << '"' << row.text << "\": " << entry.error;
    }
}

TEST(FrameStep, ArrowsStepFramesSecondsOrMinutesAndThePageKeysTen)
{
    const struct {
        StepKey key;
        bool shift, ctrl;
        FrameRate rate;
        FrameStep step;
    } rows[] = {
        {StepKey::left, false, false, ntsc, {FrameStep::by, -1}},
        {StepKey::right, false, false, ntsc, {FrameStep::by, 1}},
        {StepKey::right, true, false, ntsc, {FrameStep::by, 30}},
        {StepKey::left, true, false, {25, 1}, {FrameStep::by, -25}},
        {StepKey::right, false, true, ntsc, {FrameStep::by, 1798}},
        {StepKey::left, true, true, {25, 1}, {FrameStep::by, -1500}}, // Ctrl wins
        {StepKey::right, true, false, {1, 10}, {FrameStep::by, 1}},   // at least a frame
        {StepKey::right, true, false, {0, 0}, {FrameStep::by, 1}},
        {StepKey::pageUp, false, false, ntsc, {FrameStep::by, -10}},
        {StepKey::pageDown, true, false, ntsc, {FrameStep::by, 10}},
        {StepKey::home, false, false, ntsc, {FrameStep::toFirst, 0}},
        {StepKey::end, false, true, ntsc, {FrameStep::toLast, 0}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(frameStepFor(row.key, row.shift, row.ctrl, row.rate), row.step)
            << static_cast<int>(row.key) << row.shift << row.ctrl;
}

} // namespace
} // namespace cw
