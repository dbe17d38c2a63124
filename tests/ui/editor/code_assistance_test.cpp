#include "editor_support.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

using test::EditorFixture;

TEST(CallTip, MarksTheArgumentAtTheCaretUntilTheCallCloses)
{
    EditorFixture f;
    f.type("x = Blur(");
    ASSERT_TRUE(f.editor.callTipActive());
    EXPECT_EQ(f.editor.callTipText(), " Blur(clip, amount, [MMX])");
    EXPECT_EQ(f.marked(), "clip");
    f.type("c, ");
    EXPECT_EQ(f.marked(), "amount");
    f.type("\"a,(b\", "); // a comma and a parenthesis inside a string separate nothing
    EXPECT_EQ(f.marked(), "[MMX]");
    f.type("x, ");
    EXPECT_TRUE(f.editor.callTipActive());
    EXPECT_EQ(f.marked(), "");
    f.type(")");
    EXPECT_FALSE(f.editor.callTipActive());

    // Moving the caret before the parenthesis closes the tip.
    f.setScript("");
    f.type("Blur(c");
    f.press(Qt::Key_Left);
    EXPECT_EQ(f.marked(), "clip");
    f.press(Qt::Key_Left);
    EXPECT_FALSE(f.editor.callTipActive());

    // The nested call's ")" closes its tip and the outer call's comes back.
    f.setScript("");
    f.type("Overlay(Blur(c, 1), ");
    ASSERT_TRUE(f.editor.callTipActive());
    EXPECT_EQ(f.editor.callTipText().left(9), " Overlay(");
    EXPECT_EQ(f.marked(), "overlay");
    f.type("2)");
    EXPECT_FALSE(f.editor.callTipActive());
}

TEST(CallTip, NoTipForUnknownNamesCommentsStringsOrBareParentheses)
{
    EditorFixture f;
    for (const char* typed : {"Nope(", "# Blur(", "s = \"Blur(", "x = ("}) {
        f.setScript("");
        f.type(typed);
        EXPECT_FALSE(f.editor.callTipActive()) << typed;
    }
}

// Once typing pauses, the script's own functions have tips and are offered;
// one of a loaded filter's name takes its place.
TEST(CallTip, FunctionsTheScriptDefinesHaveTipsOnceTypingPauses)
{
    EditorFixture f;
    f.setScript("function Soften(clip c, float \"r\") { c }\r\nfunction blur(c) { c }\r\n");
    f.press(Qt::Key_End, Qt::ControlModifier);
    f.type("Soften(");
    EXPECT_FALSE(f.editor.callTipActive());
    QTest::qWait(ScriptFunctionWatcher::pauseMs + 100);
    f.press(Qt::Key_Return);
    f.type("Soften(");
    ASSERT_TRUE(f.editor.callTipActive());
    EXPECT_EQ(f.editor.callTipText(), " Soften(c, [r])");
    f.type("x, ");
    EXPECT_EQ(f.marked(), "[r]");
    f.press(Qt::Key_Return);
    f.type("blur(");
    EXPECT_EQ(f.editor.callTipText(), " blur(c)");

    f.press(Qt::Key_Return);
    f.type("sof");
    f.press(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(f.editor.isCompletionListActive());
    EXPECT_EQ(f.editor.completionCurrentText(), "Soften");
}

TEST(Completion, PreselectsTheNearestNameAndReplacesTheTypedWord)
{
    EditorFixture f;
    f.type("x = bl");
    f.press(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(f.editor.isCompletionListActive());
    EXPECT_EQ(f.editor.completionCurrentText(), "Blur");
    f.press(Qt::Key_Down);
    f.press(Qt::Key_Return);
    EXPECT_FALSE(f.editor.isCompletionListActive());
    EXPECT_EQ(f.text(), "x = BlurMore");
    EXPECT_EQ(f.editor.caretByte(), f.text().size());
}

} // namespace
} // namespace cw
