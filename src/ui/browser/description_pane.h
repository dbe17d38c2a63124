#pragma once

#include "core/defs/definition_model.h"

#include <QColor>

#include <string_view>

class QPalette;
class QTextEdit;

namespace cw {

// The pane's paper and the colours of its bold runs: black and red on a
// light yellow on a light desktop; on a dark one the palette's paper and
// text, and a red that reads on that paper.
struct DescriptionColours {
    QColor paper;
    QColor bold;
    QColor plugin;
};
DescriptionColours descriptionColours(const QPalette& palette);

// Fills pane with the description of the filter with that key: the call
// text and each parameter's name bold black, the plugin line bold red (the
// descriptionColours of the pane's palette), the rest in the pane's own
// font; the caret goes to the start. Returns false, leaving the pane as it
// was, when no filter has the key.
bool showFilterDescription(QTextEdit& pane, const DefinitionModel& model, std::string_view filterKey);

} // namespace cw
