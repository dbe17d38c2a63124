#include "core/browser/filter_description.h"

#include <gtest/gtest.h>

namespace cw {

void PrintTo(const TextRange& range, std::ostream* out)
{
    *out << "{" << range.start << ", " << range.length << "}";
}

namespace {

CParameter parameter(const std::string& title, const std::string& type, bool optional = false,
                     const std::string& min = "", const std::string& max = "", const std::string& description = "")
{
    CParameter p;
    p.title = title;
    p.Class = type;
    p.isoptional = optional;
    p.min = min;
    p.max = max;
    p.description = description;
    return p;
}

CFilter filter(const std::string& title, const std::string& key, std::vector<CParameter> parameters,
               const std::string& description = "")
{
    CFilter f;
    f.title = title;
    f.key = key;
    f.pluginkey = "kPlugin";
    f.description = description;
    f.parameters = std::move(parameters);
    return f;
}

DefinitionModel modelWith(std::vector<CFilter> filters, const std::string& pluginKey = "kPlugin")
{
    CPlugin plugin;
    plugin.key = pluginKey;
    plugin.title = "DemoPlugin";
    plugin.description = "Demonstration filters";
    plugin.filters = std::move(filters);
    DefinitionModel model;
    model.addPlugin(std::move(plugin));
    model.finishLoad();
    return model;
}

CFilter fadeBox(const std::string& description = "Draws a fading box.")
{
    return filter("FadeBox", "kFade",
                  {parameter("clip", "clip"), parameter("strength", "int", true, "0", "255"),
                   parameter("mode", "string")},
                  description);
}

// The text of a range, for texts where UTF-16 units and bytes agree.
std::string at(const std::string& text, TextRange range)
{
    return text.substr(static_cast<std::size_t>(range.start), static_cast<std::size_t>(range.length));
}

TEST(FilterCallText, QuotesStringsAndBracketsOptionals)
{
    const struct {
        std::vector<CParameter> parameters;
        const char* text;
    } rows[] = {
        {{}, "F()"},
        {{parameter("clip", "clip")}, "F(clip)"},
        {{parameter("s", "String"), parameter("t", "STRING", true)}, "F(\"s\", [\"t\"])"},
        {{parameter("a", "int", true), parameter("b", "strings"), parameter("c", "")}, "F([a], b, c)"},
    };
    for (const auto& row : rows) EXPECT_EQ(filterCallText(filter("F", "k", row.parameters)), row.text);
}

TEST(FilterCallText, LooksUpTheExactTitleOfTheFirstPlugin)
{
    DefinitionModel model = modelWith({fadeBox()});
    CPlugin second;
    second.key = "kSecond";
    second.filters.push_back(filter("FadeBox", "kOther", {}));
    model.addPlugin(second);
    model.finishLoad();
    EXPECT_EQ(getFilterCallText(model, "FadeBox"), "FadeBox(clip, [strength], \"mode\")");
    EXPECT_EQ(getFilterCallText(model, "fadebox"), "???");
    EXPECT_EQ(getFilterCallText(model, ""), "???");
}

TEST(FilterDescription, FadeBoxLineByLine)
{
    const DefinitionModel model = modelWith({fadeBox()});
    const auto description = describeFilter(model, "kFade");
    ASSERT_TRUE(description);
    EXPECT_EQ(description->text, "FadeBox(clip, [strength], \"mode\")\r\n"
                                 "\r\n"
                                 "Draws a fading box.\r\n"
                                 "\r\n"
                                 "\r\n"
                                 "clip (clip)\r\n"
                                 "\r\n"
                                 "strength (int 0-255)\r\n"
                                 "\r\n"
                                 "mode (string)\r\n"
                                 "\r\n"
                                 "\r\n"
                                 "Plugin :: DemoPlugin\r\n"
                                 "Demonstration filters");
    std::vector<std::string> bold;
    for (const TextRange& range : description->bold) bold.push_back(at(description->text, range));
    EXPECT_EQ(bold, (std::vector<std::string>{"FadeBox(clip, [strength], \"mode\")", "clip", "strength", "mode"}));
    ASSERT_TRUE(description->boldRed);
    EXPECT_EQ(at(description->text, *description->boldRed), "Plugin :: DemoPlugin");
}

TEST(FilterDescription, EmptyDescriptionLeavesTwoEmptyLines)
{
    const DefinitionModel model = modelWith({fadeBox("")});
    const std::string text = describeFilter(model, "kFade", "\n")->text;
    EXPECT_EQ(text.substr(0, text.find("clip (")), "FadeBox(clip, [strength], \"mode\")\n\n\n");
}

TEST(FilterDescription, ParameterBlocks)
{
    const struct {
        CParameter parameter;
        const char* block;
    } rows[] = {
        {parameter("n", "int", false, "4", "4"), "n (int)\n\n"},
        {parameter("n", "int"), "n (int)\n\n"},
        {parameter("n", "int", false, "", "9"), "n (int -9)\n\n"},
        {parameter("n", "", false, "0", "9"), "n\n\n"},
        {parameter("n", "float", true, "0.5", "2", "Scale.\nLine two."), "n (float 0.5-2)\nScale.\nLine two.\n\n"},
    };
    for (const auto& row : rows) {
        const DefinitionModel model = modelWith({filter("F", "kF", {row.parameter})}, "kAbsent");
        const auto description = describeFilter(model, "kF", "\n");
        ASSERT_TRUE(description);
        EXPECT_EQ(description->text, std::string("F(") + (row.parameter.isoptional ? "[n]" : "n") + ")\n\n\n"
                                         + row.block);
        EXPECT_FALSE(description->boldRed);
        ASSERT_EQ(description->bold.size(), 2u);
        EXPECT_EQ(at(description->text, description->bold[1]), "n");
    }
}

TEST(FilterDescription, EachNameIsBoldInItsOwnBlock)
{
    const DefinitionModel model = modelWith(
        {filter("F", "kF", {parameter("width_x", "int", false, "", "", "not __width here"), parameter("width", "int")})});
    const auto description = describeFilter(model, "kF", "\n");
    ASSERT_TRUE(description);
    EXPECT_EQ(description->text,
              "F(width_x, width)\n\n\nwidth_x (int)\nnot __width here\n\nwidth (int)\n\n\nPlugin :: DemoPlugin\n"
              "Demonstration filters");
    ASSERT_EQ(description->bold.size(), 3u);
    EXPECT_EQ(description->bold[1], (TextRange{20, 7}));
    EXPECT_EQ(description->bold[2], (TextRange{52, 5}));
}

TEST(FilterDescription, RangesCountUtf16Units)
{
    // "é" is 2 bytes and 1 unit, "𝒳" 4 bytes and 2 units; "\\{" stays as written.
    const DefinitionModel model =
        modelWith({filter("F\xC3\xA9", "kF", {parameter("\xF0\x9D\x92\xB3\\{", ""), parameter("b", "")})});
    const auto description = describeFilter(model, "kF", "\n");
    ASSERT_TRUE(description);
    EXPECT_EQ(description->text, "F\xC3\xA9(\xF0\x9D\x92\xB3\\{, b)\n\n\n\xF0\x9D\x92\xB3\\{\n\nb\n\n\n"
                                 "Plugin :: DemoPlugin\nDemonstration filters");
    const std::vector<TextRange> expected = {{0, 11}, {14, 4}, {20, 1}};
    EXPECT_EQ(description->bold, expected);
    EXPECT_EQ(description->boldRed, (TextRange{24, 20}));
}

TEST(FilterDescription, InvalidBytesBecomeReplacementCharacters)
{
    const DefinitionModel model = modelWith({filter("F", "kF", {parameter("b\xFF", "")}, "\xC3")});
    const auto description = describeFilter(model, "kF", "\n");
    ASSERT_TRUE(description);
    EXPECT_EQ(description->text.substr(0, 15), "F(b\xEF\xBF\xBD)\n\n\xEF\xBF\xBD\n\n\n");
    EXPECT_EQ(description->bold[1], (TextRange{11, 2}));
}

TEST(FilterDescription, UnknownKeyGivesNothing)
{
    const DefinitionModel model = modelWith({fadeBox()});
    EXPECT_FALSE(describeFilter(model, "kNone"));
    EXPECT_FALSE(describeFilter(model, "kfade"));
}

} // namespace
} // namespace cw
