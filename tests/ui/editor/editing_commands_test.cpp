#include "ui/editor/find_dialog.h"
#include "ui/editor/go_to_line_dialog.h"

#include "editor_support.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace cw {
namespace {

using test::EditorFixture;

void run(EditorFixture& f, CodeSense::Command command)
{
    f.editor.runCommand(command);
    QCoreApplication::processEvents();
}

TEST(EditingCommands, CommentAndUncommentTheSelection)
{
    const struct {
        const char *script, *lineEnd;
        CodeSense::Range selection;
        const char* commented;
    } rows[] = {
        {"a\nb\nc", "\n", {{0, 0}, {2, 0}}, "#a\n#b\n#c"},
        {"a\r\nb\r\nc", "\r\n", {{0, 0}, {1, 1}}, "#a\r\n#b\r\nc"},
        {"x = Subtitle(\"Take #2\")", "\r\n", {{0, 4}, {0, 23}}, "x = #Subtitle(\"Take #2\")"},
        {"ab", "\r\n", {{0, 1}, {0, 1}}, "a#b"},
    };
    EditorFixture f;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.script);
        f.setScript(row.script, row.lineEnd);
        f.editor.setSelection(row.selection);
        f.editing.commentSelection();
        EXPECT_EQ(f.text(), row.commented);

        // Comment again, then uncomment once: one marker per line goes.
        f.editor.runCommand(CodeSense::cmdSelectAll);
        f.editing.commentSelection();
        f.editor.runCommand(CodeSense::cmdSelectAll);
        f.editing.uncommentSelection();
        EXPECT_EQ(f.text(), row.commented);
    }
}

TEST(EditingCommands, InsertingReplacesTheSelectionAndLeavesTheCaretBehind)
{
    EditorFixture f;
    f.setScript("a = XX + 1");
    f.editor.setSelection({{0, 6}, {0, 4}});
    f.editor.insertTextAtCaret("Blur(c,\r\n 2)");
    EXPECT_EQ(f.text(), "a = Blur(c,\r\n 2) + 1");
    EXPECT_EQ(f.editor.getSelection(false), (CodeSense::Range{{1, 3}, {1, 3}}));

    // A chosen file's path goes in unquoted; a cancelled dialog inserts nothing.
    f.setScript("src = ");
    f.press(Qt::Key_End);
    f.dialogs.choices.push_back({"/clips/my holiday/a b.avi"});
    f.editing.insertFilePath();
    f.editing.insertFilePath();
    EXPECT_EQ(f.text(), "src = /clips/my holiday/a b.avi");
    EXPECT_EQ(f.editor.caretByte(), f.text().size());
    ASSERT_EQ(f.dialogs.requests.size(), 2u);
    EXPECT_EQ(f.dialogs.requests[0].title, "Insert file path");
}

TEST(EditingCommands, FindWrapsRoundTheScriptAndReplaceAllIsOneUndoStep)
{
    EditorFixture f;
    f.setScript("Blur a\r\nblur b\r\nBLUR c");
    run(f, CodeSense::cmdFind);
    auto* dialog = f.window.findChild<FindDialog*>("FindDialog");
    ASSERT_NE(dialog, nullptr);
    const auto field = [&](const char* name) { return dialog->findChild<QLineEdit*>(name); };
    const auto button = [&](const char* name) { return dialog->findChild<QPushButton*>(name); };
    const auto status = [&] { return dialog->findChild<QLabel*>("status")->text(); };
    EXPECT_FALSE(field("replaceWith")->isVisible());
    field("findWhat")->setText("blur");
    const auto found = [&] {
        return f.editor.selectedText() + QString::number(f.editor.getSelection(false).end.line);
    };
    button("findNext")->click();
    EXPECT_EQ(found(), "Blur0");
    button("findNext")->click();
    EXPECT_EQ(found(), "blur1");
    run(f, CodeSense::cmdFindNext);
    EXPECT_EQ(found(), "BLUR2");
    run(f, CodeSense::cmdFindNext);
    EXPECT_EQ(found(), "Blur0");
    run(f, CodeSense::cmdFindPrevious);
    EXPECT_EQ(found(), "BLUR2");
    dialog->findChild<QCheckBox*>("matchCase")->setChecked(true);
    button("findNext")->click();
    EXPECT_EQ(found(), "blur1");
    field("findWhat")->setText("Sharpen");
    button("findNext")->click();
    EXPECT_EQ(status(), "Cannot find \"Sharpen\".");
    EXPECT_EQ(found(), "blur1");

    f.setScript("Blur(1) Blur(2) blurry Blur(3)");
    run(f, CodeSense::cmdReplace);
    EXPECT_TRUE(field("replaceWith")->isVisible());
    field("findWhat")->setText("blur");
    field("replaceWith")->setText("Sharpen");
    dialog->findChild<QCheckBox*>("matchCase")->setChecked(false);
    dialog->findChild<QCheckBox*>("wholeWord")->setChecked(true);
    button("replace")->click(); // the first click finds, the second replaces that match
    EXPECT_EQ(f.text(), "Blur(1) Blur(2) blurry Blur(3)");
    button("replace")->click();
    EXPECT_EQ(f.text(), "Sharpen(1) Blur(2) blurry Blur(3)");
    button("replaceAll")->click();
    EXPECT_EQ(f.text(), "Sharpen(1) Sharpen(2) blurry Sharpen(3)");
    EXPECT_EQ(status(), "2 replacements made.");
    run(f, CodeSense::cmdUndo);
    EXPECT_EQ(f.text(), "Sharpen(1) Blur(2) blurry Blur(3)");
}

TEST(EditingCommands, GoToLineTakesOnlyLinesOfTheScript)
{
    EditorFixture f;
    f.setScript("a\r\nb\r\nc\r\nd");
    run(f, CodeSense::cmdGoToLine);
    auto* dialog = f.window.findChild<GoToLineDialog*>("GoToLineDialog");
    ASSERT_NE(dialog, nullptr);
    auto* line = dialog->findChild<QSpinBox*>("lineNumber");
    EXPECT_EQ(line->minimum(), 1);
    line->setValue(9);
    EXPECT_EQ(line->value(), 4);
    line->setValue(3);
    dialog->accept();
    EXPECT_EQ(f.editor.getSelection(false).end, (CodeSense::Position{2, 0}));
}

} // namespace
} // namespace cw
