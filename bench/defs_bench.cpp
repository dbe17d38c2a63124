// A generated set of 500 definition files, 10,000 filters with 5 parameters
// each, loaded and searched.
#include "core/defs/definition_loader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr int kFiles = 500;
constexpr int kFiltersPerFile = 20;

std::string filterTitle(int file, int filter)
{
    // Mixed letter case, so the sort has to lower-case.
    static const char* const stems[] = {"Blur", "sharpen", "AddBorders", "crop", "Levels", "tweak"};
    return std::string(stems[(file + filter) % 6]) + std::to_string(file * kFiltersPerFile + filter);
}

struct GeneratedSet {
    GeneratedSet()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "cw-defs-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        folder = pattern;
        for (int file = 0; file < kFiles; ++file) {
            std::ofstream out(folder + "/Plugin" + std::to_string(file) + ".xml");
            out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Plugin>\n  <Description>Generated plugin "
                << file << "</Description>\n  <Filters>\n";
            for (int filter = 0; filter < kFiltersPerFile; ++filter) {
                out << "    <Filter>\n      <Name>" << filterTitle(file, filter) << "</Name>\n      <Category>Cat"
                    << (file % 40) << "</Category>\n      <Description>Does thing " << filter
                    << " to the clip.</Description>\n      <Parameters>\n";
                for (int p = 0; p < 5; ++p) {
                    out << "        <Parameter><Name>arg" << p << "</Name><Type>" << (p == 0 ? "clip" : "int")
                        << "</Type><Description>Argument " << p << "</Description><Min>0</Min><Max>255</Max>"
                        << "<Default>1</Default><Optional>" << (p > 1 ? "true" : "false") << "</Optional>"
                        << "</Parameter>\n";
                }
                out << "      </Parameters>\n    </Filter>\n";
            }
            out << "  </Filters>\n</Plugin>\n";
        }
        model = cw::loadDefinitions(folder);
    }
    ~GeneratedSet() { std::filesystem::remove_all(folder); }

    std::string folder;
    cw::DefinitionModel model;
};

GeneratedSet& generated()
{
    static GeneratedSet set;
    return set;
}

void BM_LoadDefinitions(benchmark::State& state)
{
    const std::string& folder = generated().folder;
    for (auto _ : state) {
        cw::DefinitionModel model = cw::loadDefinitions(folder);
        benchmark::DoNotOptimize(model.filterNames().data());
    }
}
BENCHMARK(BM_LoadDefinitions)->Unit(benchmark::kMillisecond);

void BM_FindFilterByTitle(benchmark::State& state)
{
    std::vector<std::string> titles;
    for (int i = 0; i < 1000; ++i) titles.push_back(filterTitle(i * 7 % kFiles, i % kFiltersPerFile));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(generated().model.findFilterByTitle(titles[i++ % titles.size()]));
    }
}
BENCHMARK(BM_FindFilterByTitle);

void BM_FindFilterByKey(benchmark::State& state)
{
    std::vector<std::string> keys;
    for (const cw::CPlugin& plugin : generated().model.plugins())
        for (const cw::CFilter& filter : plugin.filters) keys.push_back(filter.key);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(1));
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(generated().model.findFilterByKey(keys[i++ % keys.size()]));
}
BENCHMARK(BM_FindFilterByKey);

void BM_SortNames(benchmark::State& state)
{
    std::vector<std::string> shuffled = generated().model.filterNames();
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(2));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> names = shuffled;
        state.ResumeTiming();
        cw::sortNames(names);
        benchmark::DoNotOptimize(names.data());
    }
}
BENCHMARK(BM_SortNames)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
