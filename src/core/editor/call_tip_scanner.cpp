#include "core/editor/call_tip_scanner.h"

#include "core/editor/script_styler.h"

#include <vector>

namespace cw {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

constexpr std::string_view tripleQuote = R"(""")";

} // namespace

std::optional<CallStart> findCallStart(std::string_view text, std::size_t paren)
{
    if (paren >= text.size() || text[paren] != '(')
        return std::nullopt;
    std::size_t nameEnd = paren;
    while (nameEnd > 0 && isBlank(text[nameEnd - 1]))
        --nameEnd;
    std::size_t nameStart = nameEnd;
    while (nameStart > 0 && isScriptWordByte(text[nameStart - 1]))
        --nameStart;
    if (nameStart == nameEnd)
        return std::nullopt;
    return CallStart{{nameStart, nameEnd}, paren + 1};
}

// Strings and comments follow the highlighter's rules, so what the user sees
// as a string is skipped here too.
std::optional<int> callArgumentAt(std::string_view text, std::size_t anchor, std::size_t caret)
{
    if (caret < anchor || caret > text.size())
        return std::nullopt;
    int argument = 0;
    int depth = 0;
    std::size_t i = anchor;
    while (i < caret) {
        const char c = text[i];
        if (text.substr(i, tripleQuote.size()) == tripleQuote) {
            // Not searched past the caret: an unclosed string would
            // otherwise cost the rest of the document on every caret move.
            const std::size_t close = text.substr(0, caret).find(tripleQuote, i + tripleQuote.size());
            if (close == std::string_view::npos)
                break;
            i = close + tripleQuote.size();
        } else if (c == '"' || c == '\'') {
            ++i;
            while (i < caret && text[i] != c && !isLineEnd(text[i]))
                i += (text[i] == '\\' && i + 1 < text.size() && !isLineEnd(text[i + 1])) ? 2 : 1;
            if (i < caret && text[i] == c)
                ++i;
        } else if (c == '#') {
            while (i < caret && !isLineEnd(text[i]))
                ++i;
        } else {
            if (c == '(' || c == '[') {
                ++depth;
            } else if (c == ']') {
                depth = depth > 0 ? depth - 1 : 0;
            } else if (c == ')') {
                if (depth == 0)
                    return std::nullopt;
                --depth;
            } else if (c == ',' && depth == 0) {
                ++argument;
            }
            ++i;
        }
    }
    return argument;
}

std::optional<ByteRange> callTextParameterRange(std::string_view callText, int index)
{
    const std::size_t open = callText.find('(');
    if (open == std::string_view::npos || index < 0)
        return std::nullopt;
    std::size_t close = callText.size();
    if (close > open + 1 && callText[close - 1] == ')')
        --close;
    if (close == open + 1)
        return std::nullopt;

    std::vector<ByteRange> parameters;
    std::size_t paramStart = open + 1;
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = open + 1; i < close; ++i) {
        const char c = callText[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '[' || c == '(')
            ++depth;
        else if ((c == ']' || c == ')') && depth > 0)
            --depth;
        else if (c == ',' && depth == 0 && i + 1 < close && callText[i + 1] == ' ') {
            parameters.push_back({paramStart, i});
            paramStart = i + 2;
            ++i;
        }
    }
    parameters.push_back({paramStart, close});
    if (static_cast<std::size_t>(index) >= parameters.size())
        return std::nullopt;
    return parameters[static_cast<std::size_t>(index)];
}

} // namespace cw
