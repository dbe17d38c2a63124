#pragma once

#include <string>
#include <string_view>

namespace cw {

// "640x480 @ 25.000 fps" uses this for the rate: three decimals, the
// integer part grouped in threes with groupSeparator (none when empty).
std::string frameRateText(double framesPerSecond, std::string_view decimalSeparator,
                          std::string_view groupSeparator = {});

// width / height rounded to three decimals (halves to even), as the shortest
// text with the given decimal separator, then every "," made ":" - so a
// decimal-comma user reads 4:3 as "1:333". "0" when height is not positive.
std::string ratioText(int width, int height, std::string_view decimalSeparator);

} // namespace cw
