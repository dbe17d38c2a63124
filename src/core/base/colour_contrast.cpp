#include "core/base/colour_contrast.h"

#include <cmath>

namespace cw {
namespace {

double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int mixChannel(int from, int to, int step)
{
    return from + static_cast<int>(std::lround((to - from) * step / 255.0));
}

} // namespace

double relativeLuminance(Rgb colour)
{
    return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) + 0.0722 * linear(colour.blue);
}

double contrastRatio(Rgb a, Rgb b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::fmax(la, lb) + 0.05) / (std::fmin(la, lb) + 0.05);
}

Rgb withContrast(Rgb colour, Rgb paper, double minRatio)
{
    const Rgb white{255, 255, 255};
    const Rgb black{0, 0, 0};
    const Rgb end = contrastRatio(white, paper) >= contrastRatio(black, paper) ? white : black;
    // Each step moves every channel a 255th of the way to the end colour;
    // the first step that reads is the least change that does.
    for (int step = 0; step < 255; ++step) {
        const Rgb mixed{mixChannel(colour.red, end.red, step), mixChannel(colour.green, end.green, step),
                        mixChannel(colour.blue, end.blue, step)};
        if (contrastRatio(mixed, paper) >= minRatio) return mixed;
    }
    return end;
}

} // namespace cw
