#include "ui/editor/code_sense.h"

#include "core/editor/completion_list.h"
#include "core/editor/source_call.h"
#include "core/editor/script_styler.h"
#include "ui/base/palette_colours.h"
#include "ui/base/qt_strings.h"
#include "ui/editor/avisynth_lexer.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include <QEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QMimeData>
#include <QFontInfo>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace cw {
namespace {

QFont scriptFont()
{
    if (QFontDatabase::families().contains(QStringLiteral("Courier New")))
        return QFont(QStringLiteral("Courier New"), 10);
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

// Tips and the completion list use Tahoma where it exists, else the sans
// font that the system would put in its place.
QFont tipFont()
{
    QFont font(QStringLiteral("Tahoma"), 8);
    font.setStyleHint(QFont::SansSerif);
    font.setFamily(QFontInfo(font).family());
    return font;
}

constexpr char listSeparator = '\n';
// Off the default "?", which filter names such as "???" may hold.
constexpr char listTypeSeparator = '\x1f';
constexpr int completionListId = 1;
constexpr int errorMarker = 1;
constexpr int markerMargin = 1;

ScriptStyle styleOf(CodeSense::SyntaxItem item)
{
    switch (item) {
    case CodeSense::SyntaxItem::Keywords:
        return ScriptStyle::Keyword;
    case CodeSense::SyntaxItem::Strings:
        return ScriptStyle::String;
    case CodeSense::SyntaxItem::Comments:
        break;
    }
    return ScriptStyle::Comment;
}

unsigned long styleNumber(ScriptStyle style)
{
    return static_cast<unsigned long>(style);
}

// The editor reports colours as 0xBBGGRR.
Rgb rgbOf(long colour)
{
    return {static_cast<int>(colour & 0xff), static_cast<int>((colour >> 8) & 0xff),
            static_cast<int>((colour >> 16) & 0xff)};
}

} // namespace

CodeSense::CodeSense(QWidget* parent) : QWidget(parent), m_sci(new QsciScintilla(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_sci);
    setFocusProxy(m_sci);

    m_sci->setUtf8(true);
    m_sci->setFont(scriptFont());
    m_sci->setEolMode(QsciScintilla::EolWindows);
    m_sci->setMarginLineNumbers(0, true);
    m_sci->setMarginWidth(0, QStringLiteral("00000"));
    m_sci->setContextMenuPolicy(Qt::CustomContextMenu);
    m_sci->markerDefine(QsciScintilla::Circle, errorMarker);
    m_sci->setMarkerBackgroundColor(QColor(220, 30, 30), errorMarker);
    m_sci->setMarkerForegroundColor(QColor(150, 0, 0), errorMarker);
    m_sci->setMarginType(markerMargin, QsciScintilla::SymbolMargin);
    m_sci->setMarginWidth(markerMargin, 0);
    m_sci->setMarginMarkerMask(markerMargin, 1 << errorMarker);

    connect(m_sci, &QsciScintilla::textChanged, this, &CodeSense::textChangedByUser);
    // The editor raises the request itself, so the window's handler sees it
    // only when passed on.
    connect(m_sci, &QWidget::customContextMenuRequested, this, &QWidget::customContextMenuRequested);
    connect(m_sci, &QsciScintillaBase::SCN_CHARADDED, this, &CodeSense::charAdded);
    // An edit of the line an error names takes the mark away.
    connect(m_sci, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int, int, int, int, int, int, int) {
                if (!(type & (QsciScintilla::SC_MOD_INSERTTEXT | QsciScintilla::SC_MOD_DELETETEXT))) return;
                const int marked = errorMarkLine();
                if (marked < 0) return;
                const int line = static_cast<int>(
                    m_sci->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position)));
                if (line == marked) clearErrorMark();
            });
    connect(m_sci, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { emit caretMoved(); });
    connect(m_sci, &QsciScintilla::userListActivated, this, [this](int id, const QString& text) {
        if (id == completionListId) emit completionChosen(text);
    });
    m_sci->viewport()->installEventFilter(this);
}

