#include "core/editor/completion_list.h"

#include "core/editor/script_styler.h"

#include <algorithm>

namespace cw {

std::size_t typedWordStart(std::string_view text, std::size_t caret)
{
    std::size_t start = std::min(caret, text.size());
    while (start > 0 && isScriptWordByte(text[start - 1]))
        --start;
    return start;
}

std::string buildCompletionList(std::span<const std::string> names, char separator)
{
    std::size_t total = names.size();
    for (const std::string& name : names)
        total += name.size();
    std::string list;
    list.reserve(total);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            list += separator;
        list += names[i];
    }
    return list;
}

} // namespace cw
