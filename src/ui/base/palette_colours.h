#pragma once

#include "core/base/colour_contrast.h"

#include <QColor>
#include <QPalette>

namespace cw {

// A dark desktop: its windows are darker than the text on them.
bool isDarkPalette(const QPalette& palette);

inline Rgb toRgb(const QColor& colour)
{
    return {colour.red(), colour.green(), colour.blue()};
}

inline QColor toQColor(Rgb colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}

} // namespace cw
