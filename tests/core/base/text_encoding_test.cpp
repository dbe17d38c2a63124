#include "core/base/text_encoding.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(TextEncoding, Windows1252RoundTripsEveryByte)
{
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    const auto decoded = decodeText(bytes);
    EXPECT_EQ(decoded.encoding, TextEncoding::Windows1252);
    EXPECT_TRUE(isValidUtf8(decoded.utf8));
    TextEncoding encoding = decoded.encoding;
    EXPECT_EQ(encodeText(decoded.utf8, encoding), bytes);
    EXPECT_EQ(encoding, TextEncoding::Windows1252);
    EXPECT_EQ(decodeText("\x80").utf8, "\xE2\x82\xAC");   // euro sign
    EXPECT_EQ(decodeText("\x81").utf8, "\xC2\x81");       // undefined byte kept as U+0081
}

TEST(TextEncoding, ValidUtf8StaysUtf8AndMalformedIsRejected)
{
    const std::string text = "Subtitle(\"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\")";
    const auto decoded = decodeText(text);
    EXPECT_EQ(decoded.encoding, TextEncoding::Utf8);
    EXPECT_EQ(decoded.utf8, text);
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
