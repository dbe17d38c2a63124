#pragma once

#include "core/defs/text_index.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
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

    friend bool operator==(const CParameter&, const CParameter&) = default;
};

struct CFilter {
    std::string pluginkey;
    std::string key;
    std::vector<CParameter> parameters;
    std::string helpfile;
    std::string description;
    std::string category; // empty: uncategorized
    std::string title;

    friend bool operator==(const CFilter&, const CFilter&) = default;
};

struct CPlugin {
    std::string key;
    std::string defxml;
    std::vector<CFilter> filters;
    std::string helpfile;
    std::string path;
    std::string description;
    std::string title;

    friend bool operator==(const CPlugin&, const CPlugin&) = default;
};

// Sorts ascending by the lower-cased texts compared by character code;
// texts equal once lower-cased keep their order. Only ASCII letters are
// lower-cased, so "_" and digits come before every letter.
void sortNames(std::vector<std::string>& names);

// The first of names that starts with prefix, ignoring ASCII letter case;
// 0 when none does (or the prefix is empty).
std::size_t findNameIndex(std::span<const std::string> names, std::string_view prefix);

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
    // The numbers given out, each with a hint where the search for a free
    // number goes on when a draw hits it: the hints make the fallback of a
    // generator that keeps repeating itself cost next to nothing per key.
    struct Given {
        std::uint32_t number = 0; // 0: empty slot
        std::uint32_t next = 0;
    };

    std::int64_t draw();
    Given* findGiven(std::uint32_t number);
    void markGiven(std::uint32_t number);
    std::uint32_t firstFreeFrom(std::uint32_t number);

    std::int64_t m_base;
    Uniform m_uniform;
    std::vector<Given> m_given; // open addressing, a power of two in size, at most half full
    std::size_t m_givenCount = 0;
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
    // Every filter's title, duplicates kept, sorted by sortNames; made by
    // finishLoad.
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

    // Room for that many plugins, so that the list of a load does not regrow.
    void reserve(std::size_t plugins);
    // Appends a plugin with its filters; their new categories go to
    // categories. Until finishLoad runs again filterNames leaves them out
    // and the key and title lookups find nothing.
    void addPlugin(CPlugin plugin);
    // Lists and sorts filterNames and builds the lookups; call after the
    // last addPlugin.
    void finishLoad();

private:
    const CFilter* filterAt(std::optional<std::uint32_t> position) const;

    std::vector<CPlugin> m_plugins;
    std::vector<std::string> m_filterNames;
    std::vector<std::string> m_categories;
    // Built by finishLoad: every filter in load order, and the lookups as
    // positions into m_plugins and m_filters. Moving the model moves the
    // vectors' storage, so the pointers stay valid.
    std::vector<const CFilter*> m_filters;
    TextIndex m_pluginByKey;
    TextIndex m_filterByKey;
    TextIndex m_filterByTitle;
    TextIndex m_categoryIndex; // positions into m_categories
};

} // namespace cw
