#include "core/editor/comment_block.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

struct Row {
    std::string selected;
    std::string expected;
};

// Every commented row also uncomments back to the selection it came from.
TEST(CommentBlock, MarksTheSelectionStartAndEveryLineAfterALineEnd)
{
    const Row rows[] = {
        {"", "#"},
        {"Blur(c)", "#Blur(c)"},
        {"ur(c)\nx = 1", "#ur(c)\n#x = 1"},
        {"a\r\nb", "#a\r\n#b"},
        {"a\nb", "#a\n#b"},
        {"a\rb", "#a\r#b"},
        {"a\r\nb\nc\r\n", "#a\r\n#b\n#c\r\n#"},
        {"  a\n\tb", "#  a\n#\tb"},
        {"#a\n", "##a\n#"},
        {"Subtitle(\"#1\")", "#Subtitle(\"#1\")"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.selected);
        const std::string commented = commentBlock(row.selected);
        EXPECT_EQ(commented, row.expected);
        EXPECT_EQ(uncommentBlock(commented), row.selected);
    }
}

TEST(UncommentBlock, RemovesOneLeadingMarkerPerLineAndNothingElse)
{
    const Row rows[] = {
        {"", ""},
        {"Blur(c)", "Blur(c)"},
        {"  #a\r\n\t# b\n#c", "  a\r\n\t b\nc"},
        {"##a\r\n##b", "#a\r\n#b"},
        {"Subtitle(\"Take #2\") # note", "Subtitle(\"Take #2\") # note"},
        {"#Subtitle(\"#2\")\n'#'", "Subtitle(\"#2\")\n'#'"},
        {"a # b\n#c", "a # b\nc"},
        {"x#\r\n#", "x#\r\n"},
        {"#a\r#b", "a\rb"},
        {"\r\n\r\n#a", "\r\n\r\na"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.selected);
        EXPECT_EQ(uncommentBlock(row.selected), row.expected);
    }
}

} // namespace
} // namespace cw
