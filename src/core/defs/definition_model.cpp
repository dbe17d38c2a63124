#include "core/defs/definition_model.h"

#include "core/base/parse_leading_integer.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <ctime>
#include <memory>
#include <random>

namespace cw {

namespace {

constexpr std::uint32_t kLowestKey = 10000000;
constexpr std::uint32_t kHighestKey = 40023832;

// Consecutive numbers land far apart in the table of given keys.
std::size_t spread(std::uint32_t number)
{
    return static_cast<std::size_t>((std::uint64_t{number} * 0x9E3779B97F4A7C15u) >> 32);
}

// The texts the lookups are keyed by, given their positions.
auto pluginKeys(const std::vector<CPlugin>& plugins)
{
    return [&plugins](std::uint32_t p) -> std::string_view { return plugins[p].key; };
}

auto filterKeys(const std::vector<const CFilter*>& filters)
{
    return [&filters](std::uint32_t f) -> std::string_view { return filters[f]->key; };
}

auto filterTitles(const std::vector<const CFilter*>& filters)
{
    return [&filters](std::uint32_t f) -> std::string_view { return filters[f]->title; };
}

auto textsOf(const std::vector<std::string>& texts)
{
    return [&texts](std::uint32_t t) -> std::string_view { return texts[t]; };
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

} // namespace

void sortNames(std::vector<std::string>& names)
{
    // The lower-cased texts side by side in one buffer, and the names sorted
    // as positions, so that each text moves once.
    struct Entry {
        std::uint32_t start;
        std::uint32_t length;
    };
    std::string folded;
    std::size_t total = 0;
    for (const std::string& name : names) total += name.size();
    folded.reserve(total);
    std::vector<Entry> entries;
    entries.reserve(names.size());
    for (const std::string& name : names) {
        const auto start = static_cast<std::uint32_t>(folded.size());
        entries.push_back({start, static_cast<std::uint32_t>(name.size())});
        for (const char c : name) folded += lowerAscii(c);
    }
    std::vector<std::uint32_t> order(names.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    // char_traits<char>::compare orders as unsigned bytes, which for UTF-8
    // is the order of the code points.
    const auto less = [&](std::uint32_t a, std::uint32_t b) {
        return std::string_view(folded).substr(entries[a].start, entries[a].length)
               < std::string_view(folded).substr(entries[b].start, entries[b].length);
    };
    std::stable_sort(order.begin(), order.end(), less);
    // Into place cycle by cycle; a done position is marked by pointing at itself.
    for (std::uint32_t start = 0; start < order.size(); ++start) {
        if (order[start] == start) continue;
        std::string held = std::move(names[start]);
        std::uint32_t at = start;
        while (order[at] != start) {
            const std::uint32_t from = order[at];
            names[at] = std::move(names[from]);
            order[at] = at;
            at = from;
        }
        names[at] = std::move(held);
        order[at] = at;
    }
}

KeyMaker::KeyMaker(ClockTime time, Uniform uniform)
    : m_uniform(std::move(uniform))
{
    const int minute = std::clamp(time.minute, 0, 59);
    const int second = std::clamp(time.second, 0, 59);
    m_base = parseLeadingInteger(std::to_string(minute) + std::to_string(second)) + 9999999;
}

KeyMaker KeyMaker::fromSystemClock()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    const ClockTime time{local.tm_min, local.tm_sec};
    // Seeded from the entropy source as well, so two loads within the same
    // second do not repeat each other's keys.
    const std::uint64_t seed = (std::uint64_t{std::random_device{}()} << 32)
                               ^ static_cast<std::uint64_t>(time.minute * 100 + time.second);
    auto engine = std::make_shared<std::mt19937_64>(seed);
    return KeyMaker(time, [engine] { return static_cast<double>((*engine)() >> 11) * 0x1.0p-53; });
}

std::int64_t KeyMaker::draw()
{
    auto next = [this](std::int64_t scale) {
        double u = m_uniform();
        if (!(u >= 0.0)) u = 0.0;
        if (u >= 1.0) u = std::nextafter(1.0, 0.0);
        return static_cast<std::int64_t>(std::floor(u * static_cast<double>(scale) + 1.0)) + m_base;
    };
    const std::int64_t r1 = next(m_base);
    const std::int64_t r2 = next(r1);
    return next(r2);
}

KeyMaker::Given* KeyMaker::findGiven(std::uint32_t number)
{
    if (m_given.empty()) return nullptr;
    const std::size_t mask = m_given.size() - 1;
    for (std::size_t i = spread(number) & mask;; i = (i + 1) & mask) {
        if (m_given[i].number == number) return &m_given[i];
        if (m_given[i].number == 0) return nullptr;
    }
}

void KeyMaker::markGiven(std::uint32_t number)
{
    const auto place = [this](const Given& given) {
        const std::size_t mask = m_given.size() - 1;
        std::size_t i = spread(given.number) & mask;
        while (m_given[i].number != 0) i = (i + 1) & mask;
        m_given[i] = given;
    };
    if (2 * (m_givenCount + 1) > m_given.size()) {
        std::vector<Given> old(m_given.empty() ? 64 : 2 * m_given.size());
        old.swap(m_given);
        for (const Given& given : old)
            if (given.number != 0) place(given);
    }
    place({number, number >= kHighestKey ? kLowestKey : number + 1});
    ++m_givenCount;
}

// Follows the hints from a given number to the first free one after it,
// cyclically, and points every hint on the way there.
std::uint32_t KeyMaker::firstFreeFrom(std::uint32_t number)
{
    std::uint32_t free = number;
    for (const Given* given = findGiven(free); given; given = findGiven(free)) free = given->next;
    for (Given* given = findGiven(number); given; given = findGiven(number)) {
        number = given->next;
        given->next = free;
    }
    return free;
}

std::string KeyMaker::makeKey()
{
    // A generator that keeps repeating itself must not hang the load: after
    // enough failed draws take the next free number instead.
    auto number = static_cast<std::uint32_t>(draw());
    for (int attempt = 0; findGiven(number) && attempt < 100; ++attempt) number = static_cast<std::uint32_t>(draw());
    const std::uint32_t key = firstFreeFrom(number);
    markGiven(key);
    char text[16] = {'k'};
    const char* const end = std::to_chars(text + 1, text + sizeof text, key).ptr;
    return std::string(text, static_cast<std::size_t>(end - text));
}

const CFilter* DefinitionModel::filterAt(std::optional<std::uint32_t> position) const
{
    return position ? m_filters[*position] : nullptr;
}

const CPlugin* DefinitionModel::findPluginByKey(std::string_view key) const
{
    const auto position = m_pluginByKey.find(key, pluginKeys(m_plugins));
    return position ? &m_plugins[*position] : nullptr;
}

const CFilter* DefinitionModel::findFilterByKey(std::string_view key) const
{
    return filterAt(m_filterByKey.find(key, filterKeys(m_filters)));
}

const CFilter* DefinitionModel::findFilterByTitle(std::string_view title) const
{
    return filterAt(m_filterByTitle.find(title, filterTitles(m_filters)));
}

bool DefinitionModel::isKnownCategory(std::string_view category) const
{
    return m_categoryIndex.find(category, textsOf(m_categories)).has_value();
}

std::size_t DefinitionModel::findNameIndex(std::string_view prefix) const
{
    return cw::findNameIndex(m_filterNames, prefix);
}

std::size_t findNameIndex(std::span<const std::string> names, std::string_view prefix)
{
    const std::string wanted = lowered(prefix);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        if (name.size() < wanted.size()) continue;
        if (std::equal(wanted.begin(), wanted.end(), name.begin(),
                       [](char w, char n) { return w == lowerAscii(n); }))
            return i;
    }
    return 0;
}

void DefinitionModel::reserve(std::size_t plugins)
{
    m_plugins.reserve(plugins);
}

void DefinitionModel::addPlugin(CPlugin plugin)
{
    m_filters.clear();
    m_pluginByKey.clear();
    m_filterByKey.clear();
    m_filterByTitle.clear();
    for (const CFilter& filter : plugin.filters) {
        if (filter.category.empty()) continue;
        const auto next = static_cast<std::uint32_t>(m_categories.size());
        if (m_categoryIndex.insert(filter.category, next, textsOf(m_categories)))
            m_categories.push_back(filter.category);
    }
    m_plugins.push_back(std::move(plugin));
}

void DefinitionModel::finishLoad()
{
    std::size_t filters = 0;
    for (const CPlugin& plugin : m_plugins) filters += plugin.filters.size();
    m_filters.clear();
    m_filters.reserve(filters);
    for (const CPlugin& plugin : m_plugins)
        for (const CFilter& filter : plugin.filters) m_filters.push_back(&filter);
    // Made whole here rather than grown plugin by plugin: a large load
    // would copy the list at every doubling.
    m_filterNames.clear();
    m_filterNames.reserve(m_filters.size());
    for (const CFilter* filter : m_filters) m_filterNames.push_back(filter->title);
    sortNames(m_filterNames);

    m_pluginByKey.clear();
    m_filterByKey.clear();
    m_filterByTitle.clear();
    m_pluginByKey.reserve(m_plugins.size());
    m_filterByKey.reserve(m_filters.size());
    m_filterByTitle.reserve(m_filters.size());
    // An index keeps the position inserted first, so the first in load order wins.
    for (std::uint32_t p = 0; p < m_plugins.size(); ++p)
        m_pluginByKey.insert(m_plugins[p].key, p, pluginKeys(m_plugins));
    for (std::uint32_t f = 0; f < m_filters.size(); ++f) {
        m_filterByKey.insert(m_filters[f]->key, f, filterKeys(m_filters));
        m_filterByTitle.insert(m_filters[f]->title, f, filterTitles(m_filters));
    }
}

} // namespace cw
