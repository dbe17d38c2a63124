#pragma once

namespace cw {

class CodeSense;

// The script language's colours: keywords, strings, comments in plain style,
// and the grey of the line numbers.
void applySyntaxColours(CodeSense& editor);

} // namespace cw
