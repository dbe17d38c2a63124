#include "ui/app/form1.h"

#include "core/browser/filter_description.h"
#include "core/editor/call_tip_scanner.h"
#include "core/editor/comment_block.h"
#include "core/editor/completion_list.h"
#include "core/editor/script_styler.h"
#include "ui/editor/code_sense.h"
#include "ui/editor/find_dialog.h"
#include "ui/editor/go_to_line_dialog.h"
#include "ui/winsvc/c_file_dialog.h"

#include <QAction>

#include <functional>

namespace cw {
namespace {

// The tip shows the call text behind one blank.
const QString unknownCallTip = QStringLiteral(" ???");

} // namespace

void Form1::RegisterAvisynth_Scripting()
{
    if (m_languageRegistered) return;
    m_languageRegistered = true;
    m_codeSense->registerScriptLanguage(m_model.filterNames());
}

QStringList Form1::filterNames() const
{
    QStringList names;
    names.reserve(static_cast<qsizetype>(m_model.filterNames().size()));
    for (const std::string& name : m_model.filterNames()) names << QString::fromStdString(name);
    return names;
}

QString Form1::callTextFor(const QString& name) const
{
    return QString::fromStdString(getFilterCallText(m_model, name.toStdString()));
}

int Form1::completionIndexFor(const QString& word) const
{
    return static_cast<int>(m_model.findNameIndex(word.toStdString()));
}

void Form1::connectCodeAssistance()
{
    connect(m_codeSense, &CodeSense::charAdded, this, [this](int character) {
        if (character == '(') openCallTip();
    });
    connect(m_codeSense, &CodeSense::caretMoved, this, &Form1::updateCallTip);
    connect(m_codeSense, &CodeSense::completionChosen, this, &Form1::chooseCompletion);
    connect(m_codeSense, &CodeSense::dialogCommand, this, &Form1::runEditorDialog);

    // Keys that no menu item carries; the menu shortcuts run through their
    // actions alone.
    const auto addKey = [this](const char* name, const char* key, const std::function<void()>& handler) {
        auto* action = new QAction(m_codeSense);
        action->setObjectName(QString::fromUtf8(name));
        action->setShortcut(QKeySequence(QString::fromUtf8(key)));
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_codeSense->addAction(action);
        connect(action, &QAction::triggered, this, handler);
    };
    addKey("editorSelectAll", "Ctrl+I", [this] { m_codeSense->runCommand(CodeSense::cmdSelectAll); });
    addKey("editorCompletion", "Ctrl+Space", [this] { showCompletionList(); });
}

void Form1::openCallTip()
{
    const std::string_view text = m_codeSense->scriptBytes();
    const std::size_t caret = m_codeSense->caretByte();
    if (caret == 0) return;
    const std::optional<CallStart> call = findCallStart(text, caret - 1);
    if (!call) return;
    // A "(" typed in a comment or a string opens no tip.
    const auto style = static_cast<ScriptStyle>(m_codeSense->styleAt(call->name.start));
    if (style != ScriptStyle::Keyword && style != ScriptStyle::Identifier && style != ScriptStyle::Default) return;

    // The call being typed in stays below the nested one, so its tip comes
    // back when the nested call is closed.
    if (!m_codeSense->callTipActive()) m_openCalls.clear();
    m_openCalls.push_back(*call);
    showCallTipFor(*call);
    updateCallTip();
}

void Form1::showCallTipFor(const CallStart& call)
{
    const std::string_view text = m_codeSense->scriptBytes();
    const QString name = QString::fromUtf8(text.data() + call.name.start,
                                           static_cast<qsizetype>(call.name.end - call.name.start));
    m_codeSense->showCallTip(call.name.start, QStringLiteral(" ") + callTextFor(name));
}

// Counts from the call's own "(" rather than from the line start, so text
// in front of the call and the commas and ")" of nested calls or strings do
// not move the mark or close the tip.
void Form1::updateCallTip()
{
    if (m_openCalls.empty()) return;
    if (!m_codeSense->callTipActive()) {
        m_openCalls.clear();
        return;
    }
    const std::string_view text = m_codeSense->scriptBytes();
    const std::size_t caret = m_codeSense->caretByte();
    std::optional<int> argument;
    bool shown = true;
    while (!m_openCalls.empty()) {
        if (!shown) showCallTipFor(m_openCalls.back());
        shown = true;
        argument = m_codeSense->callTipText() == unknownCallTip
                       ? std::nullopt
                       : callArgumentAt(text, m_openCalls.back().anchor, caret);
        if (argument) break;
        m_openCalls.pop_back();
        shown = false;
    }
    if (!argument) {
        m_codeSense->cancelCallTip();
        return;
    }
    const QString tip = m_codeSense->callTipText();
    const std::optional<ByteRange> range = callTextParameterRange(tip.mid(1).toStdString(), *argument);
    if (range)
        m_codeSense->setCallTipHighlight(range->start + 1, range->end + 1);
    else
        m_codeSense->setCallTipHighlight(0, 0);
}

void Form1::showCompletionList()
{
    if (m_model.filterNames().empty()) return;
    const std::string_view text = m_codeSense->scriptBytes();
    const std::size_t caret = m_codeSense->caretByte();
    const std::size_t start = typedWordStart(text, caret);
    const QString word = QString::fromUtf8(text.data() + start, static_cast<qsizetype>(caret - start));
    // The editor cannot show a tip and a list at once.
    m_codeSense->cancelCallTip();
    m_codeSense->showCompletionList(m_model.filterNames(), completionIndexFor(word));
}

void Form1::chooseCompletion(const QString& choice)
{
    const std::size_t caret = m_codeSense->caretByte();
    m_codeSense->replaceRange(typedWordStart(m_codeSense->scriptBytes(), caret), caret, choice);
    m_codeSense->focusEditor();
}

void Form1::commentSelection()
{
    const std::string selected = m_codeSense->selectedText().toStdString();
    m_codeSense->replaceSelectedText(QString::fromStdString(commentBlock(selected)));
}

void Form1::uncommentSelection()
{
    const std::string selected = m_codeSense->selectedText().toStdString();
    m_codeSense->replaceSelectedText(QString::fromStdString(uncommentBlock(selected)));
}

void Form1::insertFilePath()
{
    const QString path = CFileDialog::chooseFile(this, 1, QStringLiteral("All files (*.*)|*.*"),
                                                 QStringLiteral("Insert file path"));
    if (!path.isEmpty()) insertTextAtCaret(path);
}

void Form1::insertTextAtCaret(const QString& text)
{
    m_codeSense->replaceSelectedText(text);
    m_codeSense->setSelection(m_codeSense->getSelection(true));
    m_codeSense->focusEditor();
}

void Form1::runEditorDialog(int command)
{
    if (command == CodeSense::cmdCallTip) {
        openCallTip();
        return;
    }
    if (command == CodeSense::cmdGoToLine) {
        auto* dialog = new GoToLineDialog(m_codeSense, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
        return;
    }
    if (!m_findDialog) m_findDialog = new FindDialog(m_codeSense, this);
    switch (command) {
    case CodeSense::cmdFind:
        m_findDialog->openFor(false);
        break;
    case CodeSense::cmdReplace:
        m_findDialog->openFor(true);
        break;
    case CodeSense::cmdFindNext:
    case CodeSense::cmdFindPrevious:
        if (!m_findDialog->findAgain(command == CodeSense::cmdFindNext)) m_findDialog->openFor(false);
        break;
    default:
        break;
    }
}

} // namespace cw
