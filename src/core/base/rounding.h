#pragma once

#include <cmath>

namespace cw {

// Halves go to the even neighbour (2.5 gives 2, 3.5 gives 4), as every
// layout and percentage of the program rounds.
inline double roundHalfEven(double value)
{
    const double r = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5) return 2.0 * std::round(value / 2.0);
    return r;
}

} // namespace cw
