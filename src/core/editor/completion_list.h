#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace cw {

// Byte offset where the word that ends at `caret` begins: the part of a
// name typed so far, which a completion choice replaces. Equals `caret`
// when no word byte stands before it.
std::size_t typedWordStart(std::string_view text, std::size_t caret);

// The names in their own order, joined by `separator`, as the editor's list
// takes them. The caller picks a separator that no name holds; a name that
// holds it would split into two items and shift every later index.
std::string buildCompletionList(std::span<const std::string> names, char separator);

} // namespace cw
