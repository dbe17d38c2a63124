#include "media/avisynth_functions.h"

#include "core/frameserver/frame_server_texts.h"
#include "media/avisynth_api.h"

#include <unordered_set>

namespace cw {
namespace {

std::string textOf(const AvsApi& api, AvsValue value)
{
    std::string text = value.type == 's' && value.d.string ? value.d.string : "";
    api.releaseValue(value);
    return text;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t to = text.find(separator, from);
        if (to == std::string::npos) to = text.size();
        if (to > from) parts.push_back(text.substr(from, to - from));
        from = to + 1;
    }
    return parts;
}

// Every name of the space-separated list variable once, in order, with the
// type string the interpreter keeps for it. An overloaded name is listed
// once per overload but keeps one type string, the last registered.
std::vector<InterpreterFunction> functionsOf(const AvsApi& api, void* env, const char* listVariable)
{
    std::vector<InterpreterFunction> functions;
    std::unordered_set<std::string> seen;
    for (std::string& name : split(textOf(api, api.getVar(env, listVariable)), ' ')) {
        if (!seen.insert(name).second) continue;
        const AvsValue types = api.getVar(env, ("$Plugin!" + name + "!Param$").c_str());
        const bool reported = types.type == 's' && types.d.string;
        functions.push_back({std::move(name), textOf(api, types), reported});
    }
    return functions;
}

} // namespace

bool readInterpreterFunctions(const std::vector<std::string>& libraryNames, InterpreterFunctions& out,
                              std::string& error)
{
    const AvsApi* api = loadAviSynthApi(libraryNames, error);
    if (!api) return false;
    if (!api->getVar) {
        error = aviSynthWithoutVariablesText();
        return false;
    }
    void* env = api->createScriptEnvironment(6);
    if (!env) {
        error = scriptEnvironmentFailedText();
        return false;
    }
    const AvsValue loaded = api->invoke(env, "AutoloadPlugins", avsNoArguments(), nullptr);
    if (loaded.type == 'e') {
        error = autoloadFailedText(loaded.d.string ? loaded.d.string : "");
        api->releaseValue(loaded);
        return false;
    }
    api->releaseValue(loaded);
    out.version = textOf(*api, api->invoke(env, "VersionString", avsNoArguments(), nullptr));
    out.autoloadFolders = split(textOf(*api, api->invoke(env, "ListAutoloadDirs", avsNoArguments(), nullptr)), '\n');
    out.internal = functionsOf(*api, env, "$InternalFunctions$");
    out.plugin = functionsOf(*api, env, "$PluginFunctions$");
    return true;
}

} // namespace cw
