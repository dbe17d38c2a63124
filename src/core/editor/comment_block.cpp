#include "core/editor/comment_block.h"

namespace cw {
namespace {

// True when text[i] ends a line: an LF, or a CR not followed by an LF (a
// CR LF pair ends at its LF).
bool endsLine(std::string_view text, std::size_t i)
{
    return text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
}

} // namespace

std::string commentBlock(std::string_view selected)
{
    std::string out;
    out.reserve(selected.size() + 16);
    out += '#';
    for (std::size_t i = 0; i < selected.size(); ++i) {
        out += selected[i];
        if (endsLine(selected, i))
            out += '#';
    }
    return out;
}

std::string uncommentBlock(std::string_view selected)
{
    std::string out;
    out.reserve(selected.size());
    bool lineStart = true;
    for (std::size_t i = 0; i < selected.size(); ++i) {
        const char c = selected[i];
        if (lineStart && c == '#') {
            lineStart = false;
            continue;
        }
        out += c;
        if (endsLine(selected, i))
            lineStart = true;
        else if (c != ' ' && c != '\t')
            lineStart = false;
    }
    return out;
}

} // namespace cw
