#include "core/editor/script_styler.h"

#include "editor_support.h"

#include <QAction>

#include <gtest/gtest.h>

namespace cw {
namespace {

using test::EditorFixture;

TEST(CallTip, OpensOnTheParenthesisAndMarksTheArgumentAtTheCaret)
{
    EditorFixture f;
    f.type("x = Blur(");
    ASSERT_TRUE(f.editor().callTipActive());
    EXPECT_EQ(f.editor().callTipText(), " Blur(clip, amount, [MMX])");
    EXPECT_EQ(f.marked(), "clip");

    f.type("c, ");
    EXPECT_EQ(f.marked(), "amount");
    // A comma and a parenthesis inside a string separate nothing.
    f.type("\"a,(b\", ");
    EXPECT_EQ(f.marked(), "[MMX]");
    f.type("x, ");
    EXPECT_TRUE(f.editor().callTipActive());
    EXPECT_EQ(f.marked(), "");
    f.type(")");
    EXPECT_FALSE(f.editor().callTipActive());
}

TEST(CallTip, CountsFromTheCallsOwnParenthesis)
{
    EditorFixture f;
    // Commas before the call and inside a nested call do not count.
    f.type("a, b = Overlay(c, Blur(");
    EXPECT_EQ(f.editor().callTipText().left(6), " Blur(");
    EXPECT_EQ(f.marked(), "clip");

    f.press(Qt::Key_Return);
    f.setScript("");
    f.type("Overlay(Blur(c, 1), ");
    // The nested call's tip replaced the outer one and closed with its ")".
    EXPECT_FALSE(f.editor().callTipActive());
}

TEST(CallTip, ClosesWhenTheCaretMovesBeforeTheParenthesis)
{
    EditorFixture f;
    f.type("Blur(c");
    ASSERT_TRUE(f.editor().callTipActive());
    f.press(Qt::Key_Left);
    EXPECT_TRUE(f.editor().callTipActive());
    EXPECT_EQ(f.marked(), "clip");
    f.press(Qt::Key_Left);
    EXPECT_FALSE(f.editor().callTipActive());
}

TEST(CallTip, NoTipForUnknownNamesCommentsStringsOrBareParentheses)
{
    struct Row {
        const char* typed;
    };
    for (const Row& row : {Row{"Nope("}, Row{"# Blur("}, Row{"s = \"Blur("}, Row{"x = ("}}) {
        SCOPED_TRACE(row.typed);
        EditorFixture f;
        f.type(row.typed);
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
    EXPECT_EQ(f.editor().completionCurrentText(), "BlurMore");
    f.press(Qt::Key_Return);
    EXPECT_FALSE(f.editor().isCompletionListActive());
    EXPECT_EQ(f.text(), "x = BlurMore");
    EXPECT_EQ(f.editor().caretByte(), f.text().size());
    EXPECT_TRUE(f.form->filterNames().contains("BlurMore"));
}

TEST(Completion, IndexOfTheTypedWord)
{
    EditorFixture f;
    struct Row {
        const char* word;
        int index;
    };
    for (const Row& row : {Row{"", 0}, Row{"bLURm", 2}, Row{"sub", 4}, Row{"zzz", 0}, Row{"Blurry", 0}}) {
        SCOPED_TRACE(row.word);
        EXPECT_EQ(f.form->completionIndexFor(QString::fromUtf8(row.word)), row.index);
    }
    f.type("x = ");
    f.press(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(f.editor().completionCurrentText(), "AviSource");
}

TEST(Keys, CtrlISelectsAllTabTypesATabAndMenuShortcutsRunOnce)
{
    EditorFixture f;
    const std::size_t promptsBefore = f.prompts.shown.size();
    f.setScript("ab");
    f.type("X");
    f.press(Qt::Key_End);
    f.type("Y");
    EXPECT_EQ(f.text(), "XabY");

    // Two separate edits: one Ctrl+Z undoes one of them.
    f.press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.text(), "Xab");
    f.press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(f.text(), "XabY");

    f.press(Qt::Key_Tab);
    EXPECT_EQ(f.text(), "XabY\t");
    f.press(Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(f.editor().selectedText(), "XabY\t");
    EXPECT_EQ(f.prompts.shown.size(), promptsBefore);
}

} // namespace
} // namespace cw
