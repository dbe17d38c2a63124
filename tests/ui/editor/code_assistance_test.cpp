#include "editor_support.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

using test::EditorFixture;

TEST(CallTip, MarksTheArgumentAtTheCaretUntilTheCallCloses)
{
    EditorFixture f;
    f.type("x = Blur(");
    ASSERT_TRUE(f.editor().callTipActive());
    EXPECT_EQ(f.editor().callTipText(), " Blur(clip, amount, [MMX])");
    EXPECT_EQ(f.marked(), "clip");
    f.type("c, ");
    EXPECT_EQ(f.marked(), "amount");
    f.type("\"a,(b\", "); // a comma and a parenthesis inside a string separate nothing
    EXPECT_EQ(f.marked(), "[MMX]");
    f.type("x, ");
    EXPECT_TRUE(f.editor().callTipActive());
    EXPECT_EQ(f.marked(), "");
    f.type(")");
    EXPECT_FALSE(f.editor().callTipActive());

    // Moving the caret before the parenthesis closes the tip.
    f.setScript("");
    f.type("Blur(c");
    f.press(Qt::Key_Left);
    EXPECT_EQ(f.marked(), "clip");
    f.press(Qt::Key_Left);
    EXPECT_FALSE(f.editor().callTipActive());

    f.setScript("");
    // Commas before the call and inside a nested call do not count.
    f.type("a, b = Overlay(c, Blur(");
    EXPECT_EQ(f.editor().callTipText().left(6), " Blur(");
    EXPECT_EQ(f.marked(), "clip");
    // The nested call's ")" closes its tip and the outer call's comes back.
    f.press(Qt::Key_Return);
    f.setScript("");
    f.type("Overlay(Blur(c, 1), ");
    ASSERT_TRUE(f.editor().callTipActive());
    EXPECT_EQ(f.editor().callTipText().left(9), " Overlay(");
    EXPECT_EQ(f.marked(), "overlay");
    f.type("Unknown(");
    EXPECT_EQ(f.editor().callTipText().left(9), " Overlay(");
    f.type("x), 2)");
    EXPECT_FALSE(f.editor().callTipActive());
}

TEST(CallTip, NoTipForUnknownNamesCommentsStringsOrBareParentheses)
{
    for (const char* typed : {"Nope(", "# Blur(", "s = \"Blur(", "x = ("}) {
        SCOPED_TRACE(typed);
        EditorFixture f;
        f.type(typed);
        EXPECT_FALSE(f.editor().callTipActive());
    }
}

TEST(Completion, PreselectsTheNearestNameAndReplacesTheTypedWord)
{
    EditorFixture f;
    f.type("x = bl");
    f.press(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(f.editor().isCompletionListActive());
    EXPECT_EQ(f.editor().completionCurrentText(), "Blur");
    f.press(Qt::Key_Down);
    f.press(Qt::Key_Return);
    EXPECT_FALSE(f.editor().isCompletionListActive());
    EXPECT_EQ(f.text(), "x = BlurMore");
    EXPECT_EQ(f.editor().caretByte(), f.text().size());
}

// The editor gives up the keys the menu owns, so each shortcut runs once.
TEST(Keys, CtrlISelectsAllTabTypesATabAndMenuShortcutsRunOnce)
{
    EditorFixture f;
    const std::size_t promptsBefore = f.prompts.shown.size();
    f.setScript("ab");
    f.type("X");
    f.press(Qt::Key_End);
    f.type("Y");
    f.press(Qt::Key_Z, Qt::ControlModifier); // two separate edits: one undo undoes one
    EXPECT_EQ(f.text(), "Xab");
    f.press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(f.text(), "XabY");
    f.press(Qt::Key_Tab);
    f.press(Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(f.editor().selectedText(), "XabY\t");
    EXPECT_EQ(f.prompts.shown.size(), promptsBefore);
}

} // namespace
} // namespace cw
