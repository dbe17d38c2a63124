#pragma once

#include "core/frameserver/protocol.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cw {

// "640x480 @ 25.000 fps" uses this for the rate: three decimals, the
// integer part grouped in threes with groupSeparator (none when empty).
std::string frameRateText(double framesPerSecond, std::string_view decimalSeparator,
                          std::string_view groupSeparator = {});

// width / height rounded to three decimals (halves to even), as the shortest
// text with the given decimal separator, then every "," made ":" - so a
// decimal-comma user reads 4:3 as "1:333". "0" when height is not positive.
std::string ratioText(int width, int height, std::string_view decimalSeparator);

// "playing 29.4 fps, 3 dropped": the rate with one decimal.
std::string playbackText(double framesPerSecond, std::int64_t dropped, std::string_view decimalSeparator);

// "12, 34: Y 235 U 128 V 128"; the point alone when its values are unknown.
std::string pixelText(int x, int y, const std::vector<PixelComponent>& components);

// Where a shown frame is proposed to be saved: "<script name>-<frame>.png"
// beside the script, its extension dropped; "Untitled-<frame>.png" for a
// script that has no file yet.
std::string frameImagePath(const std::string& scriptPath, std::int32_t frame);

} // namespace cw
