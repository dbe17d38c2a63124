#include "core/defs/installed_set.h"

#include "core/base/paths.h"
#include "core/base/text_encoding.h"
#include "core/base/text_file.h"
#include "core/defs/definition_loader.h"
#include "core/defs/definition_writer.h"
#include "core/defs/script_functions.h"
#include "core/defs/type_string.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>

namespace fs = std::filesystem;

namespace cw {
namespace {

const std::string kSuffix = " installed";
const std::string kCoreTitle = "Core";
const std::string kUserTitle = "User functions";
const std::string kPluginsCategory = "Plugins";

std::string folded(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The numbers of a version text; nothing when it holds anything else.
std::optional<std::vector<unsigned long>> versionNumbers(const std::string& text)
{
    std::vector<unsigned long> numbers;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t dot = std::min(text.find('.', at), text.size());
        const std::string part = text.substr(at, dot - at);
        if (part.empty() || part.size() > 9 || part.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        numbers.push_back(std::stoul(part));
        at = dot + 1;
    }
    while (numbers.size() > 1 && numbers.back() == 0) numbers.pop_back();
    return numbers;
}

std::string withoutDots(std::string title)
{
    if (title.ends_with("...")) title.resize(title.size() - 3);
    return title;
}

// Overloads of one name, as the interpreter lists them.
struct Reported {
    std::string name;
    std::vector<std::vector<FunctionArgument>> overloads;
    std::string unreadable; // a type string that cannot be read, or "" when all can
    bool unreported = false;
};

void addOverload(Reported& reported, const InterpreterFunction& f)
{
    if (!f.reported) {
        reported.unreported = true;
        return;
    }
    if (auto arguments = parseTypeString(f.parameters))
        reported.overloads.push_back(std::move(*arguments));
    else
        reported.unreadable = f.parameters;
}

// The bundled set's filters by folded name; the first of a name wins.
class BundledFilters {
public:
    explicit BundledFilters(const DefinitionModel& model)
    {
        for (const CPlugin& plugin : model.plugins())
            for (const CFilter& filter : plugin.filters) m_byName.emplace(folded(filter.title), &filter);
    }
    const CFilter* find(const std::string& name) const
    {
        const auto it = m_byName.find(folded(name));
        return it == m_byName.end() ? nullptr : it->second;
    }

private:
    std::unordered_map<std::string, const CFilter*> m_byName;
};

const CParameter* parameterNamed(const CFilter& filter, const std::string& name)
{
    const std::string wanted = folded(name);
    for (const CParameter& p : filter.parameters)
        if (folded(withoutDots(p.title)) == wanted) return &p;
    return nullptr;
}

// The bundled parameters, followed by the named arguments they lack.
std::vector<CParameter> withNewArguments(const CFilter& bundled, const std::vector<FunctionArgument>& arguments)
{
    std::vector<CParameter> parameters = bundled.parameters;
    std::vector<FunctionArgument> added;
    for (const FunctionArgument& a : arguments)
        if (a.named && !parameterNamed(bundled, a.name)) added.push_back(a);
    for (CParameter& p : parametersOf(added)) {
        p.isoptional = true;
        parameters.push_back(std::move(p));
    }
    return parameters;
}

CFilter filterFor(const Reported& reported, const BundledFilters& bundled, const std::string& category)
{
    CFilter filter;
    filter.title = reported.name;
    filter.category = category;
    const std::vector<FunctionArgument> arguments = mergeOverloads(reported.overloads);
    const bool readable = reported.unreadable.empty() && !reported.unreported;
    if (const CFilter* known = bundled.find(reported.name)) {
        filter.description = known->description;
        filter.helpfile = known->helpfile;
        if (!known->category.empty()) filter.category = known->category;
        filter.parameters = readable ? withNewArguments(*known, arguments) : known->parameters;
        return filter;
    }
    if (readable) {
        filter.parameters = parametersOf(arguments);
    } else if (reported.unreported) {
        filter.description = "AviSynth+ does not say which parameters it takes.";
    } else {
        filter.description = "AviSynth+ gives its parameters as \"" + reported.unreadable +
                             "\", which this program cannot read.";
    }
    return filter;
}

// Names in the order first listed, overloads of one name (any letter case)
// together.
class ReportedList {
public:
    Reported& entry(const std::string& name)
    {
        const auto [it, added] = m_index.emplace(folded(name), m_entries.size());
        if (added) m_entries.push_back({name, {}, {}, false});
        return m_entries[it->second];
    }
    const std::vector<Reported>& entries() const { return m_entries; }

private:
    std::vector<Reported> m_entries;
    std::unordered_map<std::string, std::size_t> m_index;
};

void sortFilters(CPlugin& plugin)
{
    std::stable_sort(plugin.filters.begin(), plugin.filters.end(),
                     [](const CFilter& a, const CFilter& b) { return folded(a.title) < folded(b.title); });
}

// Plugin titles are file names and tree labels: each once in any letter case.
class Titles {
public:
    std::string unique(const std::string& wanted)
    {
        const std::string base = wanted.empty() || wanted.starts_with('.') ? kPluginsCategory : wanted;
        std::string title = base;
        for (int n = 2; !m_used.insert(folded(title)).second; ++n) title = base + " (" + std::to_string(n) + ")";
        return title;
    }

private:
    std::set<std::string> m_used;
};

} // namespace

std::string interpreterVersion(const std::string& versionText)
{
    std::size_t at = 0;
    while (at < versionText.size()) {
        const std::size_t end = std::min(versionText.find(' ', at), versionText.size());
        const std::string word = versionText.substr(at, end - at);
        if (word.find('.') != std::string::npos && versionNumbers(word)) return word;
        at = end + 1;
    }
    return {};
}

std::string installedSetName(const std::string& version)
{
    return (version.empty() ? std::string("AviSynth+") : version) + kSuffix;
}

std::string installedSetVersion(const std::string& setName)
{
    if (!setName.ends_with(kSuffix)) return {};
    return setName.substr(0, setName.size() - kSuffix.size());
}

bool versionsDiffer(const std::string& a, const std::string& b)
{
    const auto x = versionNumbers(a), y = versionNumbers(b);
    return x && y && *x != *y;
}

std::string bundledSetFor(const std::string& version, const std::vector<std::string>& setNames)
{
    const auto wanted = versionNumbers(version);
    std::string best;
    std::vector<unsigned long> bestNumbers;
    for (const std::string& name : setNames) {
        const auto numbers = versionNumbers(name);
        if (!numbers || !installedSetVersion(name).empty()) continue;
        if (wanted && wanted->size() >= 2 && numbers->size() <= 2 &&
            std::equal(numbers->begin(), numbers->end(), wanted->begin()) &&
            (numbers->size() == 2 || (*wanted)[1] == 0))
            return name;
        if (best.empty() || *numbers > bestNumbers) {
            best = name;
            bestNumbers = *numbers;
        }
    }
    return best;
}

std::vector<AutoloadScript> readAutoloadScripts(const std::vector<std::string>& folders)
{
    std::vector<AutoloadScript> scripts;
    std::set<std::string> seen;
    for (const std::string& folder : folders) {
        std::error_code ec;
        const fs::path canonical = fs::weakly_canonical(folder, ec);
        if (ec || !seen.insert(canonical.string()).second) continue;
        std::vector<fs::path> files;
        for (fs::directory_iterator it(canonical, ec), end; !ec && it != end; it.increment(ec))
            if (fileExtension(it->path().filename().string()) == "avsi") files.push_back(it->path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files)
            if (std::optional<std::string> bytes = readFileBytes(file.string()))
                scripts.push_back({file.string(), decodeText(*bytes).utf8});
    }
    return scripts;
}

std::vector<CPlugin> installedSetPlugins(const InterpreterFunctions& found, const DefinitionModel& bundledModel,
                                         const std::vector<AutoloadScript>& scripts)
{
    const BundledFilters bundled(bundledModel);
    Titles titles;
    std::vector<CPlugin> plugins;

    CPlugin core;
    core.title = titles.unique(kCoreTitle);
    core.description = "The functions built into " + found.version + ", as it lists them.";
    ReportedList internal;
    for (const InterpreterFunction& f : found.internal) addOverload(internal.entry(f.name), f);
    for (const Reported& r : internal.entries()) core.filters.push_back(filterFor(r, bundled, {}));
    plugins.push_back(std::move(core));

    // Each function is followed by its alias "<plugin>_<name>", which names
    // the plugin; a function without one is a plugin's all the same.
    std::map<std::string, ReportedList> byPlugin;
    std::vector<std::string> pluginOrder;
    for (std::size_t i = 0; i < found.plugin.size(); ++i) {
        const InterpreterFunction& f = found.plugin[i];
        std::string plugin;
        if (i + 1 < found.plugin.size()) {
            const std::string& alias = found.plugin[i + 1].name;
            if (alias.size() > f.name.size() + 1 && alias.ends_with("_" + f.name)) {
                plugin = alias.substr(0, alias.size() - f.name.size() - 1);
                ++i;
            }
        }
        if (!byPlugin.contains(plugin)) pluginOrder.push_back(plugin);
        addOverload(byPlugin[plugin].entry(f.name), f);
    }
    for (const std::string& name : pluginOrder) {
        CPlugin plugin;
        plugin.title = titles.unique(name);
        plugin.description = "The functions of the plugin " + (name.empty() ? std::string("(unknown)") : name) +
                             ", as " + found.version + " lists them.";
        for (const Reported& r : byPlugin[name].entries())
            plugin.filters.push_back(filterFor(r, bundled, kPluginsCategory));
        plugins.push_back(std::move(plugin));
    }

    // A later definition of a name replaces an earlier one, as the
    // interpreter's later import does.
    CPlugin user;
    std::unordered_map<std::string, std::size_t> userIndex;
    for (const AutoloadScript& script : scripts)
        for (const ScriptFunction& function : findScriptFunctions(script.text)) {
            CFilter filter = scriptFunctionFilter(function, kUserTitle, "Defined in " + script.path + ".");
            const auto [it, added] = userIndex.emplace(folded(function.name), user.filters.size());
            if (added)
                user.filters.push_back(std::move(filter));
            else
                user.filters[it->second] = std::move(filter);
        }
    if (!user.filters.empty()) {
        user.title = titles.unique(kUserTitle);
        user.description = "The functions defined in the .avsi files of the AviSynth+ autoload folders.";
        plugins.push_back(std::move(user));
    }
    for (CPlugin& plugin : plugins) sortFilters(plugin);
    return plugins;
}

std::string writeInstalledSet(const InterpreterFunctions& found, const DefinitionFolders& folders,
                              std::string& error)
{
    const std::string version = interpreterVersion(found.version);
    const std::string bundledName = bundledSetFor(version, listDefinitionSets(folders.program));
    const DefinitionModel bundled =
        bundledName.empty() ? DefinitionModel() : loadDefinitions(definitionSetFolder(folders.program, bundledName));
    const std::string name = installedSetName(version);
    error = writeDefinitionSet(folders.writable(), name,
                               installedSetPlugins(found, bundled, readAutoloadScripts(found.autoloadFolders)));
    return error.empty() ? name : std::string();
}

} // namespace cw
