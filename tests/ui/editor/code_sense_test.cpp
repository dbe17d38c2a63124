#include "ui/editor/code_sense.h"

#include <QApplication>
#include <QAction>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

namespace cw {
namespace {

DecodedText script(const std::string& utf8, const std::string& lineEnd = "\r\n")
{
    DecodedText d;
    d.utf8 = utf8;
    d.lineEnd = lineEnd;
    return d;
}

TEST(CodeSenseSelection, IsReadAsLineAndColumnWithTheCaretAtTheEnd)
{
    CodeSense editor;
    editor.setScript(script("Blur(1.0)\r\nSharpen(0.5)\r\n"));
    const CodeSense::Range backwards{{1, 7}, {0, 4}};
    editor.setSelection(backwards);
    EXPECT_EQ(editor.getSelection(false), backwards);
    EXPECT_EQ(editor.getSelection(true), (CodeSense::Range{{0, 4}, {1, 7}}));
    EXPECT_EQ(editor.selectedText(), "(1.0)\r\nSharpen");
}

TEST(CodeSenseCommands, RunByTheProgramsNumbers)
{
    CodeSense editor;
    editor.setScript(script("blur(1.0)"));
    editor.setSelection({{0, 0}, {0, 4}});
    editor.runCommand(CodeSense::cmdUpperCase);
    EXPECT_EQ(editor.text(), "BLUR(1.0)");
    editor.runCommand(CodeSense::cmdLowerCase);
    EXPECT_EQ(editor.text(), "blur(1.0)");
    editor.runCommand(CodeSense::cmdUndo);
    EXPECT_EQ(editor.text(), "BLUR(1.0)");
    editor.runCommand(CodeSense::cmdRedo);
    EXPECT_EQ(editor.text(), "blur(1.0)");

    editor.runCommand(CodeSense::cmdSelectAll);
    editor.runCommand(CodeSense::cmdCopy);
    EXPECT_EQ(QApplication::clipboard()->text(), "blur(1.0)");
    editor.setSelection({{0, 9}, {0, 9}});
    editor.runCommand(CodeSense::cmdDeleteBack);
    EXPECT_EQ(editor.text(), "blur(1.0");
    editor.runCommand(CodeSense::cmdPaste);
    EXPECT_EQ(editor.text(), "blur(1.0blur(1.0)");

    int asked = 0;
    QObject::connect(&editor, &CodeSense::dialogCommand, [&](int command) { asked = command; });
    editor.runCommand(CodeSense::cmdGoToLine);
    EXPECT_EQ(asked, 168);
}

TEST(CodeSenseLineEnds, NewScriptsUseCrLfAndLoadedOnesKeepTheirs)
{
    CodeSense editor;
    editor.show();
    EXPECT_EQ(editor.lineEnd(), "\r\n");
    editor.focusEditor();
    QTest::keyClicks(editor.editorWidget(), "a");
    QTest::keyClick(editor.editorWidget(), Qt::Key_Return);
    EXPECT_EQ(editor.textUtf8(), "a\r\n");

    editor.setScript(script("x\ny\n", "\n"));
    EXPECT_EQ(editor.lineEnd(), "\n");
    editor.setSelection({{1, 1}, {1, 1}});
    QTest::keyClick(editor.editorWidget(), Qt::Key_Return);
    EXPECT_EQ(editor.textUtf8(), "x\ny\n\n");
}

TEST(CodeSenseEncoding, AWindows1252ScriptRoundTripsItsBytesNulIncluded)
{
    const std::string bytes("Subtitle(\"caf\xE9 \x80 \x81\")\r\n\0end", 28);
    const DecodedText decoded = decodeText(bytes);
    ASSERT_EQ(decoded.encoding, TextEncoding::Windows1252);
    CodeSense editor;
    editor.setScript(decoded);
    EXPECT_FALSE(editor.isModifiedSinceSave());
    TextEncoding encoding = editor.encoding();
    EXPECT_EQ(encodeText(editor.textUtf8(), encoding), bytes);
    EXPECT_EQ(editor.lineText(0), QString::fromUtf8("Subtitle(\"caf\xC3\xA9 \xE2\x82\xAC \xC2\x81\")\r\n"));
}

TEST(CodeSenseKeys, ReleasedKeysReachTheWindowsShortcuts)
{
    QWidget window;
    CodeSense* editor = new CodeSense(&window);
    int redo = 0;
    QAction* action = new QAction(&window);
    action->setShortcut(QKeySequence("Ctrl+Y"));
    window.addAction(action);
    QObject::connect(action, &QAction::triggered, [&] { ++redo; });
    editor->releaseKeys({QKeySequence("Ctrl+Y")});
    window.show();
    QApplication::setActiveWindow(&window);
    editor->focusEditor();
    QTest::keyClick(editor->editorWidget(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(redo, 1);
}

} // namespace
} // namespace cw
