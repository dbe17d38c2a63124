#pragma once

#include <cstdint>
#include <string>

namespace cw {

// A clip's exact rate, frames per second as a fraction; 0/0 when unknown.
struct FrameRate {
    std::uint32_t numerator = 0;
    std::uint32_t denominator = 0;

    bool known() const { return numerator > 0 && denominator > 0; }
    double value() const { return known() ? double(numerator) / denominator : 0.0; }
    // When frame begins, in whole milliseconds rounded half to even and
    // computed in whole numbers, so frame times never drift on long clips;
    // 0 for frames below 1 and an unknown rate.
    std::int64_t millisecondsAt(std::int64_t frame) const;
    bool operator==(const FrameRate&) const = default;
};

// "numerator/denominator" as a reply gives it; 0/0 for anything else.
FrameRate parseFrameRate(const std::string& text);

// Clock text "hh:mm:ss.mmm" of a frame; all zero when the rate is unknown
// or the frame is below 1. Hours are not limited to two digits.
std::string formatFrameTime(std::int64_t frame, FrameRate rate);

} // namespace cw
