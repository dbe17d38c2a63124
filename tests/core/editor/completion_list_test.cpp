#include "core/editor/completion_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace cw {
namespace {

TEST(TypedWord, StartsAfterTheLastNonWordByteBeforeTheCaret)
{
    struct Row {
        std::string text;
        std::size_t caret;
        std::size_t start;
    };
    const Row rows[] = {
        {"x = Bl", 6, 4},
        {"x = Blur", 6, 4},
        {"Blur(", 5, 5},
        {"", 0, 0},
        {"c.Gr\xc3\xb6", 6, 2},
        {"a_b2", 4, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(typedWordStart(row.text, row.caret), row.start);
    }
}

TEST(CompletionList, JoinsTheNamesInTheirOwnOrder)
{
    const std::vector<std::string> names = {"blur", "AddBorders", "Blur"};
    EXPECT_EQ(buildCompletionList(names, '\n'), "blur\nAddBorders\nBlur");
    EXPECT_EQ(buildCompletionList(std::vector<std::string>{"Blur"}, ' '), "Blur");
    EXPECT_EQ(buildCompletionList({}, ' '), "");
}

} // namespace
} // namespace cw
