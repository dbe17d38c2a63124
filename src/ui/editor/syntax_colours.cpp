#include "ui/editor/syntax_colours.h"

#include "ui/editor/code_sense.h"

namespace cw {

void applySyntaxColours(CodeSense& editor)
{
    editor.setSyntaxColour(CodeSense::SyntaxItem::Keywords, QColor(127, 0, 85));
    editor.setSyntaxColour(CodeSense::SyntaxItem::LineNumbers, QColor(171, 171, 171));
    editor.setSyntaxColour(CodeSense::SyntaxItem::Strings, QColor(0, 0, 255));
    editor.setSyntaxColour(CodeSense::SyntaxItem::Comments, QColor(63, 127, 95));
    editor.setSyntaxFontStyle(CodeSense::SyntaxItem::Comments, false, false);
}

} // namespace cw
