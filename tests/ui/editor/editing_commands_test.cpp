#include "ui/editor/find_dialog.h"
#include "ui/editor/go_to_line_dialog.h"

#include "editor_support.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace cw {
namespace {

using test::EditorFixture;

void run(EditorFixture& f, const char* name)
{
    f.form->command(QString::fromUtf8(name))->trigger();
    QCoreApplication::processEvents();
}

TEST(EditingCommands, CommentAndUncommentTheSelectionFromTheMenu)
{
    struct Row {
        const char* script;
        const char* lineEnd;
        CodeSense::Range selection;
        const char* commented;
    };
    const Row rows[] = {
        {"a\nb\nc", "\n", {{0, 0}, {2, 0}}, "#a\n#b\n#c"},
        {"a\r\nb\r\nc", "\r\n", {{0, 0}, {1, 1}}, "#a\r\n#b\r\nc"},
        {"x = Subtitle(\"Take #2\")", "\r\n", {{0, 4}, {0, 23}}, "x = #Subtitle(\"Take #2\")"},
        {"ab", "\r\n", {{0, 1}, {0, 1}}, "a#b"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.script);
        EditorFixture f;
        f.setScript(row.script, row.lineEnd);
        f.editor().setSelection(row.selection);
        run(f, "mnuCommentBlock");
        EXPECT_EQ(f.text(), row.commented);

        // Comment again, then uncomment once: one marker per line goes.
        const std::string once = f.text();
        f.editor().runCommand(CodeSense::cmdSelectAll);
        run(f, "mnuCommentBlock");
        f.editor().runCommand(CodeSense::cmdSelectAll);
        run(f, "mnuUncommentBlock");
        EXPECT_EQ(f.text(), once);
    }
}

TEST(EditingCommands, InsertFilePathPutsThePathUnquotedAtTheCaret)
{
    EditorFixture f;
    f.setScript("src = ");
    f.press(Qt::Key_End);
    f.dialogs.choices.push_back({"/clips/my holiday/a b.avi"});
    run(f, "mnuInsertFilePath");
    EXPECT_EQ(f.text(), "src = /clips/my holiday/a b.avi");
    EXPECT_EQ(f.editor().caretByte(), f.text().size());
    ASSERT_EQ(f.dialogs.requests.size(), 1u);
    EXPECT_EQ(f.dialogs.requests[0].title, "Insert file path");
    EXPECT_FALSE(f.dialogs.requests[0].save);
    EXPECT_TRUE(f.dialogs.requests[0].mustExist);

    run(f, "mnuInsertFilePath"); // cancelled
    EXPECT_EQ(f.text(), "src = /clips/my holiday/a b.avi");
}

TEST(EditingCommands, InsertTextAtCaretReplacesTheSelectionAndLeavesTheCaretBehind)
{
    EditorFixture f;
    f.setScript("a = XX + 1");
    f.editor().setSelection({{0, 6}, {0, 4}});
    f.form->insertTextAtCaret("Blur(c,\r\n 2)");
    EXPECT_EQ(f.text(), "a = Blur(c,\r\n 2) + 1");
    EXPECT_EQ(f.editor().getSelection(false), (CodeSense::Range{{1, 3}, {1, 3}}));
    EXPECT_TRUE(f.editor().selectedText().isEmpty());
}

TEST(EditingCommands, FindNextAndPreviousWrapRoundTheScript)
{
    EditorFixture f;
    f.setScript("Blur a\r\nblur b\r\nBLUR c");
    run(f, "mnuSearchFind");
    auto* dialog = f.form->findChild<FindDialog*>("FindDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->findChild<QLineEdit*>("replaceWith")->isVisible());
    dialog->findChild<QLineEdit*>("findWhat")->setText("blur");
    auto* next = dialog->findChild<QPushButton*>("findNext");
    const auto caretLine = [&] { return f.editor().getSelection(false).end.line; };

    next->click();
    EXPECT_EQ(f.editor().selectedText(), "Blur");
    EXPECT_EQ(caretLine(), 0);
    next->click();
    EXPECT_EQ(caretLine(), 1);
    run(f, "mnuFindNext");
    EXPECT_EQ(caretLine(), 2);
    run(f, "mnuFindNext");
    EXPECT_EQ(caretLine(), 0);
    run(f, "mnuFindPrev");
    EXPECT_EQ(caretLine(), 2);
    EXPECT_EQ(f.editor().selectedText(), "BLUR");

    dialog->findChild<QCheckBox*>("matchCase")->setChecked(true);
    next->click();
    EXPECT_EQ(f.editor().selectedText(), "blur");
    EXPECT_EQ(caretLine(), 1);

    dialog->findChild<QLineEdit*>("findWhat")->setText("Sharpen");
    next->click();
    EXPECT_EQ(dialog->findChild<QLabel*>("status")->text(), "Cannot find \"Sharpen\".");
    EXPECT_EQ(f.editor().selectedText(), "blur");
}

TEST(EditingCommands, ReplaceOneThenAllAsOneUndoStep)
{
    EditorFixture f;
    f.setScript("Blur(1) Blur(2) blurry Blur(3)");
    run(f, "mnuSearchReplace");
    auto* dialog = f.form->findChild<FindDialog*>("FindDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->findChild<QLineEdit*>("replaceWith")->isVisible());
    dialog->findChild<QLineEdit*>("findWhat")->setText("blur");
    dialog->findChild<QLineEdit*>("replaceWith")->setText("Sharpen");
    dialog->findChild<QCheckBox*>("wholeWord")->setChecked(true);

    // The first click finds, the second replaces that match.
    dialog->findChild<QPushButton*>("replace")->click();
    EXPECT_EQ(f.text(), "Blur(1) Blur(2) blurry Blur(3)");
    dialog->findChild<QPushButton*>("replace")->click();
    EXPECT_EQ(f.text(), "Sharpen(1) Blur(2) blurry Blur(3)");

    dialog->findChild<QPushButton*>("replaceAll")->click();
    EXPECT_EQ(f.text(), "Sharpen(1) Sharpen(2) blurry Sharpen(3)");
    EXPECT_EQ(dialog->findChild<QLabel*>("status")->text(), "2 replacements made.");
    run(f, "mnuPopupUndo");
    EXPECT_EQ(f.text(), "Sharpen(1) Blur(2) blurry Blur(3)");
}

TEST(EditingCommands, GoToLineTakesOnlyLinesOfTheScript)
{
    EditorFixture f;
    f.setScript("a\r\nb\r\nc\r\nd");
    run(f, "mnuGotoLine");
    auto* dialog = f.form->findChild<GoToLineDialog*>("GoToLineDialog");
    ASSERT_NE(dialog, nullptr);
    auto* line = dialog->findChild<QSpinBox*>("lineNumber");
    EXPECT_EQ(line->minimum(), 1);
    EXPECT_EQ(line->maximum(), 4);
    line->setValue(9);
    EXPECT_EQ(line->value(), 4);
    line->setValue(3);
    dialog->accept();
    EXPECT_EQ(f.editor().getSelection(false).end, (CodeSense::Position{2, 0}));
}

TEST(EditingCommands, RightClickShowsTheEditMenu)
{
    EditorFixture f;
    QWidget* shown = nullptr;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activePopupWidget();
        if (shown) shown->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20), f.viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(f.viewport(), &event);
    EXPECT_EQ(shown, f.form->menu("mnuPopup"));
}

} // namespace
} // namespace cw
