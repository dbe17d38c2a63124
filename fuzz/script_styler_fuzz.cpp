// The script styler as the editor drives it: the whole text styled once,
// then restarted at line starts with only the style of the byte before,
// which must give the same styles as the run through.
//   ./script_styler_fuzz corpus/script_styler
#include "core/editor/script_styler.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::vector<std::string> names = {"Blur", "AviSource", "Trim", "last", "Version", "\xC3\xA9t\xC3\xA9"};
    static const cw::KeywordSet keywords(names);
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::vector<cw::ScriptStyle> whole;
    cw::styleScript(text, 0, text.size(), cw::ScriptState::Normal, keywords, whole);
    if (whole.size() != text.size()) std::abort();
    for (const cw::ScriptStyle style : whole)
        if (static_cast<int>(style) > static_cast<int>(cw::ScriptStyle::Identifier)) std::abort();

    // Restarted at (at most) every eighth line start, styled to the end of
    // the line after it, as the editor restyles after an edit.
    std::vector<cw::ScriptStyle> part;
    std::size_t lines = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const bool lineStart = text[i - 1] == '\n' || (text[i - 1] == '\r' && text[i] != '\n');
        if (!lineStart || lines++ % 8 != 0) continue;
        const std::size_t next = text.find_first_of("\r\n", i);
        const std::size_t end = next == std::string_view::npos ? text.size() : next + 1;
        cw::styleScript(text, i, end, cw::stateAfterLineEndStyled(whole[i - 1]), keywords, part);
        if (!std::equal(part.begin(), part.end(), whole.begin() + static_cast<std::ptrdiff_t>(i),
                        whole.begin() + static_cast<std::ptrdiff_t>(end)))
            std::abort();
    }
    return 0;
}
