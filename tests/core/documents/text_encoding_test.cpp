#include "core/documents/text_encoding.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

std::string everyByte()
{
    std::string s;
    for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
    return s;
}

TEST(TextEncoding, Windows1252RoundTripsEveryByte)
{
    const std::string bytes = everyByte();
    const auto decoded = decodeText(bytes);
    EXPECT_EQ(decoded.encoding, TextEncoding::Windows1252);
    EXPECT_TRUE(isValidUtf8(decoded.utf8));
    TextEncoding encoding = decoded.encoding;
    EXPECT_EQ(encodeText(decoded.utf8, encoding), bytes);
    EXPECT_EQ(encoding, TextEncoding::Windows1252);
}

TEST(TextEncoding, MapsTheSpecialRangeAndTheUndefinedBytes)
{
    EXPECT_EQ(decodeText("\x80").utf8, "\xE2\x82\xAC");    // euro sign
    EXPECT_EQ(decodeText("\x81").utf8, "\xC2\x81");        // undefined byte kept as U+0081
    EXPECT_EQ(decodeText("caf\xE9").utf8, "caf\xC3\xA9");  // é
}

TEST(TextEncoding, ValidUtf8StaysUtf8)
{
    const std::string text = "Subtitle(\"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\")";
    const auto decoded = decodeText(text);
    EXPECT_EQ(decoded.encoding, TextEncoding::Utf8);
    EXPECT_EQ(decoded.utf8, text);
}

TEST(TextEncoding, ACharacterOutsideWindows1252MakesTheDocumentUtf8)
{
    TextEncoding encoding = TextEncoding::Windows1252;
    const std::string text = "caf\xC3\xA9 \xE6\x97\xA5";  // "café 日"
    EXPECT_EQ(encodeText(text, encoding), text);
    EXPECT_EQ(encoding, TextEncoding::Utf8);
}

TEST(TextEncoding, RejectsMalformedUtf8)
{
    for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80"})
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
    EXPECT_TRUE(isValidUtf8(std::string("a\0b", 3)));
}

TEST(TextEncoding, DetectsTheFirstLineEnd)
{
    EXPECT_EQ(decodeText("a\nb\r\n").lineEnd, "\n");
    EXPECT_EQ(decodeText("a\r\nb\n").lineEnd, "\r\n");
    EXPECT_EQ(decodeText("one line").lineEnd, "\r\n");
}

} // namespace
} // namespace cw
