#include "core/preview/script_error.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

const std::string script = "/tmp/clipwright-0/preview.avs";

TEST(ScriptError, FindsTheLineAndColumnOfTheScriptThatRan)
{
    const struct {
        std::string message;
        std::optional<ScriptErrorLocation> expected;
    } rows[] = {
        {"Script error: There is no function named 'Bogus'.\n(" + script + ", line 3)", ScriptErrorLocation{3, {}}},
        {"Script error: Invalid arguments to function 'Blur'.\n(" + script + ", line 12, column 7)",
         ScriptErrorLocation{12, 7}},
        // An error inside an imported script names that file first: the
        // location in the script being edited is the Import call.
        {"Script error: There is no function named 'x'.\n(/home/u/lib.avsi, line 5)\n(" + script + ", line 2)",
         ScriptErrorLocation{2, {}}},
        {"Script error: There is no function named 'x'.\n(/home/u/lib.avsi, line 5)", std::nullopt},
        {"Import: couldn't open \"" + script + "\"", std::nullopt},
        {"(" + script + ", line 0)", std::nullopt},
        {"(" + script + ", line x) (" + script + ", line 4)", ScriptErrorLocation{4, {}}},
        {"(" + script + ", line 9, column )", std::nullopt},
        {"(" + script + "x, line 9)", std::nullopt},
        {"(" + script + ", line 99999999999999)", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& row : rows) EXPECT_EQ(findErrorLocation(row.message, script), row.expected) << row.message;
    EXPECT_EQ(findErrorLocation("(, line 3)", ""), std::nullopt);
}

TEST(ScriptError, TheMessageNamesTheEditedScriptInsteadOfTheTemporaryFile)
{
    EXPECT_EQ(nameScriptInMessage("Script error: bad.\n(/home/u/lib.avsi, line 5)\n(" + script + ", line 2, column 4)",
                                  script, "clip.avs"),
              "Script error: bad.\n(/home/u/lib.avsi, line 5)\n(clip.avs, line 2, column 4)");
    EXPECT_EQ(nameScriptInMessage("Import: couldn't open " + script, script, "Untitled"),
              "Import: couldn't open " + script);
}

} // namespace
} // namespace cw
