#include "core/base/text_encoding.h"

#include <array>
#include <cstdint>

namespace cw {
namespace {

// Windows-1252 bytes 0x80..0x9F. The five undefined bytes map to the C1
// control character of the same number so that they survive a round trip.
constexpr std::array<char32_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one code point of valid UTF-8 at i and advances i.
char32_t nextCodePoint(const std::string& s, std::size_t& i)
{
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) {
        ++i;
        return c;
    }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    char32_t cp = c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (b(i + k) & 0x3F);
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
}

int cp1252Byte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (std::size_t k = 0; k < cp1252High.size(); ++k)
        if (cp1252High[k] == cp) return static_cast<int>(0x80 + k);
    return -1;
}

} // namespace

bool isValidUtf8(const std::string& bytes)
{
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        char32_t min;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1, min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2, min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3, min = 0x10000;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= n) return false;
        char32_t cp = c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

DecodedText decodeText(const std::string& bytes)
{
    DecodedText out;
    const auto lf = bytes.find('\n');
    if (lf != std::string::npos) out.lineEnd = lf > 0 && bytes[lf - 1] == '\r' ? "\r\n" : "\n";

    if (isValidUtf8(bytes)) {
        out.utf8 = bytes;
        out.encoding = TextEncoding::Utf8;
        return out;
    }
    out.encoding = TextEncoding::Windows1252;
    out.utf8.reserve(bytes.size() + bytes.size() / 8);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        appendUtf8(out.utf8, c >= 0x80 && c < 0xA0 ? cp1252High[c - 0x80] : char32_t(c));
    }
    return out;
}

std::string encodeText(const std::string& utf8, TextEncoding& encoding)
{
    if (encoding == TextEncoding::Utf8 || !isValidUtf8(utf8)) {
        encoding = TextEncoding::Utf8;
        return utf8;
    }
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const int byte = cp1252Byte(nextCodePoint(utf8, i));
        if (byte < 0) {
            encoding = TextEncoding::Utf8;
            return utf8;
        }
        out += static_cast<char>(byte);
    }
    return out;
}

} // namespace cw
