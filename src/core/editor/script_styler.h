#pragma once

#include "core/editor/keyword_set.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace cw {

// Style numbers of the script language; the editor maps each to its colours.
enum class ScriptStyle : unsigned char {
    Default = 0,    // blanks, line ends, brackets, commas, anything unclassified
    Comment = 1,    // "#" up to the line end (the line end itself is Default)
    String = 2,     // "..." or '...' with "\" escapes, and """...""" over any number of lines
    Keyword = 3,    // a word that the keyword set holds, in any letter case
    Operator = 4,   // one entry of scriptOperators, longest match first
    Number = 5,     // a word that starts with a digit, or "$" followed by a hex digit
    Identifier = 6, // any other word
};

// Where a line starts: normally, or inside a triple-quoted string that an
// earlier line opened. Only triple-quoted strings run past a line end; a
// "..." or '...' string left open stops at its line's end.
enum class ScriptState : unsigned char { Normal, InTripleString };

// The operators of the language, in the order in which they are registered.
inline constexpr std::array<std::string_view, 41> scriptOperators = {
    "!",  "!=", "!==", "%",  "%=", "&",   "&=",  "&&",  "*",   "*=", "+",  "++", "+=", ".",
    "-",  "--", "-=",  "/",  "/=", "<",   "<<=", "<=",  "=",   "==", "===", ">", ">=", ">>",
    ">>=", ">>>", ">>>=", "?:", "~", "|", "{",   "}",   ";",   "|=", "||", "^",  "^=",
};

// Bytes that make up words: ASCII letters, digits, "_" and every byte of a
// multi-byte UTF-8 character.
inline bool isScriptWordByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u >= 0x80;
}

// Styles the bytes [start, end) of `text` (byte offsets; `start` at a line
// start, begun in `state`): `styles` is resized to end - start and receives
// one style per byte, every byte of a multi-byte character alike. Tokens that
// run past `end` are read on to their own end, so pass the whole document.
// Returns the state at `end`, meaningful when `end` is a line start or the
// end of the text. Works in time proportional to end - start.
ScriptState styleScript(std::string_view text, std::size_t start, std::size_t end, ScriptState state,
                        const KeywordSet& keywords, std::vector<ScriptStyle>& styles);

// The state to resume with at a line start, from the style this styler gave
// the byte just before it (the previous line's line end): a line end is
// styled String only inside a triple-quoted string. Lets the editor restart
// at any line without keeping states of its own.
inline ScriptState stateAfterLineEndStyled(ScriptStyle lineEndStyle)
{
    return lineEndStyle == ScriptStyle::String ? ScriptState::InTripleString : ScriptState::Normal;
}

} // namespace cw
