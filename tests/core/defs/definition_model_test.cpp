#include "core/defs/definition_model.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace cw {
namespace {

CFilter filter(const std::string& title, const std::string& key, const std::string& category = "")
{
    CFilter f;
    f.title = title;
    f.key = key;
    f.category = category;
    return f;
}

CPlugin plugin(const std::string& key, std::vector<CFilter> filters)
{
    CPlugin p;
    p.key = key;
    p.title = key;
    for (CFilter& f : filters) f.pluginkey = key;
    p.filters = std::move(filters);
    return p;
}

TEST(SortNames, OrdersByLowerCasedCodeAndKeepsTies)
{
    std::vector<std::string> many; // more than a small-sort run, to catch an unstable sort
    for (int i = 0; i < 200; ++i) many.push_back(i % 2 ? "blur" : "BLUR");
    std::vector<std::string> manySorted = many;
    many.push_back("A");
    manySorted.insert(manySorted.begin(), "A");
    const struct {
        std::vector<std::string> input, expected;
    } rows[] = {
        {{"b", "A", "a", "_x", "B"}, {"_x", "A", "a", "b", "B"}},
        {{"Z9", "z1", "z", "1z", "Zz"}, {"1z", "z", "z1", "Z9", "Zz"}},
        {{"\xC3\xA9t\xC3\xA9", "zeta", "Alpha"}, {"Alpha", "zeta", "\xC3\xA9t\xC3\xA9"}},
        {many, manySorted},
    };
    for (const auto& row : rows) {
        std::vector<std::string> names = row.input;
        sortNames(names);
        EXPECT_EQ(names, row.expected);
    }
}

TEST(DefinitionModel, LookupsCollectionsAndMoves)
{
    DefinitionModel model;
    model.addPlugin(plugin("k1", {filter("Blur", "k11", "Color"), filter("AddBorders", "k12", "color")}));
    model.addPlugin(plugin("k2", {filter("Blur", "k21", "Color"), filter("BlankClip", "k22")}));
    model.finishLoad();
    // The first plugin in load order wins; lookups are exact.
    EXPECT_EQ(model.findFilterByTitle("Blur")->key, "k11");
    EXPECT_EQ(model.findFilterByTitle("blur"), nullptr);
    EXPECT_EQ(model.findFilterByKey("k21")->pluginkey, "k2");
    EXPECT_EQ(model.findFilterByKey("K21"), nullptr);
    EXPECT_EQ(model.findFilterByKey(""), nullptr);
    EXPECT_EQ(model.findPluginByKey("k3"), nullptr);
    // Duplicate names stay, categories differing in case are distinct.
    EXPECT_EQ(model.filterNames(), (std::vector<std::string>{"AddBorders", "BlankClip", "Blur", "Blur"}));
    EXPECT_EQ(model.categories(), (std::vector<std::string>{"Color", "color"}));
    EXPECT_TRUE(model.isKnownCategory("color"));
    EXPECT_FALSE(model.isKnownCategory("COLOR"));
    EXPECT_FALSE(model.isKnownCategory(""));
    const struct {
        const char* prefix;
        std::size_t index;
    } rows[] = {{"bl", 1}, {"BLU", 2}, {"blur", 2}, {"", 0}, {"zzz", 0}, {"add", 0}, {"blurry", 0}};
    for (const auto& row : rows) EXPECT_EQ(model.findNameIndex(row.prefix), row.index) << row.prefix;

    // Lookups survive a move and see later plugins only after finishLoad.
    DefinitionModel moved = std::move(model);
    EXPECT_EQ(moved.findFilterByTitle("BlankClip")->key, "k22");
    moved.addPlugin(plugin("k3", {filter("Crop", "k31")}));
    EXPECT_EQ(moved.findFilterByTitle("Crop"), nullptr);
    moved.finishLoad();
    EXPECT_EQ(moved.findFilterByTitle("Crop")->key, "k31");
    EXPECT_EQ(moved.findFilterByKey("k11")->title, "Blur");
}

TEST(KeyMaker, KeysHaveTheirFormatAndRangeAndAreUnique)
{
    const struct {
        KeyMaker::ClockTime time;
        double u;
        const char* key;
    } rows[] = {
        {{0, 0}, 0.0, "k10000000"},            // base 9999999, a draw of 0 gives base + 1
        {{59, 59}, 0.999999999999, "k40023832"}, // base 5959 + 9999999, the widest range
        {{7, 5}, 0.0, "k10000075"},
    };
    for (const auto& row : rows) EXPECT_EQ(KeyMaker(row.time, [u = row.u] { return u; }).makeKey(), row.key);

    // A generator that keeps repeating itself gets the next free numbers,
    // from the top of the range round to its bottom.
    const struct {
        KeyMaker::ClockTime time;
        double u;
        std::vector<std::string> keys;
    } repeating[] = {
        {{7, 5}, 0.0, {"k10000075", "k10000076", "k10000077", "k10000078"}},
        {{59, 59}, 0.999999999999, {"k40023832", "k10000000", "k10000001", "k10000002"}},
    };
    for (const auto& row : repeating) {
        KeyMaker keys(row.time, [u = row.u] { return u; });
        std::vector<std::string> made;
        for (std::size_t i = 0; i < row.keys.size(); ++i) made.push_back(keys.makeKey());
        EXPECT_EQ(made, row.keys);
    }

    // Unique whatever the generator, even one that repeats itself.
    std::mt19937 engine(42);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    KeyMaker makers[] = {KeyMaker({14, 7}, [&] { return uniform(engine); }), KeyMaker({0, 0}, [] { return 0.5; }),
                         KeyMaker::fromSystemClock()};
    for (KeyMaker& keys : makers) {
        std::set<std::string> seen;
        for (int i = 0; i < 10000; ++i) {
            const std::string key = keys.makeKey();
            ASSERT_TRUE(key.size() == 9 && key[0] == 'k') << key;
            ASSERT_TRUE(seen.insert(key).second) << key;
        }
    }
}

} // namespace
} // namespace cw
