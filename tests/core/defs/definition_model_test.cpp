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
    const struct {
        std::vector<std::string> input, expected;
    } rows[] = {
        {{"b", "A", "a", "_x", "B"}, {"_x", "A", "a", "b", "B"}},
        {{"a", "A", "a"}, {"a", "A", "a"}},
        {{"Z9", "z1", "z", "1z", "Zz"}, {"1z", "z", "z1", "Z9", "Zz"}},
        {{"\xC3\xA9t\xC3\xA9", "zeta", "Alpha"}, {"Alpha", "zeta", "\xC3\xA9t\xC3\xA9"}},
        {{}, {}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> names = row.input;
        sortNames(names);
        EXPECT_EQ(names, row.expected);
    }
}

TEST(SortNames, StableForManyEqualNames)
{
    std::vector<std::string> names;
    for (int i = 0; i < 200; ++i) names.push_back(i % 2 ? "blur" : "BLUR");
    names.push_back("A");
    sortNames(names);
    EXPECT_EQ(names.front(), "A");
    for (int i = 0; i < 200; ++i) EXPECT_EQ(names[static_cast<std::size_t>(i) + 1], i % 2 ? "blur" : "BLUR");
}

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        model.addPlugin(plugin("k1", {filter("Blur", "k11", "Color"), filter("AddBorders", "k12", "color")}));
        model.addPlugin(plugin("k2", {filter("Blur", "k21", "Color"), filter("BlankClip", "k22")}));
        model.finishLoad();
    }
    DefinitionModel model;
};

TEST_F(ModelTest, FirstPluginInLoadOrderWins)
{
    ASSERT_NE(model.findFilterByTitle("Blur"), nullptr);
    EXPECT_EQ(model.findFilterByTitle("Blur")->key, "k11");
    EXPECT_EQ(model.findFilterByTitle("blur"), nullptr);
    EXPECT_EQ(model.findFilterByKey("k21")->pluginkey, "k2");
    EXPECT_EQ(model.findFilterByKey("K21"), nullptr);
    EXPECT_EQ(model.findPluginByKey("k2")->filters.size(), 2u);
    EXPECT_EQ(model.findPluginByKey("k3"), nullptr);
    EXPECT_EQ(model.findFilterByKey(""), nullptr);
}

TEST_F(ModelTest, CollectionsKeepDuplicateNamesAndDistinctCategories)
{
    EXPECT_EQ(model.filterNames(), (std::vector<std::string>{"AddBorders", "BlankClip", "Blur", "Blur"}));
    EXPECT_EQ(model.categories(), (std::vector<std::string>{"Color", "color"}));
    EXPECT_TRUE(model.isKnownCategory("color"));
    EXPECT_FALSE(model.isKnownCategory("COLOR"));
    EXPECT_FALSE(model.isKnownCategory(""));
}

TEST_F(ModelTest, LookupsSurviveAMoveAndFollowLaterPlugins)
{
    DefinitionModel moved = std::move(model);
    EXPECT_EQ(moved.findFilterByTitle("BlankClip")->key, "k22");
    moved.addPlugin(plugin("k3", {filter("Crop", "k31")}));
    EXPECT_EQ(moved.findFilterByTitle("Crop"), nullptr);
    moved.finishLoad();
    EXPECT_EQ(moved.findFilterByTitle("Crop")->key, "k31");
    EXPECT_EQ(moved.findFilterByKey("k11")->title, "Blur");
}

TEST_F(ModelTest, FindNameIndexMatchesPrefixIgnoringCase)
{
    const struct {
        const char* prefix;
        std::size_t index;
    } rows[] = {{"bl", 1}, {"BLU", 2}, {"blur", 2}, {"", 0}, {"zzz", 0}, {"add", 0}, {"blurry", 0}};
    for (const auto& row : rows) EXPECT_EQ(model.findNameIndex(row.prefix), row.index) << row.prefix;
}

TEST(KeyMaker, KeysHaveTheirFormatAndRange)
{
    const struct {
        KeyMaker::ClockTime time;
        double u;
        const char* key;
    } rows[] = {
        // base 9999999: every draw of 0 gives base + 1
        {{0, 0}, 0.0, "k10000000"},
        // 14:59:59 gives base 5959 + 9999999, the widest range
        {{59, 59}, 0.999999999999, "k40023832"},
        {{7, 5}, 0.0, "k10000075"},
    };
    for (const auto& row : rows) {
        KeyMaker keys(row.time, [u = row.u] { return u; });
        EXPECT_EQ(keys.makeKey(), row.key);
    }
}

TEST(KeyMaker, TenThousandKeysWithinOneSecondAreUnique)
{
    std::mt19937 engine(42);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    KeyMaker keys({14, 7}, [&] { return uniform(engine); });
    std::set<std::string> seen;
    for (int i = 0; i < 10000; ++i) {
        const std::string key = keys.makeKey();
        ASSERT_EQ(key.size(), 9u);
        ASSERT_EQ(key[0], 'k');
        const long number = std::stol(key.substr(1));
        ASSERT_GE(number, 10000000);
        ASSERT_LE(number, 40023832);
        ASSERT_TRUE(seen.insert(key).second) << key;
    }
}

TEST(KeyMaker, ARepeatingGeneratorStillGivesUniqueKeys)
{
    KeyMaker keys({0, 0}, [] { return 0.5; });
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(seen.insert(keys.makeKey()).second);
}

TEST(KeyMaker, SystemClockKeysAreUnique)
{
    KeyMaker keys = KeyMaker::fromSystemClock();
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(seen.insert(keys.makeKey()).second);
}

} // namespace
} // namespace cw
