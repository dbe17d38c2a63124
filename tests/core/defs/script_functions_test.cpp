#include "core/defs/script_functions.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

// "Name(type name, ...)" per function found, "[name]" for an optional one
// and "..." after a repeated one, joined by " | ".
std::string found(std::string_view text)
{
    std::string out;
    for (const ScriptFunction& f : findScriptFunctions(text)) {
        if (!out.empty()) out += " | ";
        out += f.name + "(";
        for (std::size_t i = 0; i < f.arguments.size(); ++i) {
            const FunctionArgument& a = f.arguments[i];
            const std::string name = a.name + (a.repeated ? "..." : "");
            out += (i ? ", " : "") + typeName(a.type) + " " + (a.optional ? "[" + name + "]" : name);
            if (a.named) out += "=";
        }
        out += ")";
    }
    return out;
}

TEST(ScriptFunctions, DefinitionsAreFoundWhereverCodeIs)
{
    const struct {
        const char* what;
        const char* script;
        const char* expected;
    } rows[] = {
        {"no parameters", "function Nothing() { return 1 }", "Nothing()"},
        {"typed and quoted", "Function Soften(clip c, float \"radius\", int_array \"planes\")\n{\n  c\n}",
         "Soften(clip c, float [radius]=, int [planes...]=)"},
        {"no types", "function Pair(a, b) { a + b }", "Pair(val a, val b)"},
        {"over lines with comments", "function Wide(clip c, \\\n  # the strength\n  float \"s\" /* ! */ )\n{ c }",
         "Wide(clip c, float [s]=)"},
        {"nested braces, then the next", "function A(c) { if (true) { c } else { c } }\nfunction B(int n) { n }",
         "A(val c) | B(int n)"},
        {"arrays", "function Many(clip_array_nz cs, val_array \"rest\") {}", "Many(clip cs..., val [rest...]=)"},
        {"inside a comment", "# function Old(c) { c }\n/* function Older(c) {} */\n[* [* function X() {} *] *]",
         ""},
        {"inside a string", "s = \"function Fake(c) { c }\"\nt = \"\"\"\nfunction Long() {}\n\"\"\"", ""},
        {"not a definition", "function\nfunction Half(clip c\nx = function(c) { c }\nfunction Call(c) c", ""},
        {"unknown type word", "function Odd(color c) { c }", ""},
        {"function as part of a word", "my_function Nope() {}\nfunctions Nope() {}", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(found(row.script), row.expected) << row.what;
}

} // namespace
} // namespace cw
