#include "core/app/command_line.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

using Tokens = std::vector<std::string>;

struct SplitCase {
    const char* text;
    Tokens tokens;
};

class SplitCommandLine : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLine, GivesTheTokens)
{
    EXPECT_EQ(splitCommandLine(GetParam().text), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLine,
    testing::Values(
        SplitCase{R"(-i "/home/me/My Scripts/a.avs")", {"-i", R"("/home/me/My Scripts/a.avs")"}},
        SplitCase{"-i    a.avs   -oh  1A2B  ", {"-i", "a.avs", "-oh", "1A2B"}},
        SplitCase{R"(-oh 1A2B -ot "Encoder GUI")", {"-oh", "1A2B", "-ot", R"("Encoder GUI")"}},
        // The last token repeats an earlier one and is dropped; middle ones stay.
        SplitCase{"-oh 10 -ot 10", {"-oh", "10", "-ot"}},
        SplitCase{"a b a b", {"a", "b", "a"}},
        SplitCase{"", {""}},
        SplitCase{" a", {"", "a"}},
        // One quote, or three, keeps blanks inside the token.
        SplitCase{R"(a"b c d)", {R"(a"b c d)"}},
        SplitCase{R"(x"""y z)", {R"(x"""y z)"}},
        SplitCase{R"("a" "b c)", {R"("a")", R"("b c)"}},
        SplitCase{"-i", {"-i"}}));

TEST(JoinArguments, QuotesArgumentsWithBlanksOnly)
{
    EXPECT_EQ(joinArguments({}), "");
    EXPECT_EQ(joinArguments({"-i", "/My Scripts/a b.avs", "-oh", "1A2B"}),
              R"(-i "/My Scripts/a b.avs" -oh 1A2B)");
    EXPECT_EQ(joinArguments({"-ot", "Encoder GUI"}), R"(-ot "Encoder GUI")");
}

TEST(JoinArguments, PathWithBlanksSurvivesSplittingAndParsing)
{
    const std::string path = "/home/me/My  Scripts/a.avs";
    const CommandLineOptions options = parseCommandLine(splitCommandLine(joinArguments({"-i", path})));
    EXPECT_EQ(options.scriptPath, path);
}

struct ParseCase {
    const char* text;
    std::optional<std::string> scriptPath;
    std::uint32_t openerWindow;
    const char* openerTitle;
    const char* caption;
};

class ParseCommandLine : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLine, SetsTheOptions)
{
    const ParseCase& c = GetParam();
    const CommandLineOptions options = parseCommandLine(splitCommandLine(c.text));
    EXPECT_EQ(options.scriptPath, c.scriptPath);
    EXPECT_EQ(options.openerWindow, c.openerWindow);
    EXPECT_EQ(options.openerTitle, c.openerTitle);
    EXPECT_EQ(backToOpenerCaption(options.openerTitle), c.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCommandLine,
    testing::Values(
        ParseCase{R"(-i "/My Scripts/a.avs")", "/My Scripts/a.avs", 0, "", "Back to opener"},
        ParseCase{R"(-oh 1A2B -ot "Encoder GUI")", std::nullopt, 0x1A2B, "Encoder GUI", "Back to Encoder GUI"},
        ParseCase{"-oh 1a2b", std::nullopt, 0x1A2B, "", "Back to opener"},
        ParseCase{"-oh 10 -ot 10", std::nullopt, 0x10, "", "Back to opener"},
        ParseCase{"-I a.avs", std::nullopt, 0, "", "Back to opener"},
        ParseCase{"-i", std::nullopt, 0, "", "Back to opener"},
        ParseCase{"a.avs -oh", std::nullopt, 0, "", "Back to opener"},
        // A value token is still read as a token.
        ParseCase{"-i -oh 5", "-oh", 5, "", "Back to opener"},
        ParseCase{"-oh -i a.avs", "a.avs", 0, "", "Back to opener"},
        ParseCase{"-i a.avs -i b.avs", "b.avs", 0, "", "Back to opener"},
        // Window ids: hexadecimal digits only, at most 32 bits, never 0.
        ParseCase{"-oh 0x1A2B", std::nullopt, 0, "", "Back to opener"},
        ParseCase{"-oh 12g4", std::nullopt, 0, "", "Back to opener"},
        ParseCase{R"(-oh "1A2B")", std::nullopt, 0, "", "Back to opener"},
        ParseCase{"-oh 0", std::nullopt, 0, "", "Back to opener"},
        ParseCase{"-oh 1A2B -oh zz", std::nullopt, 0, "", "Back to opener"},
        ParseCase{"-oh ffffffff", std::nullopt, 0xFFFFFFFF, "", "Back to opener"},
        ParseCase{"-oh 100000000", std::nullopt, 0, "", "Back to opener"},
        ParseCase{"-oh 000000001A2B", std::nullopt, 0x1A2B, "", "Back to opener"},
        ParseCase{R"(-ot Encoder" "GUI)", std::nullopt, 0, "Encoder GUI", "Back to Encoder GUI"}));

} // namespace
} // namespace cw
