#include "core/editor/script_styler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cw {
namespace {

const std::vector<std::string> filterNames = {"AviSource", "Blur", "Subtitle"};

// One letter per byte: Default ' ', Comment c, String s, Keyword k,
// Operator o, Number n, Identifier i.
std::string render(const std::vector<ScriptStyle>& styles)
{
    static constexpr char letters[] = " cskoni";
    std::string out;
    for (ScriptStyle s : styles)
        out += letters[static_cast<int>(s)];
    return out;
}

std::string styled(std::string_view text, const KeywordSet& keywords,
                   ScriptState state = ScriptState::Normal)
{
    std::vector<ScriptStyle> styles;
    styleScript(text, 0, text.size(), state, keywords, styles);
    return render(styles);
}

TEST(ScriptStyler, StylesEachKindOfToken)
{
    const KeywordSet keywords(filterNames);
    struct Row {
        std::string text;
        std::string expected;
    };
    const Row rows[] = {
        {R"(clip = AVISource("a\"b.avi")   # load)", "iiii o kkkkkkkkk ssssssssss    cccccc"},
        {R"(blur(clip, 1.5).subtitle('it\'s #1'))", "kkkk iiii  nnn okkkkkkkk ssssssssss "},
        {R"('a"b' "c'd" "" + x)", "sssss sssss ss o i"},
        {"x = a ? b : c", "i o i   i   i"},
        {"Version()?:$FF00FF;2x", "iiiiiii  oonnnnnnnonn"},
        {"a>>>=b!==c&&d|=e", "iooooioooiooiooi"},
        {"Blurry _Blur Blur2 Gr\xc3\xb6\xc3\x9f" "e", "iiiiii iiiii iiiii iiiiiii"},
        // A "..." string left open stops at its line end, even after "\".
        {"s = \"open\nBlur \"a\\\nBlur", "i o sssss kkkk sss kkkk"},
        {"a = \"\"\"x\n\"y\" # z\r\n\"\"\" + Blur", "i o sssss" "sssssss" "ss" "sss o kkkk"},
        {"# Blur(\"x\")\r\nBlur", "ccccccccccc  kkkk"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(styled(row.text, keywords), row.expected);
    }
}

TEST(ScriptStyler, WithoutKeywordsNamesAreIdentifiersAndTheRestIsUnchanged)
{
    EXPECT_EQ(styled("Blur(c, \"x\") # y", KeywordSet{}), "iiii i  sss  ccc");
}

TEST(ScriptStyler, ResumesInsideATripleQuotedString)
{
    const KeywordSet keywords(filterNames);
    std::vector<ScriptStyle> styles;
    const std::string text = "still text\"\"\" Blur\n";
    EXPECT_EQ(styleScript(text, 0, text.size(), ScriptState::InTripleString, keywords, styles),
              ScriptState::Normal);
    EXPECT_EQ(render(styles), "sssssssssssss kkkk ");

    const std::string open = "x = \"\"\"Blur\n";
    EXPECT_EQ(styleScript(open, 0, open.size(), ScriptState::Normal, keywords, styles),
              ScriptState::InTripleString);
}

// What the editor does: restyle from any line start, taking the state from
// the style of the line end before it, and get what a full pass gives.
TEST(ScriptStyler, AnyLineRangeStylesAsTheWholeDocumentDoes)
{
    const KeywordSet keywords(filterNames);
    const std::string script = "AviSource(\"a.avi\") # src\r\n"
                               "Subtitle(\"\"\"first\r\n"
                               "second, # not a comment\r\n"
                               "\"\"\", 'x\\'y')\n"
                               "\"unclosed\n"
                               "x = $FF >= 2 ? Blur(1.0) : last\r\n"
                               "\"\"\"open to the end\n"
                               "Blur\n";
    std::vector<ScriptStyle> whole;
    EXPECT_EQ(styleScript(script, 0, script.size(), ScriptState::Normal, keywords, whole),
              ScriptState::InTripleString);

    std::vector<std::size_t> lineStarts = {0};
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '\n')
            lineStarts.push_back(i + 1);
    }
    std::vector<ScriptStyle> part;
    for (std::size_t a = 0; a < lineStarts.size(); ++a) {
        for (std::size_t b = a; b < lineStarts.size(); ++b) {
            const std::size_t start = lineStarts[a];
            const std::size_t end = lineStarts[b];
            const ScriptState state =
                start == 0 ? ScriptState::Normal : stateAfterLineEndStyled(whole[start - 1]);
            const ScriptState after = styleScript(script, start, end, state, keywords, part);
            SCOPED_TRACE(testing::Message() << "lines " << a << " to " << b);
            ASSERT_EQ(part, std::vector<ScriptStyle>(whole.begin() + static_cast<std::ptrdiff_t>(start),
                                                     whole.begin() + static_cast<std::ptrdiff_t>(end)));
            if (end > 0) {
                EXPECT_EQ(after, stateAfterLineEndStyled(whole[end - 1]));
            }
        }
    }
}

TEST(ScriptStyler, ARangeEndingInsideATokenStylesItsBytesAsTheWholeToken)
{
    const KeywordSet keywords(filterNames);
    std::vector<ScriptStyle> styles;
    styleScript("x = Blur", 0, 6, ScriptState::Normal, keywords, styles);
    EXPECT_EQ(render(styles), "i o kk");
}

TEST(KeywordSet, MatchesInAnyAsciiLetterCaseOnly)
{
    const std::vector<std::string> names = {"Blur", "BLUR", "Größe", ""};
    const KeywordSet set(names);
    EXPECT_EQ(set.size(), 2u);
    EXPECT_TRUE(set.contains("bLuR"));
    EXPECT_TRUE(set.contains("GRößE"));
    EXPECT_FALSE(set.contains("GRÖSSE"));
    EXPECT_FALSE(set.contains("Blu"));
    EXPECT_FALSE(set.contains(""));
}

} // namespace
} // namespace cw
