#pragma once

#include "core/defs/definition_model.h"
#include "core/defs/script_functions.h"

#include <QObject>
#include <QTimer>

namespace cw {

class CodeSense;

// The functions the open script defines, found again once typing has
// paused for a moment. They live in a model of their own, next to the loaded
// set, which they never join.
class ScriptFunctionWatcher : public QObject {
    Q_OBJECT
public:
    explicit ScriptFunctionWatcher(CodeSense& editor);

    // One plugin "This script", or none when the script defines nothing.
    const DefinitionModel& model() const { return m_model; }
    // Looks at the script now instead of after the pause.
    void refresh();

    static constexpr int pauseMs = 300;

signals:
    // The functions, or what they take, are not the ones found before.
    void changed();

private:
    CodeSense& m_editor;
    QTimer m_pause;
    std::vector<ScriptFunction> m_functions;
    DefinitionModel m_model;
};

} // namespace cw
