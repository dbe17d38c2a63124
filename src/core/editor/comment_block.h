#pragma once

#include <string>
#include <string_view>

namespace cw {

// Comment Block: the selected text with "#" in front of it and after every
// line end in it (CR LF, LF or a lone CR, each kept as it is). A selection
// that ends with a line end therefore also marks the line after it, and an
// empty selection becomes a single "#".
std::string commentBlock(std::string_view selected);

// Uncomment Block: removes one "#" where Comment Block puts one, at the
// start of the selected text and at the start of each further line in it,
// each after any leading blanks. Every other "#" stays, so strings such as
// "Take #2" survive, and a line marked twice loses one marker per run.
std::string uncommentBlock(std::string_view selected);

} // namespace cw
