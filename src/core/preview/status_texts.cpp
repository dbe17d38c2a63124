#include "core/preview/status_texts.h"

#include "core/base/rounding.h"

#include <cmath>
#include <cstdio>

namespace cw {
namespace {

std::string grouped(std::string digits, std::string_view separator)
{
    if (separator.empty()) return digits;
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(i, separator);
    return digits;
}

} // namespace

std::string frameRateText(double framesPerSecond, std::string_view decimalSeparator,
                          std::string_view groupSeparator)
{
    const long long thousandths = std::llround(framesPerSecond * 1000.0);
    const long long magnitude = std::llabs(thousandths);
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, "%03lld", magnitude % 1000);
    std::string text = thousandths < 0 ? "-" : "";
    text += grouped(std::to_string(magnitude / 1000), groupSeparator);
    text += decimalSeparator;
    text += fraction;
    return text;
}

std::string ratioText(int width, int height, std::string_view decimalSeparator)
{
    if (height <= 0) return "0";
    const long long thousandths =
        static_cast<long long>(roundHalfEven(static_cast<double>(width) * 1000.0 / height));
    std::string text = std::to_string(thousandths / 1000);
    long long fraction = thousandths % 1000;
    if (fraction != 0) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%03lld", fraction);
        std::string tail = digits;
        while (tail.back() == '0') tail.pop_back();
        text += decimalSeparator;
        text += tail;
    }
    for (char& c : text)
        if (c == ',') c = ':';
    return text;
}

std::string playbackText(double framesPerSecond, std::int64_t dropped, std::string_view decimalSeparator)
{
    const long long tenths = std::llround(framesPerSecond * 10.0);
    return "playing " + std::to_string(tenths / 10) + std::string(decimalSeparator) + std::to_string(tenths % 10) +
           " fps, " + std::to_string(dropped) + " dropped";
}

std::string pixelText(int x, int y, const std::vector<PixelComponent>& components)
{
    std::string text = std::to_string(x) + ", " + std::to_string(y);
    if (components.empty()) return text;
    text += ':';
    for (const PixelComponent& c : components) text += " " + c.name + " " + c.value;
    return text;
}

std::string frameImagePath(const std::string& scriptPath, std::int32_t frame)
{
    const std::string suffix = "-" + std::to_string(frame) + ".png";
    if (scriptPath.empty()) return "Untitled" + suffix;
    const std::size_t slash = scriptPath.rfind('/');
    const std::size_t dot = scriptPath.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? scriptPath.substr(0, dot) : scriptPath) + suffix;
}

} // namespace cw
