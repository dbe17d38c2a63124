#pragma once

#include "core/editor/call_tip_tracker.h"

#include <QObject>
#include <QString>

#include <string>

namespace cw {

class CodeSense;
class DefinitionModel;

// Help while typing in the script pane: the call tip of the call being
// typed with its current argument marked, and the completion list of every
// loaded filter name (Ctrl+Space). What to show comes from the model; which
// call is open comes from the core's tracker.
class CodeAssistance : public QObject {
    Q_OBJECT
public:
    CodeAssistance(CodeSense& editor, const DefinitionModel& model);

    // The call signature shown for a filter title; "???" for an unknown one.
    QString callTextFor(const QString& name) const;
    void showCompletionList();
    // The model was loaded anew; the completion list is built again when
    // next shown, and only then.
    void definitionsLoaded();

private:
    void openCallTip();
    void showCallTipFor(const CallStart& call);
    void updateCallTip();
    void chooseCompletion(const QString& choice);
    QString nameOf(const CallStart& call) const;

    CodeSense& m_editor;
    const DefinitionModel& m_model;
    CallTipTracker m_calls;
    std::string m_completionList; // of the loaded names; empty until shown
};

} // namespace cw
