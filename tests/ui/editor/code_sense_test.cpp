#include "ui/editor/code_sense.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

namespace cw {
namespace {

DecodedText script(const std::string& utf8, const std::string& lineEnd = "\r\n")
{
    return DecodedText{utf8, TextEncoding::Utf8, lineEnd};
}

TEST(CodeSense, SelectionsAndCommandsByTheProgramsNumbers)
{
    CodeSense editor;
    editor.setScript(script("blur(1.0)\r\nSharpen(0.5)\r\n"));
    const CodeSense::Range backwards{{1, 7}, {0, 4}};
    editor.setSelection(backwards);
    EXPECT_EQ(editor.getSelection(false), backwards);
    EXPECT_EQ(editor.getSelection(true), (CodeSense::Range{{0, 4}, {1, 7}}));
    EXPECT_EQ(editor.selectedText(), "(1.0)\r\nSharpen");

    editor.setSelection({{0, 0}, {0, 4}});
    editor.runCommand(CodeSense::cmdUpperCase);
    EXPECT_EQ(editor.textUtf8(), "BLUR(1.0)\r\nSharpen(0.5)\r\n");
    editor.runCommand(CodeSense::cmdUndo);
    editor.setSelection({{0, 0}, {0, 9}});
    editor.runCommand(CodeSense::cmdCopy);
    EXPECT_EQ(QApplication::clipboard()->text(), "blur(1.0)");
    editor.setSelection({{0, 9}, {0, 9}});
    editor.runCommand(CodeSense::cmdDeleteBack);
    editor.runCommand(CodeSense::cmdPaste);
    EXPECT_EQ(editor.textUtf8(), "blur(1.0blur(1.0)\r\nSharpen(0.5)\r\n");
}

TEST(CodeSense, NewScriptsUseCrLfAndLoadedOnesKeepTheirs)
{
    CodeSense editor;
    editor.show();
    editor.focusEditor();
    QTest::keyClicks(editor.editorWidget(), "a");
    QTest::keyClick(editor.editorWidget(), Qt::Key_Return);
    EXPECT_EQ(editor.textUtf8(), "a\r\n");

    editor.setScript(script("x\ny\n", "\n"));
    editor.setSelection({{1, 1}, {1, 1}});
    QTest::keyClick(editor.editorWidget(), Qt::Key_Return);
    EXPECT_EQ(editor.textUtf8(), "x\ny\n\n");
}

TEST(CodeSense, AWindows1252ScriptRoundTripsItsBytesNulIncluded)
{
    static const char raw[] = "Subtitle(\"caf\xE9 \x80 \x81\")\r\n\0end";
    const std::string bytes(raw, sizeof raw - 1);
    const DecodedText decoded = decodeText(bytes);
    ASSERT_EQ(decoded.encoding, TextEncoding::Windows1252);
    CodeSense editor;
    editor.setScript(decoded);
    EXPECT_FALSE(editor.isModifiedSinceSave());
    TextEncoding encoding = editor.encoding();
    EXPECT_EQ(encodeText(editor.textUtf8(), encoding), bytes);
    EXPECT_EQ(editor.textUtf8().substr(0, 26), "Subtitle(\"caf\xC3\xA9 \xE2\x82\xAC \xC2\x81\")\r\n");
}

// The mark of an error's line goes with the first edit of that line, not of another.
TEST(CodeSense, AnErrorMarkStaysUntilItsLineIsEdited)
{
    CodeSense editor;
    editor.setScript(script("a = 1\r\nBogus(2)\r\nc = 3\r\n"));
    editor.markErrorAt(1, 6);
    EXPECT_EQ(editor.errorMarkLine(), 1);
    EXPECT_EQ(editor.getSelection(true), (CodeSense::Range{{1, 6}, {1, 6}}));
    editor.setSelection({{2, 0}, {2, 0}});
    editor.replaceSelectedText("x");
    EXPECT_EQ(editor.errorMarkLine(), 1);
    editor.setSelection({{1, 0}, {1, 5}});
    editor.replaceSelectedText("Blur");
    EXPECT_EQ(editor.errorMarkLine(), -1);

    editor.markErrorAt(99, 0); // a line past the end marks the last one
    EXPECT_EQ(editor.errorMarkLine(), 3);
    editor.setScript(script("new"));
    EXPECT_EQ(editor.errorMarkLine(), -1);
}

} // namespace
} // namespace cw
