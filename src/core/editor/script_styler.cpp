#include "core/editor/script_styler.h"

#include <algorithm>

namespace cw {
namespace {

constexpr std::string_view tripleQuote = R"(""")";

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

struct OperatorTable {
    std::array<bool, 256> first{};
    std::size_t longest = 0;

    constexpr OperatorTable()
    {
        for (std::string_view op : scriptOperators) {
            first[static_cast<unsigned char>(op[0])] = true;
            longest = std::max(longest, op.size());
        }
    }
};

constexpr OperatorTable operatorTable;

// Length of the longest operator at text[i], 0 when none starts there.
std::size_t operatorLength(std::string_view text, std::size_t i)
{
    if (!operatorTable.first[static_cast<unsigned char>(text[i])])
        return 0;
    for (std::size_t len = std::min(operatorTable.longest, text.size() - i); len > 0; --len) {
        const std::string_view candidate = text.substr(i, len);
        if (std::find(scriptOperators.begin(), scriptOperators.end(), candidate) != scriptOperators.end())
            return len;
    }
    return 0;
}

std::size_t lineEndFrom(std::string_view text, std::size_t i)
{
    while (i < text.size() && !isLineEnd(text[i]))
        ++i;
    return i;
}

// End of a "..." or '...' string opened at text[open]: just after its closing
// quote, or at its line's end when it is left open. A "\" escapes the next
// byte unless that byte ends the line.
std::size_t quotedStringEnd(std::string_view text, std::size_t open)
{
    const char quote = text[open];
    std::size_t i = open + 1;
    while (i < text.size()) {
        const char c = text[i];
        if (isLineEnd(c))
            return i;
        if (c == quote)
            return i + 1;
        if (c == '\\' && i + 1 < text.size() && !isLineEnd(text[i + 1]))
            i += 2;
        else
            ++i;
    }
    return text.size();
}

std::size_t wordEnd(std::string_view text, std::size_t i)
{
    while (i < text.size() && isScriptWordByte(text[i]))
        ++i;
    return i;
}

std::size_t numberEnd(std::string_view text, std::size_t i)
{
    while (i < text.size() && (isScriptWordByte(text[i]) || text[i] == '.'))
        ++i;
    return i;
}

} // namespace

ScriptState styleScript(std::string_view text, std::size_t start, std::size_t end, ScriptState state,
                        const KeywordSet& keywords, std::vector<ScriptStyle>& styles)
{
    end = std::min(end, text.size());
    start = std::min(start, end);
    styles.assign(end - start, ScriptStyle::Default);
    const auto mark = [&](std::size_t from, std::size_t to, ScriptStyle style) {
        std::fill(styles.begin() + static_cast<std::ptrdiff_t>(from - start),
                  styles.begin() + static_cast<std::ptrdiff_t>(std::min(to, end) - start), style);
    };

    std::size_t i = start;
    while (i < end) {
        if (state == ScriptState::InTripleString) {
            // Searched no further than a closing quote that begins before
            // `end`, so an unclosed string costs only the requested range.
            const std::size_t close = text.substr(0, std::min(text.size(), end + 2)).find(tripleQuote, i);
            const std::size_t stop = close == std::string_view::npos ? end : close + tripleQuote.size();
            mark(i, stop, ScriptStyle::String);
            if (close != std::string_view::npos)
                state = ScriptState::Normal;
            i = stop;
            continue;
        }

        const char c = text[i];
        std::size_t next = i + 1;
        ScriptStyle style = ScriptStyle::Default;
        if (c == '#') {
            next = lineEndFrom(text, i);
            style = ScriptStyle::Comment;
        } else if (text.substr(i, tripleQuote.size()) == tripleQuote) {
            state = ScriptState::InTripleString;
            mark(i, i + tripleQuote.size(), ScriptStyle::String);
            i += tripleQuote.size();
            continue;
        } else if (c == '"' || c == '\'') {
            next = quotedStringEnd(text, i);
            style = ScriptStyle::String;
        } else if (isDigit(c) || (c == '$' && i + 1 < text.size() && isHexDigit(text[i + 1]))) {
            next = numberEnd(text, i + 1);
            style = ScriptStyle::Number;
        } else if (isScriptWordByte(c)) {
            next = wordEnd(text, i);
            style = keywords.contains(text.substr(i, next - i)) ? ScriptStyle::Keyword : ScriptStyle::Identifier;
        } else if (const std::size_t len = operatorLength(text, i); len > 0) {
            next = i + len;
            style = ScriptStyle::Operator;
        }
        if (style != ScriptStyle::Default)
            mark(i, next, style);
        i = next;
    }
    return state;
}

} // namespace cw