void CodeSense::releaseKeys(const QList<QKeySequence>& keys)
{
    // The editor would otherwise claim these keys before the window's
    // shortcuts see them.
    QsciCommandSet* commands = m_sci->standardCommands();
    for (const QKeySequence& sequence : keys) {
        if (sequence.isEmpty()) continue;
        const int key = sequence[0].toCombined();
        while (QsciCommand* cmd = commands->boundTo(key)) {
            if (cmd->key() == key)
                cmd->setKey(0);
            else
                cmd->setAlternateKey(0);
        }
    }
}

QString CodeSense::rightsNotice()
{
    return QStringLiteral("Editor component: QScintilla %1, Copyright (c) Riverbank Computing Limited. "
                          "All rights reserved.")
        .arg(QStringLiteral(QSCINTILLA_VERSION_STR));
}

QString CodeSense::text() const
{
    return fromUtf8String(textUtf8());
}

std::string CodeSense::textUtf8() const
{
    const auto length = static_cast<std::size_t>(m_sci->SendScintilla(QsciScintilla::SCI_GETLENGTH));
    const auto* bytes = reinterpret_cast<const char*>(
        m_sci->SendScintilla(QsciScintilla::SCI_GETCHARACTERPOINTER));
    return bytes ? std::string(bytes, length) : std::string();
}

void CodeSense::setScript(const DecodedText& script)
{
    const QSignalBlocker block(m_sci);
    m_encoding = script.encoding;
    m_sci->setEolMode(script.lineEnd == "\n" ? QsciScintilla::EolUnix : QsciScintilla::EolWindows);
    m_sci->SendScintilla(QsciScintilla::SCI_CLEARALL);
    m_sci->SendScintilla(QsciScintilla::SCI_APPENDTEXT, static_cast<unsigned long>(script.utf8.size()),
                         script.utf8.data());
    m_sci->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
    m_sci->SendScintilla(QsciScintilla::SCI_SETSAVEPOINT);
    m_sci->SendScintilla(QsciScintilla::SCI_GOTOPOS, 0UL);
    clearErrorMark();
}

std::string CodeSense::lineEnd() const
{
    return m_sci->eolMode() == QsciScintilla::EolUnix ? "\n" : "\r\n";
}

QString CodeSense::selectedText() const
{
    return m_sci->selectedText();
}

void CodeSense::replaceSelectedText(const QString& text)
{
    m_sci->replaceSelectedText(text);
}

void CodeSense::insertTextAtCaret(const QString& text)
{
    replaceSelectedText(text);
    setSelection(getSelection(true));
    focusEditor();
}

CodeSense::Range CodeSense::getSelection(bool normalise) const
{
    Range r;
    if (!m_sci->hasSelectedText()) {
        m_sci->getCursorPosition(&r.start.line, &r.start.column);
        r.end = r.start;
        return r;
    }
    const long anchor = m_sci->SendScintilla(QsciScintilla::SCI_GETANCHOR);
    const long caret = m_sci->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
    m_sci->lineIndexFromPosition(static_cast<int>(anchor), &r.start.line, &r.start.column);
    m_sci->lineIndexFromPosition(static_cast<int>(caret), &r.end.line, &r.end.column);
    if (normalise && (r.end.line < r.start.line || (r.end.line == r.start.line && r.end.column < r.start.column)))
        std::swap(r.start, r.end);
    return r;
}

void CodeSense::setSelection(const Range& range, bool scrollIntoView)
{
    m_sci->setSelection(range.start.line, range.start.column, range.end.line, range.end.column);
    if (scrollIntoView) m_sci->ensureCursorVisible();
}

