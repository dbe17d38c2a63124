#pragma once

#include "core/preview/frame_rate.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cw {

// What the go-to field names: a frame, or why nothing moves.
struct FrameEntry {
    std::optional<std::int32_t> frame;
    std::string error;
};

// The text of the go-to field: a frame number ("1234"), or a time as
// "hh:mm:ss.mmm", "mm:ss" or "ss.s" naming the frame on screen at that
// moment, so the time a frame shows in the status bar gives that frame.
// The frame is held within the clip; minutes and seconds inside a clock
// time go up to 59. An error for anything else, for a time when the rate
// is unknown and for a clip without frames.
FrameEntry parseFrameEntry(std::string_view text, FrameRate rate, std::int32_t length);

// The keys the preview steps with.
enum class StepKey { left, right, pageUp, pageDown, home, end };

// How far a key moves: by frames (signed), or to the first or last frame.
struct FrameStep {
    enum Kind { by, toFirst, toLast };
    Kind kind = by;
    std::int64_t frames = 0;
    bool operator==(const FrameStep&) const = default;
};

// Left and Right step one frame, with Shift one second and with Ctrl one
// minute (Ctrl wins when both are held); Page Up and Down ten frames; Home
// and End go to the ends. A second is the rate rounded to whole frames, at
// least one.
FrameStep frameStepFor(StepKey key, bool shift, bool ctrl, FrameRate rate);

} // namespace cw
