// The call-tip scanner on any text: every "(" that opens a call, the
// argument at carets after it, and the parameter ranges of the text taken
// as a call text. Ranges must stay inside the text.
//   ./call_tip_fuzz corpus/call_tip
#include "core/editor/call_tip_scanner.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    int calls = 0;
    for (std::size_t paren = text.find('('); paren != std::string_view::npos && calls < 16;
         paren = text.find('(', paren + 1)) {
        const std::optional<cw::CallStart> call = cw::findCallStart(text, paren);
        if (!call) continue;
        ++calls;
        if (call->anchor != paren + 1 || call->name.start >= call->name.end || call->name.end > paren) std::abort();
        const std::size_t step = 1 + (text.size() - call->anchor) / 8;
        for (std::size_t caret = call->anchor; caret <= text.size() + 1; caret += step) {
            const std::optional<int> argument = cw::callArgumentAt(text, call->anchor, caret);
            if (argument && (*argument < 0 || static_cast<std::size_t>(*argument) > caret - call->anchor))
                std::abort();
        }
        if (cw::callArgumentAt(text, call->anchor, call->anchor - 1)) std::abort();
    }
    for (int index = -1; index < 8; ++index) {
        const std::optional<cw::ByteRange> range = cw::callTextParameterRange(text, index);
        if (range && (range->start > range->end || range->end > text.size())) std::abort();
    }
    return 0;
}
