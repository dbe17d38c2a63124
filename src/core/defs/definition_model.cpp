#include "core/defs/definition_model.h"

#include "core/base/parse_leading_integer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <ctime>
#include <random>

namespace cw {

namespace {

constexpr std::int64_t kLowestKey = 10000000;
constexpr std::int64_t kHighestKey = 40023832;

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

// Character-code order: compare as unsigned bytes, which for UTF-8 is the
// order of the code points.
bool lessByCode(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

} // namespace

void sortNames(std::vector<std::string>& names)
{
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names) keyed.emplace_back(lowered(name), std::move(name));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return lessByCode(a.first, b.first); });
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
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

std::string KeyMaker::makeKey()
{
    std::int64_t number = draw();
    // A generator that keeps repeating itself must not hang the load: after
    // enough failed draws take the next free number instead.
    if (m_given.empty()) m_given.resize(kHighestKey - kLowestKey + 1);
    const auto given = [this](std::int64_t n) { return m_given[static_cast<std::size_t>(n - kLowestKey)]; };
    for (int attempt = 0; given(number) && attempt < 100; ++attempt) number = draw();
    while (given(number)) number = number >= kHighestKey ? kLowestKey : number + 1;
    m_given[static_cast<std::size_t>(number - kLowestKey)] = true;
    return "k" + std::to_string(number);
}

const CPlugin* DefinitionModel::findPluginByKey(std::string_view key) const
{
    const auto it = m_pluginByKey.find(key);
    return it == m_pluginByKey.end() ? nullptr : &m_plugins[it->second];
}

const CFilter* DefinitionModel::filterAt(const Index<FilterPlace>& index, std::string_view text) const
{
    const auto it = index.find(text);
    if (it == index.end()) return nullptr;
    return &m_plugins[it->second.first].filters[it->second.second];
}

const CFilter* DefinitionModel::findFilterByKey(std::string_view key) const
{
    return filterAt(m_filterByKey, key);
}

const CFilter* DefinitionModel::findFilterByTitle(std::string_view title) const
{
    return filterAt(m_filterByTitle, title);
}

bool DefinitionModel::isKnownCategory(std::string_view category) const
{
    return m_categorySet.find(category) != m_categorySet.end();
}

std::size_t DefinitionModel::findNameIndex(std::string_view prefix) const
{
    const std::string wanted = lowered(prefix);
    for (std::size_t i = 0; i < m_filterNames.size(); ++i) {
        const std::string& name = m_filterNames[i];
        if (name.size() < wanted.size()) continue;
        if (std::equal(wanted.begin(), wanted.end(), name.begin(),
                       [](char w, char n) { return w == lowerAscii(n); }))
            return i;
    }
    return 0;
}

void DefinitionModel::addPlugin(CPlugin plugin)
{
    m_pluginByKey.clear();
    m_filterByKey.clear();
    m_filterByTitle.clear();
    for (const CFilter& filter : plugin.filters) {
        m_filterNames.push_back(filter.title);
        if (!filter.category.empty() && !isKnownCategory(filter.category)) {
            m_categorySet.insert(filter.category);
            m_categories.push_back(filter.category);
        }
    }
    m_plugins.push_back(std::move(plugin));
}

void DefinitionModel::finishLoad()
{
    sortNames(m_filterNames);
    m_pluginByKey.clear();
    m_filterByKey.clear();
    m_filterByTitle.clear();
    m_pluginByKey.reserve(m_plugins.size());
    m_filterByKey.reserve(m_filterNames.size());
    m_filterByTitle.reserve(m_filterNames.size());
    // try_emplace keeps an earlier entry, so the first in load order wins.
    for (std::size_t p = 0; p < m_plugins.size(); ++p) {
        m_pluginByKey.try_emplace(m_plugins[p].key, p);
        for (std::size_t f = 0; f < m_plugins[p].filters.size(); ++f) {
            const CFilter& filter = m_plugins[p].filters[f];
            m_filterByKey.try_emplace(filter.key, p, f);
            m_filterByTitle.try_emplace(filter.title, p, f);
        }
    }
}

} // namespace cw
