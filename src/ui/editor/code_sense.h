#pragma once

#include "core/base/text_encoding.h"
#include "core/editor/colour_scheme.h"

#include <QKeySequence>
#include <QList>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

class QsciScintilla;

namespace cw {

class AvisynthLexer;

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
    // The one way generated text enters the script: replaces the selection,
    // leaves the caret right after the text with nothing selected, and gives
    // the editor the focus.
    void insertTextAtCaret(const QString& text);
    Range getSelection(bool normalise) const;
    void setSelection(const Range& range, bool scrollIntoView = true);
    void runCommand(int command);
    void focusEditor();
    // Puts the caret at (line, column), counted from 0, and marks the line in
    // the margin as the one an error names, until that line is edited or
    // the mark is cleared.
    void markErrorAt(int line, int column);
    void clearErrorMark();
    // The line that carries the error mark, or -1.
    int errorMarkLine() const;
    // The main window moved: a floating tip or list would be left behind.
    void windowMoved();
    bool isModifiedSinceSave() const;
    void markSaved();

    // Removes the editor's own bindings of keys that the program handles.
    void releaseKeys(const QList<QKeySequence>& keys);

    // The widget that takes the keyboard, for sending it keys.
    QWidget* editorWidget() const;

    // The script language. Registering creates "Avisynth" once; selecting
    // attaches a registered language by name (false for any other name).
    enum class SyntaxItem { Keywords, Strings, Comments };
    void registerScriptLanguage(std::span<const std::string> keywords);
    bool selectLanguage(const QString& name);
    // Replaces the highlighted names and restyles the script.
    void setKeywords(std::span<const std::string> keywords);
    // The paper and text colours of every style, the caret and the margin;
    // the styles' part needs the registered language.
    void setColours(const EditorColours& colours);
    // The colours as the editor shows them.
    EditorColours colours() const;
    void setSyntaxFontStyle(SyntaxItem item, bool bold, bool italic);
    // For tips and completion lists shown from now on.
    void setTipColours(const TipColours& colours) { m_tipColours = colours; }
    const TipColours& tipColours() const { return m_tipColours; }
    // The style (a ScriptStyle) of the byte at pos, styling up to it first.
    int styleAt(std::size_t pos) const;

    // The document as UTF-8 without a copy; valid until the next change.
    std::string_view scriptBytes() const;
    std::size_t caretByte() const;
    // Replaces the bytes [start, end) by text as one undo step; the caret
    // ends after the new text with nothing selected.
    void replaceRange(std::size_t start, std::size_t end, const QString& text);

    // A call tip below the byte pos (else the caret), in the program's tip
    // font and colours.
    void showCallTip(std::size_t pos, const QString& text);
    void showCallTip(const QString& text) { showCallTip(caretByte(), text); }
    // Marks the bytes [start, end) of the tip text; an empty range marks nothing.
    void setCallTipHighlight(std::size_t start, std::size_t end);
    void cancelCallTip();
    bool callTipActive() const;
    QString callTipText() const { return m_callTipText; }
    std::pair<std::size_t, std::size_t> callTipHighlight() const { return m_callTipHighlight; }

    // The names in their own order, as showCompletionList takes them: built
    // once for a set of names, then shown any number of times.
    static std::string completionList(std::span<const std::string> names);
    // A list from completionList with the item `selected` chosen; a choice
    // raises completionChosen and leaves the text to the receiver.
    void showCompletionList(const std::string& list, const std::string& selected);
    bool isCompletionListActive() const;
    QString completionCurrentText() const;

    struct SearchOptions {
        bool matchCase = false;
        bool wholeWord = false;
    };
    // Selects the next match after the selection (before it when !forward),
    // wrapping round the document once; false when there is none.
    bool find(const QString& what, SearchOptions options, bool forward);
    // Replaces the selection when it is a match, then selects the next one.
    bool replace(const QString& what, const QString& with, SearchOptions options);
    // Replaces every match as one undo step; the number replaced.
    int replaceAll(const QString& what, const QString& with, SearchOptions options);
    int lineCount() const;
    // Puts the caret at the start of line (from 0) and scrolls it into view.
    void goToLine(int line);

    // Media files dropped on the script become calls of this source filter
    // where they are dropped, one a line (source_call.h).
    void setSourceFilter(const QString& name) { m_sourceFilter = name; }
    // As a drop of local files at (x, y) of the editor's view: whether
    // they were media files and went into the script.
    bool dropFiles(const QStringList& paths, QPoint at);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // Find, replace and go to line need dialogs of the window that owns the pane.
    void dialogCommand(int command);
    void textChangedByUser();
    void charAdded(int character);
    void caretMoved();
    void completionChosen(const QString& text);
    // The desktop's colours changed while the program runs.
    void paletteChanged();

protected:
    void changeEvent(QEvent* event) override;

private:
    int searchFlags(SearchOptions options) const;
    // The first match in [from, to) (searched backwards when from > to), or -1.
    long searchRange(const QByteArray& what, long from, long to);

    QsciScintilla* m_sci;
    AvisynthLexer* m_lexer = nullptr;
    TextEncoding m_encoding = TextEncoding::Utf8;
    QString m_callTipText;
    std::pair<std::size_t, std::size_t> m_callTipHighlight;
    TipColours m_tipColours = lightTipColours;
    QString m_sourceFilter = QStringLiteral("FFVideoSource");
};

} // namespace cw
