#include "ui/editor/code_assistance.h"

#include "core/browser/filter_description.h"
#include "core/editor/completion_list.h"
#include "core/editor/script_styler.h"
#include "ui/base/qt_strings.h"
#include "ui/editor/code_sense.h"

#include <QAction>

namespace cw {

CodeAssistance::CodeAssistance(CodeSense& editor, const DefinitionModel& model, const DefinitionModel& scriptModel)
    : m_editor(editor), m_model(model), m_scriptModel(scriptModel)
{
    connect(&m_editor, &CodeSense::charAdded, this, [this](int character) {
        if (character == '(') openCallTip();
    });
    connect(&m_editor, &CodeSense::caretMoved, this, &CodeAssistance::updateCallTip);
    connect(&m_editor, &CodeSense::completionChosen, this, &CodeAssistance::chooseCompletion);
    connect(&m_editor, &CodeSense::dialogCommand, this, [this](int command) {
        if (command == CodeSense::cmdCallTip) openCallTip();
    });

    // A key that no menu item carries.
    auto* completion = new QAction(&m_editor);
    completion->setObjectName(QStringLiteral("editorCompletion"));
    completion->setShortcut(QKeySequence(QStringLiteral("Ctrl+Space")));
    completion->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_editor.addAction(completion);
    connect(completion, &QAction::triggered, this, &CodeAssistance::showCompletionList);
}

// A function the script defines hides one of the same name elsewhere, as
// it does when the script runs.
const CFilter* CodeAssistance::findFilter(const std::string& title) const
{
    const CFilter* own = m_scriptModel.findFilterByTitle(title);
    return own ? own : m_model.findFilterByTitle(title);
}

QString CodeAssistance::callTextFor(const QString& name) const
{
    const CFilter* filter = findFilter(toUtf8String(name));
    return fromUtf8String(filter ? filterCallText(*filter) : std::string("???"));
}

QString CodeAssistance::nameOf(const CallStart& call) const
{
    return fromUtf8String(m_editor.scriptBytes().substr(call.name.start, call.name.end - call.name.start));
}

void CodeAssistance::openCallTip()
{
    // A "(" typed in a comment or a string opens no tip.
    const auto isCode = [this](std::size_t at) {
        const auto style = static_cast<ScriptStyle>(m_editor.styleAt(at));
        return style == ScriptStyle::Keyword || style == ScriptStyle::Identifier || style == ScriptStyle::Default;
    };
    const std::optional<CallStart> call =
        m_calls.open(m_editor.scriptBytes(), m_editor.caretByte(), m_editor.callTipActive(), isCode);
    if (!call) return;
    showCallTipFor(*call);
    updateCallTip();
}

void CodeAssistance::showCallTipFor(const CallStart& call)
{
    m_editor.showCallTip(call.name.start, QStringLiteral(" ") + callTextFor(nameOf(call)));
}

void CodeAssistance::updateCallTip()
{
    const auto isKnown = [this](const CallStart& call) {
        return findFilter(toUtf8String(nameOf(call))) != nullptr;
    };
    const CallTipTracker::Update update =
        m_calls.update(m_editor.scriptBytes(), m_editor.caretByte(), m_editor.callTipActive(), isKnown);
    if (update.close) m_editor.cancelCallTip();
    if (!update.tip) return;
    if (update.tip->reshow) showCallTipFor(update.tip->call);
    const std::optional<ByteRange> range =
        callTextParameterRange(toUtf8String(m_editor.callTipText().mid(1)), update.tip->argument);
    if (range)
        m_editor.setCallTipHighlight(range->start + 1, range->end + 1);
    else
        m_editor.setCallTipHighlight(0, 0);
}

// The list is built once per change of the names, at the first Ctrl+Space.
void CodeAssistance::showCompletionList()
{
    if (m_names.empty()) {
        m_names = m_model.filterNames();
        if (!m_scriptModel.filterNames().empty()) {
            m_names.insert(m_names.end(), m_scriptModel.filterNames().begin(), m_scriptModel.filterNames().end());
            sortNames(m_names);
        }
        if (m_names.empty()) return;
        m_completionList = CodeSense::completionList(m_names);
    }
    const std::string_view text = m_editor.scriptBytes();
    const std::size_t caret = m_editor.caretByte();
    const std::size_t start = typedWordStart(text, caret);
    const std::string word(text.substr(start, caret - start));
    // The editor cannot show a tip and a list at once.
    m_editor.cancelCallTip();
    const std::size_t selected = findNameIndex(m_names, word);
    m_editor.showCompletionList(m_completionList, m_names[selected < m_names.size() ? selected : 0]);
}

void CodeAssistance::namesChanged()
{
    m_names.clear();
    m_completionList.clear();
}

void CodeAssistance::chooseCompletion(const QString& choice)
{
    const std::size_t caret = m_editor.caretByte();
    m_editor.replaceRange(typedWordStart(m_editor.scriptBytes(), caret), caret, choice);
    m_editor.focusEditor();
}

} // namespace cw
