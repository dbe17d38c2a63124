#include "core/editor/call_tip_scanner.h"

#include <gtest/gtest.h>
#include <string>

namespace cw {
namespace {

TEST(CallArgumentScanner, CountsOnlyTheCallsOwnArguments)
{
    constexpr int closed = -1;
    // "@" marks the anchor and "|" the caret; both are removed before scanning.
    const std::pair<std::string, int> rows[] = {
        {"Blur(@|", 0},
        {"Blur(@clip, 1|", 1},
        {"Blur(@clip, 1, |", 2},
        {"x, y = Blur(@|", 0},
        {"Overlay(@a, Blur(b, 1, 2|", 1},
        {"Overlay(@a, Blur(b, 1), c|", 2},
        {"F(@[1, 2], |", 1},
        {"Subtitle(@c, \"a, (b\", |", 2},
        {"Subtitle(@c, 'x)', y|", 2},
        {"Subtitle(@c, \"q \\\" , )\", |", 2},
        {"Subtitle(@c, \"open, |", 1},
        {"Subtitle(@c, \"\"\"a,\r\nb)\"\"\", |", 2},
        {"Subtitle(@c, \"\"\"a, |", 1},
        {"Blur(@clip,\r\n\\ 1.5 # amount, (x\r\n\\ , |", 2},
        {"Blur(@clip,\n\n\n1|", 1},
        {"Overlay(@a, b)|", closed},
        {"Overlay(@a, b) + Blur(c, d|", closed},
        {"Blur(@a,\n)\n|", closed},
        {"Blur|(@", closed},
        {"Bl|ur(@", closed},
        {"x = 1\n|Blur(@", closed},
    };
    for (const auto& [marked, expected] : rows) {
        std::string text = marked;
        const std::size_t anchor = text.find('@');
        text.erase(anchor, 1);
        const std::size_t caret = text.find('|');
        text.erase(caret, 1);
        EXPECT_EQ(callArgumentAt(text, anchor > caret ? anchor - 1 : anchor, caret).value_or(closed), expected)
            << marked;
    }
    EXPECT_EQ(callArgumentAt("Blur(a", 5, 7), std::nullopt) << "a caret past the text";
}

TEST(CallStart, TakesTheWordBeforeTheParenthesis)
{
    const std::pair<std::string, std::string> rows[] = {
        // text ending in "(", name of the call or empty for none
        {"Blur(", "Blur"}, {"c.Blur (", "Blur"}, {"x = Blur\t(", "Blur"}, {"Größe(", "Größe"},
        {"(", ""},         {"a + (", ""},        {"\"s\"(", ""},
    };
    for (const auto& [text, name] : rows) {
        const std::size_t paren = text.size() - 1;
        const auto call = findCallStart(text, paren);
        ASSERT_EQ(call.has_value(), !name.empty()) << text;
        if (!call) continue;
        EXPECT_EQ(text.substr(call->name.start, call->name.end - call->name.start), name);
        EXPECT_EQ(call->anchor, paren + 1) << text;
    }
    EXPECT_FALSE(findCallStart("Blur", 3).has_value());
    EXPECT_FALSE(findCallStart("Blur(", 9).has_value());
}

TEST(CallTextParameterRange, FindsEachTopLevelParameter)
{
    struct Row {
        std::string callText;
        int index;
        const char* parameter; // nullptr: none
    };
    const std::string blur = "Blur(clip, float amount, [bool MMX])";
    const std::string subtitle = "Subtitle(clip, \"string text\", [\"font, name\"], [int x])";
    const Row rows[] = {
        {blur, 0, "clip"},
        {blur, 1, "float amount"},
        {blur, 2, "[bool MMX]"},
        {blur, 3, nullptr},
        {blur, -1, nullptr},
        {subtitle, 1, "\"string text\""},
        {subtitle, 2, "[\"font, name\"]"},
        {subtitle, 3, "[int x]"},
        {"Gr\xc3\xb6\xc3\x9f"
         "e(\xc3\xa4, b)",
         1, "b"},
        {"Version()", 0, nullptr},
        {"???", 0, nullptr},
    };
    for (const Row& row : rows) {
        const auto range = callTextParameterRange(row.callText, row.index);
        ASSERT_EQ(range.has_value(), row.parameter != nullptr) << row.callText << " #" << row.index;
        if (!range) continue;
        EXPECT_EQ(row.callText.substr(range->start, range->end - range->start), row.parameter);
    }
    EXPECT_EQ(callTextParameterRange(blur, 1), (ByteRange{11, 23}));
}

} // namespace
} // namespace cw