void CodeSense::runCommand(int command)
{
    switch (command) {
    case cmdUpperCase:
        m_sci->SendScintilla(QsciScintilla::SCI_UPPERCASE);
        break;
    case cmdLowerCase:
        m_sci->SendScintilla(QsciScintilla::SCI_LOWERCASE);
        break;
    case cmdUndo:
        m_sci->undo();
        break;
    case cmdRedo:
        m_sci->redo();
        break;
    case cmdSelectAll:
        m_sci->selectAll(true);
        break;
    case cmdPaste:
        m_sci->paste();
        break;
    case cmdCut:
        m_sci->cut();
        break;
    case cmdCopy:
        m_sci->copy();
        break;
    case cmdDeleteBack:
        m_sci->SendScintilla(QsciScintilla::SCI_DELETEBACK);
        break;
    case cmdGoToLine:
    case cmdReplace:
    case cmdFindPrevious:
    case cmdFindNext:
    case cmdFind:
    case cmdCallTip:
        emit dialogCommand(command);
        break;
    default:
        break;
    }
}

void CodeSense::focusEditor()
{
    m_sci->setFocus(Qt::OtherFocusReason);
}

void CodeSense::markErrorAt(int line, int column)
{
    clearErrorMark();
    line = std::clamp(line, 0, std::max(0, m_sci->lines() - 1));
    m_sci->markerAdd(line, errorMarker);
    m_sci->setMarginWidth(markerMargin, QStringLiteral("00"));
    setSelection({{line, column}, {line, column}});
    focusEditor();
}

// The marker's margin takes room only while a line is marked.
void CodeSense::clearErrorMark()
{
    m_sci->markerDeleteAll(errorMarker);
    m_sci->setMarginWidth(markerMargin, 0);
}

int CodeSense::errorMarkLine() const
{
    return m_sci->markerFindNext(0, 1u << errorMarker);
}

void CodeSense::windowMoved()
{
    m_sci->SendScintilla(QsciScintilla::SCI_CALLTIPCANCEL);
    m_sci->SendScintilla(QsciScintilla::SCI_AUTOCCANCEL);
}

QWidget* CodeSense::editorWidget() const
{
    return m_sci;
}

bool CodeSense::isModifiedSinceSave() const
{
    return m_sci->isModified();
}

void CodeSense::markSaved()
{
    m_sci->setModified(false);
}

void CodeSense::registerScriptLanguage(std::span<const std::string> keywords)
{
    if (!m_lexer) {
        m_lexer = new AvisynthLexer(m_sci);
        m_lexer->setScriptFont(scriptFont());
    }
    m_lexer->setKeywords(keywords);
}

bool CodeSense::selectLanguage(const QString& name)
{
    if (!m_lexer || name != QLatin1String(m_lexer->language())) return false;
    m_sci->setLexer(m_lexer);
    return true;
}

void CodeSense::setKeywords(std::span<const std::string> keywords)
{
    if (m_lexer) m_lexer->setKeywords(keywords);
}

void CodeSense::setColours(const EditorColours& colours)
{
    const QColor paper = toQColor(colours.paper);
    const QColor text = toQColor(colours.text);
    if (m_lexer) {
        m_lexer->setPaper(paper);
        m_lexer->setColor(text);
        m_lexer->setColor(toQColor(colours.numbers), static_cast<int>(ScriptStyle::Number));
        m_lexer->setColor(toQColor(colours.keywords), static_cast<int>(ScriptStyle::Keyword));
        m_lexer->setColor(toQColor(colours.strings), static_cast<int>(ScriptStyle::String));
        m_lexer->setColor(toQColor(colours.comments), static_cast<int>(ScriptStyle::Comment));
    }
    // The paper below the last line.
    m_sci->SendScintilla(QsciScintillaBase::SCI_STYLESETBACK, QsciScintillaBase::STYLE_DEFAULT, paper);
    m_sci->SendScintilla(QsciScintillaBase::SCI_STYLESETFORE, QsciScintillaBase::STYLE_DEFAULT, text);
    m_sci->setCaretForegroundColor(text);
    m_sci->setMarginsBackgroundColor(toQColor(colours.margin));
    m_sci->setMarginsForegroundColor(toQColor(colours.lineNumbers));
}

