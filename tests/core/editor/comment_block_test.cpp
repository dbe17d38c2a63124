#include "core/editor/comment_block.h"

#include <gtest/gtest.h>
#include <utility>

namespace cw {
namespace {

TEST(CommentBlock, MarksTheSelectionStartAndEveryLineAfterALineEndAndUncommentsBack)
{
    const std::pair<std::string, std::string> rows[] = {
        {"", "#"},
        {"Blur(c)", "#Blur(c)"},
        {"ur(c)\nx = 1", "#ur(c)\n#x = 1"},
        {"a\r\nb\nc\rd\r\n", "#a\r\n#b\n#c\r#d\r\n#"},
        {"  a\n\tb", "#  a\n#\tb"},
        {"#a\n", "##a\n#"},
        {"Subtitle(\"#1\")", "#Subtitle(\"#1\")"},
    };
    for (const auto& [selected, commented] : rows) {
        EXPECT_EQ(commentBlock(selected), commented) << selected;
        EXPECT_EQ(uncommentBlock(commented), selected) << selected;
    }
}

TEST(UncommentBlock, RemovesOneLeadingMarkerPerLineAndNothingElse)
{
    const std::pair<std::string, std::string> rows[] = {
        {"Blur(c)", "Blur(c)"},
        {"  #a\r\n\t# b\n#c", "  a\r\n\t b\nc"},
        {"##a\r\n##b", "#a\r\n#b"},
        {"Subtitle(\"Take #2\") # note", "Subtitle(\"Take #2\") # note"},
        {"#Subtitle(\"#2\")\n'#'", "Subtitle(\"#2\")\n'#'"},
        {"a # b\n#c", "a # b\nc"},
        {"x#\r\n#", "x#\r\n"},
        {"\r\n\r\n#a", "\r\n\r\na"},
    };
    for (const auto& [selected, expected] : rows) EXPECT_EQ(uncommentBlock(selected), expected) << selected;
}

} // namespace
} // namespace cw
