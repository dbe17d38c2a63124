#pragma once

#include "core/defs/definition_model.h"
#include "core/defs/type_string.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cw {

// A function a script defines: function Name(clip c, int "radius") { ... }.
struct ScriptFunction {
    std::string name;
    std::vector<FunctionArgument> arguments;

    bool operator==(const ScriptFunction&) const = default;
};

// The definitions of a script in the order they come. A parameter's type
// word (int, clip, float_array, ...) gives its type, "val" when it has none;
// a quoted parameter name is optional and may be passed by name. Comments
// ("#", "/* */", nested "[* *]") and strings are passed over, so a
// definition inside one is none; so is anything that does not read as a
// whole definition up to its "{". Time proportional to the text's length.
std::vector<ScriptFunction> findScriptFunctions(std::string_view text);

// The function as a filter for the model: its parameters named as the
// definition names them, and the given category and description.
CFilter scriptFunctionFilter(const ScriptFunction& function, const std::string& category,
                             const std::string& description);

// The title and category of the open script's own functions.
inline constexpr const char* thisScriptTitle = "This script";

// A model of the open script's functions alone: one plugin and category
// "This script", or nothing when it defines none. Its keys ("script:N")
// never equal a loaded model's.
DefinitionModel thisScriptModel(std::span<const ScriptFunction> functions);

} // namespace cw
