#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace cw {

// A half-open range of byte offsets, [start, end).
struct ByteRange {
    std::size_t start = 0;
    std::size_t end = 0;
    bool operator==(const ByteRange&) const = default;
};

// The call that a "(" opens: the filter name in front of it and the anchor.
struct CallStart {
    ByteRange name;     // the word before the "(", blanks between them allowed
    std::size_t anchor; // the byte just after the "("
};

// For the "(" at byte offset `paren` of `text`: the call it opens. Nothing
// when that byte is no "(" or no word stands before it (as in "(a + b)").
// In "c.Blur (" the name is "Blur".
std::optional<CallStart> findCallStart(std::string_view text, std::size_t paren);

// The zero-based argument of the call at the caret, counting the commas
// between the anchor (just after the call's own "(") and the caret that
// stand at bracket depth 0 and outside strings and comments. Nothing when
// the call is closed: its own ")" lies before the caret, or the caret stands
// before the anchor. Byte offsets into `text`, usually the whole document.
std::optional<int> callArgumentAt(std::string_view text, std::size_t anchor, std::size_t caret);

// The bytes of parameter `index` (from 0) inside a call text such as
// `Blur(clip, float amount, [bool MMX])`, its brackets and quotes included.
// Parameters are separated by ", " outside quotes and brackets. Nothing when
// the call text has no such parameter, as for "???" or "Version()". A tip
// that shows one blank before the call text adds 1 to both ends.
std::optional<ByteRange> callTextParameterRange(std::string_view callText, int index);

} // namespace cw
