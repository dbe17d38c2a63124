#include "core/preview/frame_navigation.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace cw {
namespace {

constexpr int maxFieldDigits = 9;

bool allDigits(std::string_view s)
{
    return !s.empty() && s.size() <= maxFieldDigits &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::int64_t number(std::string_view digits)
{
    std::int64_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// "ss" or "ss.fff" as milliseconds, digits past the third dropped; -1 when
// it is not that.
std::int64_t secondsField(std::string_view s)
{
    const std::size_t dot = s.find('.');
    const std::string_view whole = s.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
    if (dot != std::string_view::npos && fraction.empty()) return -1;
    if (!whole.empty() && !allDigits(whole)) return -1;
    if (whole.empty() && fraction.empty()) return -1;
    if (!fraction.empty() && !std::all_of(fraction.begin(), fraction.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    std::int64_t ms = whole.empty() ? 0 : number(whole) * 1000;
    fraction = fraction.substr(0, 3);
    std::int64_t scale = 100;
    for (char c : fraction) {
        ms += (c - '0') * scale;
        scale /= 10;
    }
    return ms;
}

std::vector<std::string_view> split(std::string_view s, char by)
{
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t next = s.find(by, at);
        parts.push_back(s.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
        if (next == std::string_view::npos) return parts;
        at = next + 1;
    }
}

// The last frame that has begun at ms, or limit when that lies beyond it.
std::int64_t frameAtMilliseconds(std::int64_t ms, FrameRate rate, std::int64_t limit)
{
    const long double estimate = static_cast<long double>(ms) * rate.numerator / (1000.0L * rate.denominator);
    if (estimate >= limit) return limit;
    auto n = static_cast<std::int64_t>(estimate);
    while (n > 0 && rate.millisecondsAt(n) > ms) --n;
    while (rate.millisecondsAt(n + 1) <= ms) ++n;
    return n;
}

} // namespace

FrameEntry parseFrameEntry(std::string_view text, FrameRate rate, std::int32_t length)
{
    const std::string_view s = trimmed(text);
    const std::string unreadable = "\"" + std::string(s) +
                                   "\" is neither a frame number nor a time (such as 1234, 1:02:03.500, 2:03 "
                                   "or 12.5).";
    if (length < 1) return {std::nullopt, "The clip has no frames."};
    std::int64_t frame = 0;
    if (std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }) && !s.empty()) {
        // A number too long for any clip is past its end.
        frame = s.size() > 18 ? length : number(s);
    } else {
        const std::vector<std::string_view> parts = split(s, ':');
        if (parts.size() > 3 || (parts.size() == 1 && s.find('.') == std::string_view::npos))
            return {std::nullopt, unreadable};
        const std::int64_t seconds = secondsField(parts.back());
        if (seconds < 0) return {std::nullopt, unreadable};
        std::int64_t ms = seconds;
        if (parts.size() > 1) {
            for (std::size_t i = 0; i + 1 < parts.size(); ++i)
                if (!allDigits(parts[i])) return {std::nullopt, unreadable};
            const std::int64_t minutes = number(parts[parts.size() - 2]);
            const std::int64_t hours = parts.size() == 3 ? number(parts[0]) : 0;
            if (seconds >= 60000 || (parts.size() == 3 && minutes >= 60))
                return {std::nullopt, "\"" + std::string(s) + "\": minutes and seconds go up to 59."};
            ms += (hours * 60 + minutes) * 60000;
        }
        if (!rate.known()) return {std::nullopt, "The clip has no frame rate to count time by."};
        frame = frameAtMilliseconds(ms, rate, length);
    }
    return {static_cast<std::int32_t>(std::clamp<std::int64_t>(frame, 0, length - 1)), {}};
}

FrameStep frameStepFor(StepKey key, bool shift, bool ctrl, FrameRate rate)
{
    const double perSecond = rate.value();
    const std::int64_t second = std::max<std::int64_t>(1, std::llround(perSecond));
    const std::int64_t minute = std::max<std::int64_t>(1, std::llround(perSecond * 60));
    const std::int64_t arrow = ctrl ? minute : shift ? second : 1;
    switch (key) {
    case StepKey::left: return {FrameStep::by, -arrow};
    case StepKey::right: return {FrameStep::by, arrow};
    case StepKey::pageUp: return {FrameStep::by, -10};
    case StepKey::pageDown: return {FrameStep::by, 10};
    case StepKey::home: return {FrameStep::toFirst, 0};
    case StepKey::end: return {FrameStep::toLast, 0};
    }
    return {};
}

} // namespace cw
