#pragma once

#include "core/frameserver/protocol.h"

#include <string>
#include <string_view>
#include <vector>

namespace cw {

struct PropertyLine {
    std::string name;
    std::string value;
    bool operator==(const PropertyLine&) const = default;
};

// The clip's facts as the Properties pane lists them: colour format, bit
// depth, size, rate as a fraction and in decimals, frames, duration, and
// the sound when there is any.
std::vector<PropertyLine> clipFactLines(const ClipFacts& facts, std::string_view decimalSeparator);

// A frame's properties: the ones people look for first (_Matrix,
// _ColorRange, _FieldBased, _SARNum, _SARDen, _PictType, ...) in that
// order with what their numbers mean, then every other in its own order.
std::vector<PropertyLine> framePropertyLines(const std::vector<FrameProperty>& properties);

} // namespace cw
