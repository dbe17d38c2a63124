#include "core/config/setting_values.h"

#include "core/base/rounding.h"
#include "core/base/parse_leading_integer.h"

#include <cstdlib>

namespace cw {
namespace {

bool isPlainNumber(const std::string& s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    bool digit = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9') {
            digit = true;
        } else if (s[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

} // namespace

int readTilePercent(const std::string& value, int fallback)
{
    if (!isPlainNumber(value)) return fallback;
    const double rounded = roundHalfEven(std::strtod(value.c_str(), nullptr));
    if (rounded < -32768.0 || rounded > 32767.0) return fallback;
    const int percent = static_cast<int>(rounded);
    return percent < minTilePercent || percent > maxTilePercent ? fallback : percent;
}

int readViewMode(const std::string& value)
{
    return parseLeadingInteger(value) == 2 ? 2 : 1;
}

} // namespace cw
