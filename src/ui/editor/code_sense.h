#pragma once

#include "core/documents/text_encoding.h"

#include <QKeySequence>
#include <QList>
#include <QWidget>

#include <string>

class QsciScintilla;

namespace cw {

// The script pane. The only class that reaches QScintilla: the rest of the
// program sees the operations below, with positions as (line, column) and
// built-in commands by the program's own numbers.
class CodeSense : public QWidget {
    Q_OBJECT
public:
    struct Position {
        int line = 0;
        int column = 0;
        bool operator==(const Position&) const = default;
    };
    struct Range {
        Position start;
        Position end; // the caret when read un-normalised
        bool operator==(const Range&) const = default;
    };

    enum Command {
        cmdUpperCase = 125,
        cmdUndo = 129,
        cmdSelectAll = 137,
        cmdRedo = 139,
        cmdPaste = 140,
        cmdLowerCase = 147,
        cmdGoToLine = 168,
        cmdReplace = 169,
        cmdFindPrevious = 174,
        cmdFindNext = 176,
        cmdFind = 178,
        cmdDeleteBack = 194,
        cmdCut = 197,
        cmdCopy = 198,
        cmdCallTip = 243,
    };

    explicit CodeSense(QWidget* parent = nullptr);

    // The editor component's notice for the About box.
    static QString rightsNotice();

    QString text() const;
    // The document's bytes as UTF-8, NUL bytes included.
    std::string textUtf8() const;
    // Replaces the document, keeping its encoding and line end for saving;
    // clears the undo history and marks the text unchanged.
    void setScript(const DecodedText& script);
    TextEncoding encoding() const { return m_encoding; }
    void setEncoding(TextEncoding encoding) { m_encoding = encoding; }
    // "\r\n" for new scripts, else the loaded script's own line end.
    std::string lineEnd() const;

    QString selectedText() const;
    void replaceSelectedText(const QString& text);
    // Inserts at the caret; the caret stays in front of the text.
    void insertText(const QString& text);
    QString currentWord() const;
    QString lineText(int line) const;
    Range getSelection(bool normalise) const;
    void setSelection(const Range& range, bool scrollIntoView = true);
    void runCommand(int command);
    // The style of the token at the caret.
    int tokenClass() const;
    void focusEditor();
    // The main window moved: a floating tip or list would be left behind.
    void windowMoved();
    void showCallTip(const QString& text);
    bool callTipActive() const;
    bool isModifiedSinceSave() const;
    void markSaved();

    // Removes the editor's own bindings of keys that the program handles.
    void releaseKeys(const QList<QKeySequence>& keys);

    QsciScintilla* editor() const { return m_sci; }
    // The widget that takes the keyboard, for sending it keys.
    QWidget* editorWidget() const;

signals:
    // Find, replace and go to line need dialogs of the window that owns the pane.
    void dialogCommand(int command);
    void textChangedByUser();

private:
    QsciScintilla* m_sci;
    TextEncoding m_encoding = TextEncoding::Utf8;
};

} // namespace cw
