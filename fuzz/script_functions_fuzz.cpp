// Finding the functions a script defines, and reading interpreter type
// strings: whatever the text, every function found has a name and named
// parameters, and every type string read gives parameters the model takes.
//   ./script_functions_fuzz corpus/script_functions
#include "core/defs/script_functions.h"
#include "core/defs/type_string.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<cw::ScriptFunction> functions = cw::findScriptFunctions(text);
    for (const cw::ScriptFunction& f : functions) {
        if (f.name.empty() || text.find(f.name) == std::string_view::npos) std::abort();
        for (const cw::FunctionArgument& a : f.arguments)
            if (a.name.empty()) std::abort();
    }
    const cw::DefinitionModel model = cw::thisScriptModel(functions);
    if (model.filterNames().size() != functions.size()) std::abort();

    if (const auto arguments = cw::parseTypeString(text)) {
        const std::vector<std::vector<cw::FunctionArgument>> overloads{*arguments, {}};
        const std::vector<cw::FunctionArgument> merged = cw::mergeOverloads(overloads);
        if (merged.size() != arguments->size()) std::abort();
        for (const cw::CParameter& p : cw::parametersOf(merged))
            if (p.title.empty() || !p.isoptional) std::abort();
    }
    return 0;
}
