#include "core/defs/type_string.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace cw {
namespace {

// "name:type:opt" per argument, as the interpreter's own list writes them
// ("#3" for a positional argument, "+" or "*" after a repeated type).
std::string described(const std::vector<FunctionArgument>& arguments)
{
    static const std::map<char, std::string> names{{'c', "clip"}, {'i', "int"},  {'f', "float"}, {'b', "bool"},
                                                   {'s', "string"}, {'.', "any"}, {'n', "func"},  {'a', "array"}};
    std::string out;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const FunctionArgument& a = arguments[i];
        if (i > 0) out += "; ";
        out += (a.named ? a.name : "#" + std::to_string(i + 1)) + ":" + names.at(a.type);
        if (a.repeated) out += a.optional && !a.named ? "*" : "+";
        out += a.optional ? ":opt" : ":req";
    }
    return out;
}

TEST(TypeString, EveryOverloadOfTheInterpreterParsesAsItsOwnListSays)
{
    const std::string tsv = std::string(CLIPWRIGHT_SOURCE_DIR) + "/../shared/avisynth/core-functions.tsv";
    if (!std::filesystem::exists(tsv)) GTEST_SKIP() << "no interpreter function list at " << tsv;
    std::ifstream in(tsv);
    std::string line;
    std::getline(in, line);
    int rows = 0;
    while (std::getline(in, line)) {
        std::istringstream row(line);
        std::string name, types, expected;
        std::getline(row, name, '\t');
        std::getline(row, types, '\t');
        std::getline(row, expected, '\t');
        const auto arguments = parseTypeString(types);
        ASSERT_TRUE(arguments) << name << " " << types;
        EXPECT_EQ(described(*arguments), expected) << name << " " << types;
        ++rows;
    }
    EXPECT_GT(rows, 500);
}

TEST(TypeString, EdgeCases)
{
    const struct {
        const char* types;
        const char* expected; // "-" when it does not parse
    } rows[] = {
        {"", ""},
        {"c[]i*", "#1:clip:req; #2:int*:opt"},
        {"[colors]f+", "colors:float+:opt"},
        {".+i+", "#1:any+:req; #2:int+:req"},
        {"cq", "-"},
        {"c[x", "-"},
        {"c[x]", "-"},
        {"+c", "-"},
        {"c++", "-"},
        {"c i", "-"},
    };
    for (const auto& row : rows) {
        const auto arguments = parseTypeString(row.types);
        EXPECT_EQ(arguments ? described(*arguments) : "-", row.expected) << row.types;
    }
}

TEST(TypeString, OverloadsMergeIntoTheLongestWithWhatNotAllHaveOptional)
{
    const std::vector<std::vector<FunctionArgument>> trim{*parseTypeString("cii[pad]b[cache]b"),
                                                          *parseTypeString("ci[length]i[PAD]b[cache]b"),
                                                          *parseTypeString("ci[end]i[pad]b[cache]b")};
    EXPECT_EQ(described(mergeOverloads(trim)), "#1:clip:req; #2:int:req; #3:int:opt; pad:bool:opt; cache:bool:opt");
    const std::vector<std::vector<FunctionArgument>> assertion{*parseTypeString("b[message]s"),
                                                               *parseTypeString("s")};
    EXPECT_EQ(described(mergeOverloads(assertion)), "#1:bool:req; message:string:opt");
    EXPECT_TRUE(mergeOverloads({}).empty());
}

} // namespace
} // namespace cw
