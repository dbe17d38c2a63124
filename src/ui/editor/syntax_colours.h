#pragma once

namespace cw {

class CodeSense;

// The script language's colours, comments in plain style, and the tips'
// colours. On a light desktop they are fixed; on a dark one the paper and
// text follow the editor's palette and the other colours take their dark
// variants. Applying again after a palette change switches between them.
void applySyntaxColours(CodeSense& editor);

} // namespace cw
