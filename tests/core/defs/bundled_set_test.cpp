#include "core/defs/definition_loader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace cw {
namespace {

const std::string sourceDir = CLIPWRIGHT_SOURCE_DIR;
const std::string setFolder = sourceDir + "/def/3.7";

// One parameter of an interpreter overload: its name (empty when it can only
// be passed by position), type and whether it may be left out.
struct Signature {
    std::string name;
    std::string type;
    bool optional;
};

std::string typeOf(std::string raw)
{
    while (!raw.empty() && (raw.back() == '+' || raw.back() == '*')) raw.pop_back();
    if (raw == "any" || raw == "array") return "val";
    return raw;
}

std::multimap<std::string, std::vector<Signature>> readOverloads(const std::string& path)
{
    std::multimap<std::string, std::vector<Signature>> overloads;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line); // column names
    while (std::getline(in, line)) {
        std::istringstream row(line);
        std::string name, signature, params;
        std::getline(row, name, '\t');
        std::getline(row, signature, '\t');
        std::getline(row, params, '\t');
        std::vector<Signature> sig;
        std::istringstream list(params);
        for (std::string p; std::getline(list, p, ';');) {
            p.erase(0, p.find_first_not_of(' '));
            if (p.empty()) continue;
            const auto a = p.find(':'), b = p.rfind(':');
            const std::string pname = p.substr(0, a);
            sig.push_back({pname[0] == '#' || pname.empty() ? "" : pname, typeOf(p.substr(a + 1, b - a - 1)),
                           p.substr(b + 1) == "opt"});
        }
        overloads.emplace(name, sig);
    }
    return overloads;
}

bool matches(const CFilter& filter, const std::vector<Signature>& sig)
{
    if (filter.parameters.size() != sig.size()) return false;
    for (std::size_t i = 0; i < sig.size(); ++i) {
        const CParameter& p = filter.parameters[i];
        if (p.Class != sig[i].type || p.isoptional != sig[i].optional) return false;
        // A repeated argument is written with "..." after its name.
        std::string title = p.title;
        if (title.size() > 3 && title.ends_with("...")) title.resize(title.size() - 3);
        if (!sig[i].name.empty() && sig[i].optional && title != sig[i].name) return false;
    }
    return true;
}

bool isNumber(const std::string& s, double& value)
{
    if (s.empty()) return false;
    char* end = nullptr;
    value = std::strtod(s.c_str(), &end);
    return *end == '\0';
}

TEST(BundledSet, EveryFileLoadsAndEveryEntryIsComplete)
{
    const DefinitionModel model = loadDefinitions(setFolder);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(setFolder)) files += entry.is_regular_file();
    ASSERT_EQ(model.plugins().size(), files);

    const std::set<std::string> types{"clip", "int", "float", "bool", "string", "val", "func"};
    for (const CPlugin& plugin : model.plugins()) {
        EXPECT_FALSE(plugin.description.empty()) << plugin.title;
        EXPECT_FALSE(plugin.filters.empty()) << plugin.title;
        std::set<std::string> names;
        for (const CFilter& f : plugin.filters) {
            const std::string where = plugin.title + "/" + f.title;
            EXPECT_NE(f.title, "???") << where;
            EXPECT_TRUE(names.insert(f.title).second) << where << " appears twice";
            EXPECT_FALSE(f.category.empty()) << where;
            EXPECT_FALSE(f.description.empty()) << where;
            for (const CParameter& p : f.parameters) {
                const std::string at = where + "(" + p.title + ")";
                EXPECT_NE(p.title, "???") << at;
                EXPECT_TRUE(types.count(p.Class)) << at << " has type " << p.Class;
                EXPECT_FALSE(p.description.empty()) << at;
                double lo = 0, hi = 0, def = 0;
                const bool hasMin = isNumber(p.min, lo), hasMax = isNumber(p.max, hi);
                if (hasMin && hasMax) {
                    EXPECT_LE(lo, hi) << at;
                }
                if (isNumber(p.defaultvalue, def)) {
                    EXPECT_TRUE(!hasMin || def >= lo) << at;
                    EXPECT_TRUE(!hasMax || def <= hi) << at;
                }
            }
        }
    }
}

// The interpreter's own list covers the core build; plugins that ship
// beside it are not in that list.
TEST(BundledSet, CoreFiltersAndFunctionsMatchAnInterpreterOverload)
{
    const std::string tsv = sourceDir + "/../shared/avisynth/core-functions.tsv";
    if (!std::filesystem::exists(tsv)) GTEST_SKIP() << "no interpreter function list at " << tsv;
    const auto overloads = readOverloads(tsv);
    const DefinitionModel model = loadDefinitions(setFolder);
    std::size_t checked = 0;
    for (const CPlugin& plugin : model.plugins()) {
        if (plugin.title != "Core" && plugin.title != "Functions") continue;
        for (const CFilter& f : plugin.filters) {
            const auto [first, last] = overloads.equal_range(f.title);
            ASSERT_NE(first, last) << f.title << " is not a function of the interpreter";
            bool any = false;
            for (auto it = first; it != last && !any; ++it) any = matches(f, it->second);
            EXPECT_TRUE(any) << plugin.title << "/" << f.title << " matches none of its overloads";
            ++checked;
        }
    }
    EXPECT_GT(checked, 500u);
}

} // namespace
} // namespace cw
