#include "core/editor/script_styler.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace cw {
namespace {

const KeywordSet keywords(std::vector<std::string>{"AviSource", "Blur", "Subtitle"});

// One letter per byte: Default ' ', Comment c, String s, Keyword k,
// Operator o, Number n, Identifier i.
std::string styled(std::string_view text, std::size_t end, ScriptState state = ScriptState::Normal,
                   const KeywordSet& set = keywords)
{
    std::vector<ScriptStyle> styles;
    styleScript(text, 0, end, state, set, styles);
    std::string out;
    for (ScriptStyle s : styles) out += " cskoni"[static_cast<int>(s)];
    return out;
}

TEST(ScriptStyler, StylesEachKindOfToken)
{
    const std::pair<std::string, std::string> rows[] = {
        {R"(clip = AVISource("a\"b.avi")   # load)", "iiii o kkkkkkkkk ssssssssss    cccccc"},
        {R"(blur(clip, 1.5).subtitle('it\'s #1'))", "kkkk iiii  nnn okkkkkkkk ssssssssss "},
        {R"('a"b' "c'd" "" + x)", "sssss sssss ss o i"},
        {"x = a ? b : c", "i o i   i   i"},
        {"Version()?:$FF00FF;2x", "iiiiiii  oonnnnnnnonn"},
        {"a>>>=b!==c&&d|=e", "iooooioooiooiooi"},
        {"Blurry _Blur Blur2 Gr\xc3\xb6\xc3\x9f"
         "e",
         "iiiiii iiiii iiiii iiiiiii"},
        // A "..." string left open stops at its line end, even after "\".
        {"s = \"open\nBlur \"a\\\nBlur", "i o sssss kkkk sss kkkk"},
        {"a = \"\"\"x\n\"y\" # z\r\n\"\"\" + Blur", "i o sssss"
                                                    "sssssss"
                                                    "ss"
                                                    "sss o kkkk"},
        {"# Blur(\"x\")\r\nBlur", "ccccccccccc  kkkk"},
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(styled(text, text.size()), expected) << text;

    EXPECT_EQ(styled("Blur(c, \"x\") # y", 16, ScriptState::Normal, KeywordSet{}), "iiii i  sss  ccc");
    EXPECT_EQ(styled("still text\"\"\" Blur\n", 19, ScriptState::InTripleString), "sssssssssssss kkkk ");
    // A range ending inside a token styles its bytes as the whole token.
    EXPECT_EQ(styled("x = Blur", 6), "i o kk");
}

// What the editor does: restyle from any line start, taking the state from
// the style of the line end before it, and get what a full pass gives.
TEST(ScriptStyler, AnyLineRangeStylesAsTheWholeDocumentDoes)
{
    const std::string script = "AviSource(\"a.avi\") # src\r\n"
                               "Subtitle(\"\"\"first\r\n"
                               "second, # not a comment\r\n"
                               "\"\"\", 'x\\'y')\n"
                               "\"unclosed\n"
                               "x = $FF >= 2 ? Blur(1.0) : last\r\n"
                               "\"\"\"open to the end\n"
                               "Blur\n";
    std::vector<ScriptStyle> whole;
    EXPECT_EQ(styleScript(script, 0, script.size(), ScriptState::Normal, keywords, whole), ScriptState::InTripleString);

    std::vector<std::size_t> lineStarts = {0};
    for (std::size_t i = 0; i < script.size(); ++i)
        if (script[i] == '\n') lineStarts.push_back(i + 1);
    std::vector<ScriptStyle> part;
    for (std::size_t start : lineStarts) {
        for (std::size_t end : lineStarts) {
            if (end < start) continue;
            const ScriptState state = start == 0 ? ScriptState::Normal : stateAfterLineEndStyled(whole[start - 1]);
            const ScriptState after = styleScript(script, start, end, state, keywords, part);
            ASSERT_EQ(part, std::vector<ScriptStyle>(whole.begin() + std::ptrdiff_t(start),
                                                     whole.begin() + std::ptrdiff_t(end)))
                << "bytes " << start << " to " << end;
            if (end > 0) {
                EXPECT_EQ(after, stateAfterLineEndStyled(whole[end - 1])) << start << " to " << end;
            }
        }
    }
}

TEST(KeywordSet, MatchesInAnyAsciiLetterCaseOnly)
{
    const KeywordSet set(std::vector<std::string>{"Blur", "BLUR", "Größe", ""});
    EXPECT_EQ(set.size(), 2u);
    EXPECT_TRUE(set.contains("bLuR"));
    EXPECT_TRUE(set.contains("GRößE"));
    EXPECT_FALSE(set.contains("GRÖSSE"));
    EXPECT_FALSE(set.contains("Blu"));
    EXPECT_FALSE(set.contains(""));
}

// Enough names that many share a first probe: each is found in another
// case, each once, and nothing one letter longer or shorter is.
TEST(KeywordSet, FindsEveryNameOfALargeSetAndNothingElse)
{
    std::vector<std::string> names;
    for (int i = 0; i < 5000; ++i) names.push_back("Filter" + std::to_string(i));
    names.push_back("FILTER17");
    const KeywordSet set(names);
    EXPECT_EQ(set.size(), 5000u);
    for (int i = 0; i < 5000; ++i) {
        const std::string lower = "filter" + std::to_string(i);
        ASSERT_TRUE(set.contains(lower)) << lower;
        ASSERT_FALSE(set.contains(lower + "x")) << lower;
        ASSERT_FALSE(set.contains(std::string_view(lower).substr(1))) << lower;
    }
}

} // namespace
} // namespace cw
