#pragma once

#include "core/defs/definition_model.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cw {

// The one-line call signature: FadeBox(clip, [strength], "mode").
std::string filterCallText(const CFilter& filter);

// The call text of the first loaded filter titled exactly so; "???" when
// none is.
std::string getFilterCallText(const DefinitionModel& model, std::string_view title);

// A run of the description text. Positions count UTF-16 code units (what
// QTextDocument and QString count), not the bytes of the UTF-8 text.
struct TextRange {
    int start = 0;
    int length = 0;
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

// The description pane's content for one filter, markers already removed.
struct FilterDescription {
    std::string text;            // UTF-8, lines ended by the chosen line end
    std::vector<TextRange> bold; // the call text, then each parameter's name, in order
    std::optional<TextRange> boldRed; // "Plugin :: " and the plugin title, when the plugin is known
};

// The description of the filter with that key; nothing when no filter has
// it. Bytes that are not valid UTF-8 come out as U+FFFD. The ranges are
// counted on the returned text, so a pane that turns
// "\r\n" into one paragraph break must ask for "\n" to keep them in step.
std::optional<FilterDescription> describeFilter(const DefinitionModel& model, std::string_view filterKey,
                                                std::string_view lineEnd = "\r\n");

} // namespace cw