EditorColours CodeSense::colours() const
{
    const auto fore = [this](unsigned long style) {
        return rgbOf(m_sci->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, style));
    };
    const auto back = [this](unsigned long style) {
        return rgbOf(m_sci->SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, style));
    };
    return {
        .paper = back(styleNumber(ScriptStyle::Default)),
        .text = fore(styleNumber(ScriptStyle::Default)),
        .numbers = fore(styleNumber(ScriptStyle::Number)),
        .keywords = fore(styleNumber(ScriptStyle::Keyword)),
        .strings = fore(styleNumber(ScriptStyle::String)),
        .comments = fore(styleNumber(ScriptStyle::Comment)),
        .margin = back(QsciScintillaBase::STYLE_LINENUMBER),
        .lineNumbers = fore(QsciScintillaBase::STYLE_LINENUMBER),
    };
}

// The selection follows the desktop like any other widget's; the rest is
// the colour scheme's, which the receiver of paletteChanged applies.
void CodeSense::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange) return;
    m_sci->setSelectionBackgroundColor(palette().color(QPalette::Highlight));
    m_sci->setSelectionForegroundColor(palette().color(QPalette::HighlightedText));
    emit paletteChanged();
}

void CodeSense::setSyntaxFontStyle(SyntaxItem item, bool bold, bool italic)
{
    if (!m_lexer) return;
    const int style = static_cast<int>(styleOf(item));
    QFont font = m_lexer->font(style);
    font.setBold(bold);
    font.setItalic(italic);
    m_lexer->setFont(font, style);
}

int CodeSense::styleAt(std::size_t pos) const
{
    const long endStyled = m_sci->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
    if (static_cast<long>(pos) >= endStyled)
        m_sci->SendScintilla(QsciScintillaBase::SCI_COLOURISE, static_cast<unsigned long>(endStyled),
                             static_cast<long>(pos + 1));
    return static_cast<int>(m_sci->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)));
}

std::string_view CodeSense::scriptBytes() const
{
    const auto length = static_cast<std::size_t>(m_sci->SendScintilla(QsciScintilla::SCI_GETLENGTH));
    const auto* bytes = reinterpret_cast<const char*>(m_sci->SendScintilla(QsciScintilla::SCI_GETCHARACTERPOINTER));
    return bytes ? std::string_view(bytes, length) : std::string_view();
}

std::size_t CodeSense::caretByte() const
{
    return static_cast<std::size_t>(m_sci->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS));
}

void CodeSense::replaceRange(std::size_t start, std::size_t end, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    m_sci->beginUndoAction();
    m_sci->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, static_cast<unsigned long>(start));
    m_sci->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, static_cast<unsigned long>(end));
    m_sci->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()),
                         bytes.constData());
    m_sci->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(start + bytes.size()));
    m_sci->endUndoAction();
}

void CodeSense::showCallTip(std::size_t pos, const QString& text)
{
    const unsigned long tip = QsciScintillaBase::STYLE_CALLTIP;
    const QFont font = tipFont();
    m_sci->SendScintilla(QsciScintillaBase::SCI_CALLTIPUSESTYLE, 0UL);
    m_sci->SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, tip, font.family().toUtf8().constData());
    m_sci->SendScintilla(QsciScintillaBase::SCI_STYLESETSIZE, tip, static_cast<long>(font.pointSize()));
    m_sci->SendScintilla(QsciScintillaBase::SCI_STYLESETBOLD, tip, 0L);
    m_sci->SendScintilla(QsciScintillaBase::SCI_STYLESETITALIC, tip, 0L);
    const QColor paper = toQColor(m_tipColours.paper);
    const QColor ink = toQColor(m_tipColours.text);
    m_sci->SendScintilla(QsciScintillaBase::SCI_STYLESETBACK, tip, paper);
    m_sci->SendScintilla(QsciScintillaBase::SCI_STYLESETFORE, tip, ink);
    m_sci->SendScintilla(QsciScintillaBase::SCI_CALLTIPSETBACK, paper);
    m_sci->SendScintilla(QsciScintillaBase::SCI_CALLTIPSETFORE, ink);
    m_sci->SendScintilla(QsciScintillaBase::SCI_CALLTIPSETFOREHLT, toQColor(m_tipColours.highlight));
    m_callTipText = text;
    m_callTipHighlight = {0, 0};
    m_sci->SendScintilla(QsciScintillaBase::SCI_CALLTIPSHOW, static_cast<unsigned long>(pos),
                         text.toUtf8().constData());
}

