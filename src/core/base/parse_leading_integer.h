#pragma once

#include <cstdint>
#include <string_view>

namespace cw {

// The first number in the text, rounded half to even: leading characters
// that cannot begin a number are skipped ("view2" gives 2, "12,5" gives 12).
// A number is digits with at most one decimal point; a sign is never reached
// because a lone sign is not a number. -1 when the text holds no digit.
std::int64_t parseLeadingInteger(std::string_view text);

} // namespace cw
