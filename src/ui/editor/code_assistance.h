#pragma once

#include "core/editor/call_tip_tracker.h"

#include <QObject>
#include <QString>

#include <string>

namespace cw {

class CodeSense;
struct CFilter;
class DefinitionModel;

// Help while typing in the script pane: the call tip of the call being
// typed with its current argument marked, and the completion list of every
// loaded filter name and every function the script defines (Ctrl+Space).
// What to show comes from the two models, the script's first; which call is
// open comes from the core's tracker.
class CodeAssistance : public QObject {
    Q_OBJECT
public:
    CodeAssistance(CodeSense& editor, const DefinitionModel& model, const DefinitionModel& scriptModel);

    // The call signature shown for a filter title; "???" for an unknown one.
    QString callTextFor(const QString& name) const;
    void showCompletionList();
    // The loaded names or the script's own changed; the completion list is
    // built again when next shown, and only then.
    void namesChanged();

private:
    void openCallTip();
    void showCallTipFor(const CallStart& call);
    void updateCallTip();
    void chooseCompletion(const QString& choice);
    QString nameOf(const CallStart& call) const;
    const CFilter* findFilter(const std::string& title) const;

    CodeSense& m_editor;
    const DefinitionModel& m_model;
    const DefinitionModel& m_scriptModel;
    CallTipTracker m_calls;
    std::vector<std::string> m_names; // both models' names in the list's order
    std::string m_completionList;     // of m_names; empty until shown
};

} // namespace cw
