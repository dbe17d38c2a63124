#include "core/editor/script_styler.h"

#include "editor_support.h"

#include <QAction>

#include <gtest/gtest.h>

namespace cw {
namespace {

using test::EditorFixture;

// One letter per byte as the editor styled it: Default ' ', Comment c,
// String s, Keyword k, Operator o, Number n, Identifier i.
std::string styledLine(EditorFixture& f, std::size_t from, std::size_t length)
{
    static constexpr char letters[] = " cskoni";
    std::string out;
    for (std::size_t i = from; i < from + length; ++i)
        out += letters[f.editor().styleAt(i)];
    return out;
}

TEST(ScriptLanguage, TheEditorShowsTheStylesOfASampleScript)
{
    EditorFixture f;
    const std::string lines[] = {
        R"(# Blur("x"), a comment)",
        R"(clip = avisource("a\"b.avi") + BLUR(last, 1.5))",
        R"(Subtitle('it\'s #1', x=10) == $FF)",
    };
    const std::string expected[] = {
        "cccccccccccccccccccccc",
        "iiii o kkkkkkkkk ssssssssss  o kkkk iiii  nnn ",
        "kkkkkkkk ssssssssss  ionn  oo nnn",
    };
    f.setScript(lines[0] + "\r\n" + lines[1] + "\n" + lines[2]);
    const std::string text = f.text();
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        SCOPED_TRACE(lines[i]);
        EXPECT_EQ(styledLine(f, text.find(lines[i]), lines[i].size()), expected[i]);
    }
}

TEST(ScriptLanguage, SelectedWithTheProgramsColours)
{
    EditorFixture f;
    using Item = CodeSense::SyntaxItem;
    EXPECT_EQ(f.editor().syntaxColour(Item::Keywords), QColor(127, 0, 85));
    EXPECT_EQ(f.editor().syntaxColour(Item::Strings), QColor(0, 0, 255));
    EXPECT_EQ(f.editor().syntaxColour(Item::Comments), QColor(63, 127, 95));
    EXPECT_EQ(f.editor().syntaxColour(Item::LineNumbers), QColor(171, 171, 171));
}

TEST(ScriptLanguage, NewKeywordsTakeEffectWithoutARestartDownToTheLastLine)
{
    EditorFixture f;
    std::string script;
    for (int i = 0; i < 3000; ++i)
        script += "Sharpen(last)\r\n";
    f.setScript(script);
    const std::size_t last = script.size() - 15;
    EXPECT_EQ(f.editor().styleAt(last), static_cast<int>(ScriptStyle::Identifier));

    // Reloading definitions replaces the keywords.
    f.home.write("def/Test.xml", test::pluginXml(test::filterXml("sharpen", "")));
    f.form->command("mnuOptionsReloadDef")->trigger();
    EXPECT_EQ(f.editor().styleAt(0), static_cast<int>(ScriptStyle::Keyword));
    EXPECT_EQ(f.editor().styleAt(last), static_cast<int>(ScriptStyle::Keyword));

    f.home.write("def/Test.xml", test::pluginXml(""));
    f.form->command("mnuOptionsReloadDef")->trigger();
    EXPECT_EQ(f.editor().styleAt(last), static_cast<int>(ScriptStyle::Identifier));
    EXPECT_EQ(f.editor().styleAt(last + 7), static_cast<int>(ScriptStyle::Default));
}

TEST(ScriptLanguage, ATripleQuotedStringRestylesTheLinesBelowIt)
{
    EditorFixture f;
    f.setScript("a = 1\r\nBlur(x)\r\nb = 2\r\n");
    const std::size_t blur = f.text().find("Blur");
    EXPECT_EQ(f.editor().styleAt(blur), static_cast<int>(ScriptStyle::Keyword));
    f.type("s = \"\"\"");
    EXPECT_EQ(f.editor().styleAt(blur + 7), static_cast<int>(ScriptStyle::String));
}

} // namespace
} // namespace cw
