#include "ui/editor/code_sense.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include <QFontDatabase>
#include <QVBoxLayout>

namespace cw {
namespace {

QFont scriptFont()
{
    if (QFontDatabase::families().contains(QStringLiteral("Courier New")))
        return QFont(QStringLiteral("Courier New"), 10);
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
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

    connect(m_sci, &QsciScintilla::textChanged, this, &CodeSense::textChangedByUser);
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
    return QString::fromStdString(textUtf8());
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

void CodeSense::insertText(const QString& text)
{
    m_sci->insert(text);
}

QString CodeSense::currentWord() const
{
    int line = 0;
    int index = 0;
    m_sci->getCursorPosition(&line, &index);
    return m_sci->wordAtLineIndex(line, index);
}

QString CodeSense::lineText(int line) const
{
    return m_sci->text(line);
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

int CodeSense::tokenClass() const
{
    const long pos = m_sci->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
    return static_cast<int>(m_sci->SendScintilla(QsciScintilla::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)));
}

void CodeSense::focusEditor()
{
    m_sci->setFocus(Qt::OtherFocusReason);
}

void CodeSense::windowMoved()
{
    m_sci->SendScintilla(QsciScintilla::SCI_CALLTIPCANCEL);
    m_sci->SendScintilla(QsciScintilla::SCI_AUTOCCANCEL);
}

void CodeSense::showCallTip(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    m_sci->SendScintilla(QsciScintilla::SCI_CALLTIPSHOW,
                         static_cast<unsigned long>(m_sci->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS)),
                         utf8.constData());
}

bool CodeSense::callTipActive() const
{
    return m_sci->SendScintilla(QsciScintilla::SCI_CALLTIPACTIVE) != 0;
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

} // namespace cw
