#pragma once

#include "core/defs/definition_model.h"

#include <string_view>

class QTextEdit;

namespace cw {

// Fills pane with the description of the filter with that key: the call
// text and each parameter's name bold black, the plugin line bold red, the
// rest in the pane's own font; the caret goes to the start. Returns false,
// leaving the pane as it was, when no filter has the key.
bool showFilterDescription(QTextEdit& pane, const DefinitionModel& model, std::string_view filterKey);

} // namespace cw
