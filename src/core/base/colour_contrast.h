#pragma once

namespace cw {

// An sRGB colour, each channel 0 to 255.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// The least contrast at which text stays readable (WCAG AA for body text).
inline constexpr double minimumTextContrast = 4.5;

// The colour's relative luminance, 0 for black to 1 for white, as WCAG 2
// defines it.
double relativeLuminance(Rgb colour);

// The WCAG contrast ratio of two colours: 1 for equal luminance up to 21 for
// black against white; the order of the arguments does not matter.
double contrastRatio(Rgb a, Rgb b);

// The colour itself when it reaches minRatio against paper; else the least
// mix of it with white (on a dark paper) or black (on a light one) that
// does. Mixing with white or black keeps the hue. When not even white or
// black reaches minRatio, that end colour is returned.
Rgb withContrast(Rgb colour, Rgb paper, double minRatio);

} // namespace cw
