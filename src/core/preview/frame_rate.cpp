#include "core/preview/frame_rate.h"

#include <charconv>
#include <algorithm>
#include <cstdio>
#include <limits>

namespace cw {
namespace {
// frame x 1000 x denominator outgrows 64 bits long before the quotient
// does; GCC and Clang both have this type.
__extension__ typedef unsigned __int128 Wide;
} // namespace

std::int64_t FrameRate::millisecondsAt(std::int64_t frame) const
{
    if (!known() || frame < 1) return 0;
    const Wide scaled = static_cast<Wide>(frame) * 1000u * denominator;
    const Wide whole = scaled / numerator;
    const Wide rest = scaled % numerator;
    const bool up = 2 * rest > numerator || (2 * rest == numerator && (whole & 1));
    const Wide rounded = whole + (up ? 1 : 0);
    constexpr auto largest = static_cast<Wide>(std::numeric_limits<std::int64_t>::max());
    return static_cast<std::int64_t>(std::min(rounded, largest));
}

FrameRate parseFrameRate(const std::string& text)
{
    FrameRate rate;
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos) return {};
    const char* end = text.data() + text.size();
    const auto a = std::from_chars(text.data(), text.data() + slash, rate.numerator);
    const auto b = std::from_chars(text.data() + slash + 1, end, rate.denominator);
    if (a.ec != std::errc() || a.ptr != text.data() + slash || b.ec != std::errc() || b.ptr != end) return {};
    return rate;
}

std::string formatFrameTime(std::int64_t frame, FrameRate rate)
{
    const long long total = rate.millisecondsAt(frame);
    const long long s = total / 1000;
    const long long ms = total % 1000;
    const long long h = s / 3600;
    const long long m = (s - 3600 * h) / 60;
    const long long sec = s - 3600 * h - 60 * m;
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", h, m, sec, ms);
    return text;
}

} // namespace cw
