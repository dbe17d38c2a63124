#include "core/defs/definition_loader.h"

#include "support/synthetic_defs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace cw {
namespace {

using test::TempDir;

// Every maker from this draws the same numbers.
KeyMaker seededKeys()
{
    auto engine = std::make_shared<std::mt19937_64>(20240917);
    return KeyMaker({14, 7}, [engine] { return static_cast<double>((*engine)() >> 11) * 0x1.0p-53; });
}

DefinitionModel loadWith(const std::string& folder, unsigned threads)
{
    KeyMaker keys = seededKeys();
    return loadDefinitions(folder, keys, threads);
}

// The files one at a time, as the one-file loader reads them.
DefinitionModel loadFileByFile(const std::string& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string extension = entry.path().extension().string();
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension == ".xml") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    KeyMaker keys = seededKeys();
    DefinitionModel model;
    for (const std::string& file : files) loadDefinitionFile(file, model, keys);
    model.finishLoad();
    return model;
}

void expectSameModel(const DefinitionModel& expected, const DefinitionModel& actual, const std::string& what)
{
    ASSERT_EQ(expected.plugins().size(), actual.plugins().size()) << what;
    for (std::size_t i = 0; i < expected.plugins().size(); ++i)
        ASSERT_TRUE(expected.plugins()[i] == actual.plugins()[i]) << what << ": " << expected.plugins()[i].defxml;
    EXPECT_EQ(expected.filterNames(), actual.filterNames()) << what;
    EXPECT_EQ(expected.categories(), actual.categories()) << what;
}

// The generated set of 10,000 filters with files between its own, in name
// order, that add nothing or something unusual: a merge that lost its order
// or drew a key for a skipped file would give other keys from there on.
// Made once for the tests that share it.
const std::string& irregularSet()
{
    static const TempDir dir;
    static const std::string folder = dir.file("set");
    if (std::filesystem::exists(folder)) return folder;
    EXPECT_TRUE(bench::writeSyntheticDefinitions(folder));
    dir.write("set/Plugin1a.xml", "<Plugin><Filters><Filter><Name>Half");
    dir.write("set/Plugin2a.xml", "");
    dir.write("set/Plugin3a.xml", "<plugin><Filters><Filter><Name>Lower</Name></Filter></Filters></plugin>");
    dir.write("set/Plugin4a.xml", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><Plugin><Description>caf\xE9"
                                  "</Description><Filters><Filter><Name>Blur0</Name><Parameters><Parameter><Name/>"
                                  "<Items><Item>a</Item><Item/></Items><Items><Item> b </Item></Items></Parameter>"
                                  "</Parameters></Filter><Filter/></Filters></Plugin>");
    dir.write("set/Plugin5a.xml", "<Plugin><Filters/></Plugin>");
    std::filesystem::create_directories(dir.file("set/Plugin6a.xml"));
    return folder;
}

TEST(ParallelLoad, GivesTheSerialModelKeysIncluded)
{
    const std::string sets[] = {irregularSet(), std::string(CLIPWRIGHT_SOURCE_DIR) + "/def/3.7"};
    for (const std::string& folder : sets) {
        const DefinitionModel serial = loadFileByFile(folder);
        ASSERT_GT(serial.plugins().size(), 5u) << folder;
        for (const unsigned threads : {1u, 2u, 3u, 16u})
            expectSameModel(serial, loadWith(folder, threads), folder + ", " + std::to_string(threads) + " threads");
    }
}

// Every filter of a large load is found by its key, and by its title unless
// an earlier filter has the same title.
TEST(ParallelLoad, LookupsFindEveryFilterOfALargeSet)
{
    const DefinitionModel model = loadWith(irregularSet(), 4);
    std::map<std::string, const CFilter*> firstByTitle;
    for (const CPlugin& plugin : model.plugins()) {
        EXPECT_EQ(model.findPluginByKey(plugin.key), &plugin);
        for (const CFilter& filter : plugin.filters) {
            firstByTitle.try_emplace(filter.title, &filter);
            ASSERT_EQ(model.findFilterByKey(filter.key), &filter) << filter.key;
            ASSERT_EQ(model.findFilterByTitle(filter.title), firstByTitle.at(filter.title)) << filter.title;
        }
    }
    EXPECT_EQ(model.filterNames().size(), 500u * 20u + 2u);
    EXPECT_EQ(model.findFilterByTitle("Blur0")->pluginkey, model.plugins().front().key);
}

} // namespace
} // namespace cw
