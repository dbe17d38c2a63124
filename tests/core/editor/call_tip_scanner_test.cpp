#include "core/editor/call_tip_scanner.h"

#include <gtest/gtest.h>

#include <string>

namespace cw {
namespace {

// A row's text marks the anchor with "@" and the caret with "|"; both are
// removed before scanning.
struct Marked {
    std::string text;
    std::size_t anchor = 0;
    std::size_t caret = 0;
};

Marked unmark(std::string_view marked)
{
    Marked m;
    for (char c : marked) {
        if (c == '@')
            m.anchor = m.text.size();
        else if (c == '|')
            m.caret = m.text.size();
        else
            m.text += c;
    }
    return m;
}

constexpr int closed = -1;

TEST(CallArgumentScanner, CountsOnlyTheCallsOwnArguments)
{
    struct Row {
        const char* text;
        int expected;
    };
    const Row rows[] = {
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
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const Marked m = unmark(row.text);
        EXPECT_EQ(callArgumentAt(m.text, m.anchor, m.caret).value_or(closed), row.expected);
    }
}

TEST(CallArgumentScanner, ACaretPastTheTextClosesRatherThanReadingBeyondIt)
{
    EXPECT_EQ(callArgumentAt("Blur(a", 5, 7), std::nullopt);
}

TEST(CallStart, TakesTheWordBeforeTheParenthesis)
{
    struct Row {
        std::string text;
        std::string name; // empty: no call
    };
    const Row rows[] = {
        {"Blur(", "Blur"},
        {"c.Blur (", "Blur"},
        {"x = Blur\t(", "Blur"},
        {"Gr\xc3\xb6\xc3\x9f" "e(", "Gr\xc3\xb6\xc3\x9f" "e"},
        {"(", ""},
        {"a + (", ""},
        {"\"s\"(", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const std::size_t paren = row.text.size() - 1;
        const auto call = findCallStart(row.text, paren);
        if (row.name.empty()) {
            EXPECT_FALSE(call.has_value());
            continue;
        }
        ASSERT_TRUE(call.has_value());
        EXPECT_EQ(row.text.substr(call->name.start, call->name.end - call->name.start), row.name);
        EXPECT_EQ(call->anchor, paren + 1);
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
        {"Gr\xc3\xb6\xc3\x9f" "e(\xc3\xa4, b)", 1, "b"},
        {"Version()", 0, nullptr},
        {"???", 0, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.callText << " #" << row.index);
        const auto range = callTextParameterRange(row.callText, row.index);
        if (!row.parameter) {
            EXPECT_FALSE(range.has_value());
            continue;
        }
        ASSERT_TRUE(range.has_value());
        EXPECT_EQ(row.callText.substr(range->start, range->end - range->start), row.parameter);
    }
    EXPECT_EQ(callTextParameterRange(blur, 1), (ByteRange{11, 23}));
}

} // namespace
} // namespace cw
