#pragma once

#include <string>

namespace cw {

inline constexpr int minTilePercent = 5;
inline constexpr int maxTilePercent = 98;

// A tile percentage as stored: an optional sign, digits and at most one
// decimal point, rounded half to even. Anything else, a value outside
// 5..98, or one beyond 16 bits gives fallback.
int readTilePercent(const std::string& value, int fallback);

// 2 (by category) only when the value reads as the number 2; else 1.
int readViewMode(const std::string& value);

} // namespace cw
