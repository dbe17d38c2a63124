#include "core/base/parse_leading_integer.h"

#include "core/base/rounding.h"

#include <cstdlib>
#include <limits>
#include <string>

namespace cw {

std::int64_t parseLeadingInteger(std::string_view text)
{
    // A candidate qualifies only once it holds a digit, and a one-character
    // candidate must be that digit: growing stops at the first character that
    // would make it no longer a number.
    std::size_t start = 0;
    while (start < text.size() && (text[start] < '0' || text[start] > '9')) ++start;
    if (start == text.size()) return -1;

    std::size_t end = start;
    bool point = false;
    while (end < text.size()) {
        const char c = text[end];
        if (c >= '0' && c <= '9') {
            ++end;
        } else if (c == '.' && !point) {
            point = true;
            ++end;
        } else {
            break;
        }
    }
    const std::string number(text.substr(start, end - start));
    const double value = std::strtod(number.c_str(), nullptr);
    if (value >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(roundHalfEven(value));
}

} // namespace cw
