#include "ui/editor/syntax_colours.h"

#include "ui/base/palette_colours.h"
#include "ui/editor/code_sense.h"

namespace cw {
namespace {

// The palette's tip colours, unless they are unreadable together (as some
// hand-made dark palettes leave them); then the editor's own.
TipColours darkTips(const QPalette& palette)
{
    Rgb paper = toRgb(palette.color(QPalette::ToolTipBase));
    Rgb text = toRgb(palette.color(QPalette::ToolTipText));
    if (contrastRatio(paper, text) < minimumTextContrast) {
        paper = toRgb(palette.color(QPalette::Base));
        text = toRgb(palette.color(QPalette::Text));
    }
    return darkTipColours(paper, text);
}

} // namespace

void applySyntaxColours(CodeSense& editor)
{
    const QPalette& palette = editor.palette();
    if (isDarkPalette(palette)) {
        editor.setColours(darkEditorColours(toRgb(palette.color(QPalette::Base)),
                                            toRgb(palette.color(QPalette::Text))));
        editor.setTipColours(darkTips(palette));
    } else {
        editor.setColours(lightEditorColours);
        editor.setTipColours(lightTipColours);
    }
    editor.setSyntaxFontStyle(CodeSense::SyntaxItem::Comments, false, false);
}

} // namespace cw
