#include "ui/editor/script_function_watcher.h"

#include "ui/editor/code_sense.h"

namespace cw {

ScriptFunctionWatcher::ScriptFunctionWatcher(CodeSense& editor) : m_editor(editor)
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(pauseMs);
    connect(&m_pause, &QTimer::timeout, this, &ScriptFunctionWatcher::refresh);
    connect(&m_editor, &CodeSense::textChangedByUser, &m_pause, qOverload<>(&QTimer::start));
}

void ScriptFunctionWatcher::refresh()
{
    m_pause.stop();
    std::vector<ScriptFunction> functions = findScriptFunctions(m_editor.scriptBytes());
    if (functions == m_functions) return;
    m_functions = std::move(functions);
    m_model = thisScriptModel(m_functions);
    emit changed();
}

} // namespace cw
