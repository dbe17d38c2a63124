#include "ui/base/palette_colours.h"

namespace cw {

bool isDarkPalette(const QPalette& palette)
{
    return relativeLuminance(toRgb(palette.color(QPalette::Window))) <
           relativeLuminance(toRgb(palette.color(QPalette::WindowText)));
}

} // namespace cw
