#pragma once

#include <string>

namespace cw {

enum class TextEncoding { Utf8, Windows1252 };

// A script as the editor holds it: UTF-8 text, plus what is needed to write
// it back as it came.
struct DecodedText {
    std::string utf8;
    TextEncoding encoding = TextEncoding::Utf8;
    std::string lineEnd = "\r\n";
};

bool isValidUtf8(const std::string& bytes);

// Valid UTF-8 stays UTF-8; anything else is read as Windows-1252, its five
// undefined bytes becoming the control characters of the same number, so
// every byte (NUL included) comes back on encoding. The line end is the
// first one found: "\n" alone or "\r\n" (the default for a file without).
DecodedText decodeText(const std::string& bytes);

// Encodes for writing. Windows-1252 is kept when every character fits,
// otherwise the text is written as UTF-8 (never with "?" for a character
// that does not fit); `encoding` tells which was used.
std::string encodeText(const std::string& utf8, TextEncoding& encoding);

} // namespace cw