void CodeSense::setCallTipHighlight(std::size_t start, std::size_t end)
{
    m_callTipHighlight = {start, end};
    m_sci->SendScintilla(QsciScintillaBase::SCI_CALLTIPSETHLT, static_cast<unsigned long>(start),
                         static_cast<long>(end));
}

void CodeSense::cancelCallTip()
{
    m_sci->SendScintilla(QsciScintillaBase::SCI_CALLTIPCANCEL);
}

bool CodeSense::callTipActive() const
{
    return m_sci->SendScintilla(QsciScintillaBase::SCI_CALLTIPACTIVE) != 0;
}

std::string CodeSense::completionList(std::span<const std::string> names)
{
    return buildCompletionList(names, listSeparator);
}

void CodeSense::showCompletionList(const std::string& list, const std::string& selected)
{
    if (list.empty()) return;
    m_sci->SendScintilla(QsciScintillaBase::SCI_AUTOCSETSEPARATOR, static_cast<unsigned long>(listSeparator));
    m_sci->SendScintilla(QsciScintillaBase::SCI_AUTOCSETTYPESEPARATOR,
                         static_cast<unsigned long>(listTypeSeparator));
    m_sci->SendScintilla(QsciScintillaBase::SCI_AUTOCSETIGNORECASE, 1UL);
    // Shown in the program's order; the editor searches a sorted copy.
    m_sci->SendScintilla(QsciScintillaBase::SCI_AUTOCSETORDER, static_cast<unsigned long>(QsciScintillaBase::SC_ORDER_CUSTOM));
    m_sci->SendScintilla(QsciScintillaBase::SCI_AUTOCSETMAXHEIGHT, 10UL);
    m_sci->SendScintilla(QsciScintillaBase::SCI_USERLISTSHOW, static_cast<unsigned long>(completionListId),
                         list.c_str());
    m_sci->SendScintilla(QsciScintillaBase::SCI_AUTOCSELECT, 0UL, selected.c_str());

    // The editor offers no call for the list's colours: its list widget
    // takes them through its palette.
    for (QListWidget* popup : m_sci->findChildren<QListWidget*>()) {
        QPalette palette = popup->palette();
        palette.setColor(QPalette::Base, toQColor(m_tipColours.paper));
        palette.setColor(QPalette::Text, toQColor(m_tipColours.text));
        popup->setPalette(palette);
        popup->setFont(tipFont());
    }
}

bool CodeSense::isCompletionListActive() const
{
    return m_sci->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE) != 0;
}

QString CodeSense::completionCurrentText() const
{
    const long length = m_sci->SendScintilla(QsciScintillaBase::SCI_AUTOCGETCURRENTTEXT, 0UL, static_cast<void*>(nullptr));
    QByteArray bytes(static_cast<int>(length) + 1, '\0');
    m_sci->SendScintilla(QsciScintillaBase::SCI_AUTOCGETCURRENTTEXT, 0UL, static_cast<void*>(bytes.data()));
    bytes.truncate(static_cast<int>(length));
    return QString::fromUtf8(bytes);
}

int CodeSense::searchFlags(SearchOptions options) const
{
    return (options.matchCase ? QsciScintillaBase::SCFIND_MATCHCASE : 0) |
           (options.wholeWord ? QsciScintillaBase::SCFIND_WHOLEWORD : 0);
}

