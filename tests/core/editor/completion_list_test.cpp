#include "core/editor/completion_list.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace cw {
namespace {

TEST(CompletionList, TheTypedWordStartsAfterTheLastNonWordByteAndNamesKeepTheirOrder)
{
    // text, caret, start of the typed word
    const std::tuple<std::string, std::size_t, std::size_t> rows[] = {
        {"x = Bl", 6, 4}, {"x = Blur", 6, 4}, {"Blur(", 5, 5}, {"", 0, 0}, {"c.Gr\xc3\xb6", 6, 2}, {"a_b2", 4, 0},
    };
    for (const auto& [text, caret, start] : rows) EXPECT_EQ(typedWordStart(text, caret), start) << text;

    EXPECT_EQ(buildCompletionList(std::vector<std::string>{"blur", "AddBorders", "Blur"}, '\n'),
              "blur\nAddBorders\nBlur");
    EXPECT_EQ(buildCompletionList({}, ' '), "");
}

} // namespace
} // namespace cw
