#include "core/editor/colour_scheme.h"

namespace cw {
namespace {

// Well above what text needs: colours lifted only that far look dull beside
// a dark palette's near-white text.
constexpr double darkThemeContrast = 6.0;

} // namespace

Rgb darkVariant(Rgb lightColour, Rgb paper)
{
    return withContrast(lightColour, paper, darkThemeContrast);
}

EditorColours darkEditorColours(Rgb paper, Rgb text)
{
    const EditorColours& light = lightEditorColours;
    return {
        .paper = paper,
        .text = text,
        .numbers = text,
        .keywords = darkVariant(light.keywords, paper),
        .strings = darkVariant(light.strings, paper),
        .comments = darkVariant(light.comments, paper),
        .margin = paper,
        .lineNumbers = darkVariant(light.lineNumbers, paper),
    };
}

TipColours darkTipColours(Rgb paper, Rgb text)
{
    return {.paper = paper, .text = text, .highlight = darkVariant(lightTipColours.highlight, paper)};
}

} // namespace cw
