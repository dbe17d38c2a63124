#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace cw {

// All texts are UTF-8 exactly as read from the definition file.
struct CParameter {
    std::vector<std::string> items;
    std::string defaultvalue;
    bool isoptional = false;
    std::string Class;
    std::string max;
    std::string min;
    std::string description;
    std::string title;
};

struct CFilter {
    std::string pluginkey;
    std::string key;
    std::vector<CParameter> parameters;
    std::string helpfile;
    std::string description;
    std::string category; // empty: uncategorized
    std::string title;
};

struct CPlugin {
    std::string key;
    std::string defxml;
    std::vector<CFilter> filters;
    std::string helpfile;
    std::string path;
    std::string description;
    std::string title;
};

// Sorts ascending by the lower-cased texts compared by character code;
// texts equal once lower-cased keep their order. Only ASCII letters are
// lower-cased, so "_" and digits come before every letter.
void sortNames(std::vector<std::string>& names);

// Hands out the keys of one load: "k" and 8 digits, 10000000 to 40023832.
// The generator is seeded once and never reseeded, and a key already given
// out by this maker is drawn again, so every key of a load is unique.
class KeyMaker {
public:
    struct ClockTime {
        int minute = 0;
        int second = 0;
    };
    // Uniform numbers in [0, 1).
    using Uniform = std::function<double()>;

    // The minute and second set the key range; uniform draws the numbers.
    KeyMaker(ClockTime time, Uniform uniform);
    // The wall clock's minute and second, and a generator seeded once from
    // them and from the system's entropy source.
    static KeyMaker fromSystemClock();

    std::string makeKey();

private:
    std::int64_t draw();

    std::int64_t m_base;
    Uniform m_uniform;
    std::vector<bool> m_given; // one flag per possible key, made on first use
};

// The plugins, filter names and categories of one load. Lookups by key and
// title are hashed but answer as a walk in load order would: the first
// match wins. They see the plugins added before the last finishLoad; the
// pointers they return stay valid until the next addPlugin.
class DefinitionModel {
public:
    DefinitionModel() = default;
    // Moves keep the lookups valid; a copy would leave them pointing into
    // the original, so there is none.
    DefinitionModel(DefinitionModel&&) = default;
    DefinitionModel& operator=(DefinitionModel&&) = default;
    DefinitionModel(const DefinitionModel&) = delete;
    DefinitionModel& operator=(const DefinitionModel&) = delete;

    const std::vector<CPlugin>& plugins() const { return m_plugins; }
    // Every filter's title, duplicates kept; sorted by sortNames once
    // finishLoad has run.
    const std::vector<std::string>& filterNames() const { return m_filterNames; }
    // Each distinct non-empty category once, in the order first met.
    const std::vector<std::string>& categories() const { return m_categories; }

    const CPlugin* findPluginByKey(std::string_view key) const;
    const CFilter* findFilterByKey(std::string_view key) const;
    // Exact title, letter case counts.
    const CFilter* findFilterByTitle(std::string_view title) const;
    bool isKnownCategory(std::string_view category) const;
    // The first filterNames entry that starts with prefix, ignoring ASCII
    // letter case; 0 when none does (or the prefix is empty).
    std::size_t findNameIndex(std::string_view prefix) const;

    // Appends a plugin with its filters: their titles go to filterNames and
    // their new categories to categories. Until finishLoad runs again the
    // key and title lookups find nothing.
    void addPlugin(CPlugin plugin);
    // Sorts filterNames and builds the lookups; call after the last addPlugin.
    void finishLoad();

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    // Keyed by views of the texts held in m_plugins, so built only once
    // m_plugins has stopped growing.
    template <typename T>
    using Index = std::unordered_map<std::string_view, T, Hash>;
    using FilterPlace = std::pair<std::size_t, std::size_t>; // plugin, filter

    const CFilter* filterAt(const Index<FilterPlace>& index, std::string_view text) const;

    std::vector<CPlugin> m_plugins;
    std::vector<std::string> m_filterNames;
    std::vector<std::string> m_categories;
    Index<std::size_t> m_pluginByKey;
    Index<FilterPlace> m_filterByKey;
    Index<FilterPlace> m_filterByTitle;
    std::unordered_set<std::string, Hash, std::equal_to<>> m_categorySet;
};

} // namespace cw