long CodeSense::searchRange(const QByteArray& what, long from, long to)
{
    m_sci->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, static_cast<unsigned long>(from));
    m_sci->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, static_cast<unsigned long>(to));
    return m_sci->SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, static_cast<unsigned long>(what.size()),
                                what.constData());
}

bool CodeSense::find(const QString& what, SearchOptions options, bool forward)
{
    if (what.isEmpty()) return false;
    const QByteArray bytes = what.toUtf8();
    const long length = m_sci->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    m_sci->SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(searchFlags(options)));
    long found = -1;
    if (forward) {
        const long from = m_sci->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
        found = searchRange(bytes, from, length);
        if (found < 0) found = searchRange(bytes, 0, length);
    } else {
        const long from = m_sci->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
        found = searchRange(bytes, from, 0);
        if (found < 0) found = searchRange(bytes, length, 0);
    }
    if (found < 0) return false;
    const long end = m_sci->SendScintilla(QsciScintillaBase::SCI_GETTARGETEND);
    m_sci->SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(found), end);
    return true;
}

bool CodeSense::replace(const QString& what, const QString& with, SearchOptions options)
{
    if (what.isEmpty()) return false;
    const long start = m_sci->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long end = m_sci->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
    m_sci->SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(searchFlags(options)));
    if (start != end && searchRange(what.toUtf8(), start, end) == start &&
        m_sci->SendScintilla(QsciScintillaBase::SCI_GETTARGETEND) == end) {
        const QByteArray replacement = with.toUtf8();
        m_sci->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, static_cast<unsigned long>(replacement.size()),
                             replacement.constData());
        const long after = start + replacement.size();
        m_sci->SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(after), after);
    }
    return find(what, options, true);
}

int CodeSense::replaceAll(const QString& what, const QString& with, SearchOptions options)
{
    if (what.isEmpty()) return 0;
    const QByteArray bytes = what.toUtf8();
    const QByteArray replacement = with.toUtf8();
    m_sci->SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(searchFlags(options)));
    int count = 0;
    long from = 0;
    m_sci->beginUndoAction();
    for (;;) {
        const long length = m_sci->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        if (searchRange(bytes, from, length) < 0) break;
        m_sci->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, static_cast<unsigned long>(replacement.size()),
                             replacement.constData());
        from = m_sci->SendScintilla(QsciScintillaBase::SCI_GETTARGETEND);
        ++count;
    }
    m_sci->endUndoAction();
    return count;
}

int CodeSense::lineCount() const
{
    return m_sci->lines();
}

void CodeSense::goToLine(int line)
{
    m_sci->setCursorPosition(line, 0);
    m_sci->ensureLineVisible(line);
    m_sci->ensureCursorVisible();
}

namespace {

// The local media files a drag carries; none when it carries anything else.
QStringList droppedMediaFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile() || !isMediaFile(toUtf8String(url.toLocalFile()))) return {};
        paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

bool CodeSense::dropFiles(const QStringList& paths, QPoint at)
{
    QStringList calls;
    for (const QString& path : paths) {
        if (!isMediaFile(toUtf8String(path))) return false;
        const std::string call = sourceCallText(toUtf8String(m_sourceFilter), toUtf8String(path));
        if (call.empty()) return false;
        calls << fromUtf8String(call);
    }
    if (calls.isEmpty()) return false;
    const auto pos = static_cast<std::size_t>(m_sci->SendScintilla(
        QsciScintillaBase::SCI_POSITIONFROMPOINT, static_cast<unsigned long>(std::max(0, at.x())),
        static_cast<long>(std::max(0, at.y()))));
    replaceRange(pos, pos, calls.join(fromUtf8String(lineEnd())));
    focusEditor();
    return true;
}

// Media files are taken here; every other drag is the editor's.
bool CodeSense::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_sci->viewport()) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (droppedMediaFiles(drag->mimeData()).isEmpty()) break;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!dropFiles(droppedMediaFiles(drop->mimeData()), drop->position().toPoint())) break;
        drop->acceptProposedAction();
        return true;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace cw
