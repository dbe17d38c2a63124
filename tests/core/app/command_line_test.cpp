#include "core/app/command_line.h"

#include "core/base/paths.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <set>

namespace cw {
namespace {

using Tokens = std::vector<std::string>;

FileExistsTest filesNamed(std::set<std::string> names)
{
    return [names = std::move(names)](const std::string& path) { return names.count(path) > 0; };
}

TEST(CommandLine, SplitsIntoTokens)
{
    const struct {
        const char* text;
        Tokens tokens;
    } rows[] = {
        {R"(-i "/home/me/My Scripts/a.avs")", {"-i", R"("/home/me/My Scripts/a.avs")"}},
        {"-i    a.avs   -oh  1A2B  ", {"-i", "a.avs", "-oh", "1A2B"}},
        // The last token repeats an earlier one and is dropped; middle ones stay.
        {"-oh 10 -ot 10", {"-oh", "10", "-ot"}},
        {"a b a b", {"a", "b", "a"}},
        {"", {""}},
        {" a", {"", "a"}},
        // One quote, or three, keeps blanks inside the token.
        {R"(a"b c d)", {R"(a"b c d)"}},
        {R"(x"""y z)", {R"(x"""y z)"}},
        {R"("a" "b c)", {R"("a")", R"("b c)"}},
    };
    for (const auto& row : rows) EXPECT_EQ(splitCommandLine(row.text), row.tokens) << row.text;
}

TEST(CommandLine, JoinQuotesArgumentsWithBlanksAndSurvivesSplittingAndParsing)
{
    EXPECT_EQ(joinArguments({}), "");
    EXPECT_EQ(joinArguments({"-i", "/My Scripts/a b.avs", "-oh", "1A2B"}), R"(-i "/My Scripts/a b.avs" -oh 1A2B)");
    const std::string path = "/home/me/My  Scripts/a.avs";
    EXPECT_EQ(parseCommandLine(splitCommandLine(joinArguments({"-i", path})), filesNamed({})).scriptPath, path);
}

TEST(CommandLine, ParsesTheOptions)
{
    const struct {
        const char* text;
        std::optional<std::string> scriptPath;
        std::uint32_t openerWindow;
        const char* openerTitle;
    } rows[] = {
        {R"(-i "/My Scripts/a.avs")", "/My Scripts/a.avs", 0, ""},
        {R"(-oh 1A2B -ot "Encoder GUI")", std::nullopt, 0x1A2B, "Encoder GUI"},
        {R"(-ot Encoder" "GUI)", std::nullopt, 0, "Encoder GUI"},
        {"-oh 1a2b", std::nullopt, 0x1A2B, ""},
        {"-oh 10 -ot 10", std::nullopt, 0x10, ""},
        {"-I a.avs", std::nullopt, 0, ""},
        {"-i", std::nullopt, 0, ""},
        // A value token is still read as a token.
        {"-i -oh 5", "-oh", 5, ""},
        {"-oh -i a.avs", "a.avs", 0, ""},
        {"-i a.avs -i b.avs", "b.avs", 0, ""},
        // Window ids: hexadecimal digits only, at most 32 bits, never 0.
        {"-oh 0x1A2B", std::nullopt, 0, ""},
        {R"(-oh "1A2B")", std::nullopt, 0, ""},
        {"-oh 0", std::nullopt, 0, ""},
        {"-oh 1A2B -oh zz", std::nullopt, 0, ""},
        {"-oh ffffffff", std::nullopt, 0xFFFFFFFF, ""},
        {"-oh 100000000", std::nullopt, 0, ""},
        {"-oh 000000001A2B", std::nullopt, 0x1A2B, ""},
    };
    for (const auto& row : rows) {
        const CommandLineOptions options = parseCommandLine(splitCommandLine(row.text), filesNamed({}));
        EXPECT_EQ(options.scriptPath, row.scriptPath) << row.text;
        EXPECT_EQ(options.openerWindow, row.openerWindow) << row.text;
        EXPECT_EQ(options.openerTitle, row.openerTitle) << row.text;
    }
    EXPECT_EQ(backToOpenerCaption(""), "Back to opener");
    EXPECT_EQ(backToOpenerCaption("Encoder GUI"), "Back to Encoder GUI");
}

TEST(CommandLine, APlainExistingFileOpensLikeDashI)
{
    test::TempDir dir;
    const std::string a = dir.write("a.avs", ""), b = dir.write("b c.avs", "");
    const std::string missing = dir.file("missing.avs");
    const struct {
        std::string text;
        std::optional<std::string> scriptPath;
    } rows[] = {
        {a, a},
        {joinArguments({b}), b},
        {missing, std::nullopt},
        {dir.path(), std::nullopt},
        // The value of a switch is no plain file, so -i's value opens once.
        {"-ot " + a, std::nullopt},
        {"-oh " + a, std::nullopt},
        {"-i " + missing + " " + a, a},
        {a + " -i " + missing, missing},
        {"--exit-after-startup " + a, a},
        // Without a switch that takes it, the path stands on its own.
        {"-I " + a, a},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parseCommandLine(splitCommandLine(row.text), fileExists).scriptPath, row.scriptPath) << row.text;
}

TEST(CommandLine, HelpVersionAndUnknownOptionsAreSeenOnlyWhereNoValueIsExpected)
{
    using Action = StartupRequest::Action;
    const struct {
        const char* text;
        Action action;
        const char* option;
    } rows[] = {
        {"", Action::Start, ""},
        {"-i a.avs -oh 1A2B -ot Tool --exit-after-startup", Action::Start, ""},
        {"script.avs", Action::Start, ""},
        {"--help", Action::Help, ""},
        {"-h", Action::Help, ""},
        {"a.avs --version", Action::Version, ""},
        {"-x", Action::UnknownOption, "-x"},
        {"-I a.avs", Action::UnknownOption, "-I"},
        {"--HELP", Action::UnknownOption, "--HELP"},
        {"-", Action::UnknownOption, "-"},
        // The first that asks decides.
        {"--version -x --help", Action::Version, ""},
        {"-x --help", Action::UnknownOption, "-x"},
        // A value is never a switch, whatever it looks like.
        {"-ot --help", Action::Start, ""},
        {"-i -x.avs", Action::Start, ""},
        {"-ot -i --version", Action::Start, ""}, // "-i" is a switch as well as a value
        // The toolkit's own options, with their values, and its flags.
        {"-platform offscreen -style=fusion --style Fusion -reverse -display :1", Action::Start, ""},
        {"-platform --help", Action::Start, ""},
        {"-platform=xcb", Action::UnknownOption, "-platform=xcb"},
    };
    for (const auto& row : rows) {
        const StartupRequest request = startupRequest(splitCommandLine(row.text));
        EXPECT_EQ(request.action, row.action) << row.text;
        EXPECT_EQ(request.option, row.option) << row.text;
    }
}

TEST(CommandLine, UsageNamesEverySwitchAndTheErrorFitsOneLine)
{
    const std::string usage = usageText();
    for (const char* option : {"-i SCRIPT", "-oh WINDOW", "-ot TITLE", "--exit-after-startup", "-h, --help", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    EXPECT_EQ(usage.back(), '\n');
    EXPECT_EQ(unknownOptionMessage("-x"), "clipwright: unknown option '-x'");
}


// File names here may hold double quotes: the value without all its quotes
// is tried first, then the value with only its surrounding pair removed.
TEST(CommandLine, ScriptPathKeepsInnerQuotesOnlyWhenThatFileExists)
{
    const struct {
        std::vector<std::string> arguments;
        std::set<std::string> existing;
        const char* scriptPath;
    } rows[] = {
        {{"-i", R"(a"b.avs)"}, {R"(a"b.avs)"}, R"(a"b.avs)"},
        {{"-i", R"(a"b.avs)"}, {"ab.avs", R"(a"b.avs)"}, "ab.avs"},
        {{"-i", R"(a"b.avs)"}, {}, "ab.avs"},
        {{"-i", R"(/s/say "hi".avs)"}, {R"(/s/say "hi".avs)"}, R"(/s/say "hi".avs)"},
        {{"-i", R"(/My Scripts/x"y.avs)"}, {R"(/My Scripts/x"y.avs)"}, R"(/My Scripts/x"y.avs)"},
        {{"-i", R"(""a.avs"")"}, {R"("a.avs")"}, R"("a.avs")"},
    };
    for (const auto& row : rows) {
        const auto tokens = splitCommandLine(joinArguments(row.arguments));
        const auto options = parseCommandLine(tokens, filesNamed(row.existing));
        EXPECT_EQ(options.scriptPath, row.scriptPath) << row.arguments[1];
    }
}

} // namespace
} // namespace cw
