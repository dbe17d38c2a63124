#include "core/editor/script_styler.h"

#include "editor_support.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

using test::EditorFixture;

TEST(ScriptLanguage, TheEditorShowsTheStylesOfASampleScriptAndRestylesBelowAnEdit)
{
    // One letter per byte: Default ' ', Comment c, String s, Keyword k, Operator o, Number n, Identifier i.
    const std::pair<std::string, std::string> lines[] = {
        {R"(# Blur("x"), a comment)", "cccccccccccccccccccccc"},
        {R"(clip = avisource("a\"b.avi") + BLUR(last, 1.5))",
         "iiii o kkkkkkkkk ssssssssss  o kkkk iiii  nnn "},
        {R"(Subtitle('it\'s #1', x=10) == $FF)", "kkkkkkkk ssssssssss  ionn  oo nnn"},
    };
    EditorFixture f;
    f.setScript(lines[0].first + "\r\n" + lines[1].first + "\n" + lines[2].first);
    for (const auto& [line, expected] : lines) {
        SCOPED_TRACE(line);
        std::string styles;
        for (std::size_t i = f.text().find(line); styles.size() < line.size(); ++i)
            styles += " cskoni"[f.editor.styleAt(i)];
        EXPECT_EQ(styles, expected);
    }

    // An opened triple-quoted string restyles the lines below it.
    f.setScript("a = 1\r\nBlur(x)\r\nb = 2\r\n");
    const std::size_t blur = f.text().find("Blur");
    EXPECT_EQ(f.editor.styleAt(blur), static_cast<int>(ScriptStyle::Keyword));
    f.type("s = \"\"\"");
    EXPECT_EQ(f.editor.styleAt(blur + 7), static_cast<int>(ScriptStyle::String));
}

TEST(ScriptLanguage, NewKeywordsTakeEffectWithoutARestartDownToTheLastLine)
{
    EditorFixture f;
    std::string script;
    for (int i = 0; i < 3000; ++i)
        script += "Sharpen(last)\r\n";
    f.setScript(script);
    const std::size_t last = script.size() - 15;
    const auto style = [&](std::size_t at) { return static_cast<ScriptStyle>(f.editor.styleAt(at)); };
    EXPECT_EQ(style(last), ScriptStyle::Identifier);

    const std::vector<std::string> sharpen{"sharpen"};
    f.editor.setKeywords(sharpen);
    EXPECT_EQ(style(0), ScriptStyle::Keyword);
    EXPECT_EQ(style(last), ScriptStyle::Keyword);

    f.editor.setKeywords({});
    EXPECT_EQ(style(last), ScriptStyle::Identifier);
    EXPECT_EQ(style(last + 7), ScriptStyle::Default);
}

} // namespace
} // namespace cw
