// A generated set of 500 definition files, 10,000 filters with 5 parameters
// each, loaded and searched, against pugixml alone parsing and walking the
// same files; and the bundled set.
//
// Warm figures come from the benchmarks (run them with
// --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true so
// the rivals take turns). Cold figures need a fresh process per load:
//   defs_bench --cold [rounds] [set folder]
// runs this program again once per load, the rivals in turns, and prints
// the medians; --once <rival> <folder> is that child.
#include "core/defs/definition_loader.h"
#include "support/synthetic_defs.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kFiles = 500;
constexpr int kFiltersPerFile = 20;
const std::string bundledSet = std::string(CLIPWRIGHT_SOURCE_DIR) + "/def/3.7";

std::string makeTempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "cw-defs-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
}

struct GeneratedSet {
    GeneratedSet() : folder(makeTempFolder())
    {
        if (!cw::bench::writeSyntheticDefinitions(folder, kFiles, kFiltersPerFile)) std::abort();
    }
    ~GeneratedSet() { std::filesystem::remove_all(folder); }

    std::string folder;
};

const GeneratedSet& generated()
{
    static const GeneratedSet set;
    return set;
}

// The generated set loaded, for the lookups.
const cw::DefinitionModel& generatedModel()
{
    static const cw::DefinitionModel model = cw::loadDefinitions(generated().folder);
    return model;
}

// The definition files of a folder in the loader's order.
std::vector<std::string> xmlFiles(const std::string& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".xml") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// What any loader must do at the least: parse each file with the loader's
// options and visit every node, reading every name and text.
std::size_t pugixmlWalk(const std::vector<std::string>& files)
{
    struct Walker : pugi::xml_tree_walker {
        bool for_each(pugi::xml_node& node) override
        {
            const pugi::xml_node_type type = node.type();
            sum += std::strlen(type == pugi::node_pcdata || type == pugi::node_cdata ? node.value() : node.name());
            return true;
        }
        std::size_t sum = 0;
    } walker;
    for (const std::string& file : files) {
        pugi::xml_document document;
        if (document.load_file(file.c_str(), pugi::parse_default | pugi::parse_ws_pcdata)) document.traverse(walker);
    }
    return walker.sum;
}

// The first `count` files of the generated set, in a folder of their own.
struct PartialSet {
    explicit PartialSet(int count) : folder(makeTempFolder())
    {
        const std::vector<std::string> files = xmlFiles(generated().folder);
        for (int i = 0; i < count; ++i)
            std::filesystem::copy_file(files[static_cast<std::size_t>(i)],
                                       folder + "/" + std::filesystem::path(files[static_cast<std::size_t>(i)]).filename().string());
    }
    ~PartialSet() { std::filesystem::remove_all(folder); }
    std::string folder;
};

// The model outlives the load in the program, so its release is not timed.
void releaseUntimed(benchmark::State& state, cw::DefinitionModel& model)
{
    state.PauseTiming();
    model = cw::DefinitionModel();
    state.ResumeTiming();
}

void BM_LoadDefinitions(benchmark::State& state)
{
    const std::string& folder = generated().folder;
    for (auto _ : state) {
        cw::DefinitionModel model = cw::loadDefinitions(folder);
        benchmark::DoNotOptimize(model.filterNames().data());
        releaseUntimed(state, model);
    }
}
BENCHMARK(BM_LoadDefinitions)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadDefinitionsSerial(benchmark::State& state)
{
    const std::string& folder = generated().folder;
    for (auto _ : state) {
        cw::KeyMaker keys = cw::KeyMaker::fromSystemClock();
        cw::DefinitionModel model = cw::loadDefinitions(folder, keys, 1);
        benchmark::DoNotOptimize(model.filterNames().data());
        releaseUntimed(state, model);
    }
}
BENCHMARK(BM_LoadDefinitionsSerial)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PugixmlWalk(benchmark::State& state)
{
    const std::vector<std::string> files = xmlFiles(generated().folder);
    for (auto _ : state) benchmark::DoNotOptimize(pugixmlWalk(files));
}
BENCHMARK(BM_PugixmlWalk)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadBundledSet(benchmark::State& state)
{
    const auto threads = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        cw::KeyMaker keys = cw::KeyMaker::fromSystemClock();
        cw::DefinitionModel model = cw::loadDefinitions(bundledSet, keys, threads);
        benchmark::DoNotOptimize(model.filterNames().data());
        releaseUntimed(state, model);
    }
}
BENCHMARK(BM_LoadBundledSet)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PugixmlWalkBundledSet(benchmark::State& state)
{
    const std::vector<std::string> files = xmlFiles(bundledSet);
    for (auto _ : state) benchmark::DoNotOptimize(pugixmlWalk(files));
}
BENCHMARK(BM_PugixmlWalkBundledSet)->Unit(benchmark::kMillisecond)->UseRealTime();

// Where a parallel load starts to pay: a few files of the generated set on
// one thread and on two.
void BM_LoadFewFiles(benchmark::State& state)
{
    const PartialSet set(static_cast<int>(state.range(0)));
    const auto threads = static_cast<unsigned>(state.range(1));
    for (auto _ : state) {
        cw::KeyMaker keys = cw::KeyMaker::fromSystemClock();
        cw::DefinitionModel model = cw::loadDefinitions(set.folder, keys, threads);
        benchmark::DoNotOptimize(model.filterNames().data());
        releaseUntimed(state, model);
    }
}
BENCHMARK(BM_LoadFewFiles)
    ->ArgNames({"files", "threads"})
    ->ArgsProduct({{1, 2, 3, 4, 6, 8}, {1, 2}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_FindFilterByTitle(benchmark::State& state)
{
    std::vector<std::string> titles;
    for (int i = 0; i < 1000; ++i)
        titles.push_back(cw::bench::syntheticFilterTitle(i * 7 % kFiles, i % kFiltersPerFile, kFiltersPerFile));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(generatedModel().findFilterByTitle(titles[i++ % titles.size()]));
    }
}
BENCHMARK(BM_FindFilterByTitle);

void BM_FindFilterByKey(benchmark::State& state)
{
    std::vector<std::string> keys;
    for (const cw::CPlugin& plugin : generatedModel().plugins())
        for (const cw::CFilter& filter : plugin.filters) keys.push_back(filter.key);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(1));
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(generatedModel().findFilterByKey(keys[i++ % keys.size()]));
}
BENCHMARK(BM_FindFilterByKey);

void BM_SortNames(benchmark::State& state)
{
    std::vector<std::string> shuffled = generatedModel().filterNames();
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

// This process's own peak, from /proc: the rusage of a spawned child also
// counts its parent's memory, which the child shared until it started.
long peakResidentKiB()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
    std::fclose(status);
    return kib;
}

// The child of --cold: one load by one rival, its time in microseconds.
// The model is left to the end of the process, as the program keeps it.
int runOnce(const std::string& rival, const std::string& folder)
{
    const auto start = std::chrono::steady_clock::now();
    std::size_t result = 0;
    cw::DefinitionModel model;
    if (rival == "pugixml") {
        result = pugixmlWalk(xmlFiles(folder));
    } else if (rival == "loader-serial") {
        cw::KeyMaker keys = cw::KeyMaker::fromSystemClock();
        model = cw::loadDefinitions(folder, keys, 1);
        result = model.filterNames().size();
    } else {
        model = cw::loadDefinitions(folder);
        result = model.filterNames().size();
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%lld %zu %ld\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()), result,
                peakResidentKiB());
    return 0;
}

struct ChildRun {
    double ms = 0;
    long maxRssKiB = 0;
};

ChildRun runChild(const std::string& rival, const std::string& folder)
{
    int out[2];
    if (::pipe(out) != 0) std::abort();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<char*> argv{self.data(), const_cast<char*>("--once"), const_cast<char*>(rival.c_str()),
                            const_cast<char*>(folder.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ) != 0) std::abort();
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    char text[128] = {};
    const ssize_t n = ::read(out[0], text, sizeof text - 1);
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (n <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
    long microseconds = 0;
    long kib = 0;
    std::size_t result = 0;
    if (std::sscanf(text, "%ld %zu %ld", &microseconds, &result, &kib) != 3) std::abort();
    return {static_cast<double>(microseconds) / 1000.0, kib};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Each round runs every rival once, in an order that turns from round to
// round, so that a burst of load on the machine falls on all of them.
int runCold(int rounds, const std::string& folder)
{
    const std::vector<std::string> rivals{"pugixml", "loader", "loader-serial"};
    std::vector<std::vector<double>> ms(rivals.size()), rss(rivals.size()), ratio(rivals.size());
    for (int round = 0; round < rounds; ++round) {
        std::vector<ChildRun> runs(rivals.size());
        for (std::size_t k = 0; k < rivals.size(); ++k) {
            const std::size_t r = (k + static_cast<std::size_t>(round)) % rivals.size();
            runs[r] = runChild(rivals[r], folder);
        }
        for (std::size_t r = 0; r < rivals.size(); ++r) {
            ms[r].push_back(runs[r].ms);
            rss[r].push_back(static_cast<double>(runs[r].maxRssKiB) / 1024.0);
            ratio[r].push_back(runs[r].ms / runs[0].ms);
        }
    }
    std::printf("cold, fresh process per load, %d rounds, set %s\n", rounds, folder.c_str());
    std::printf("%-14s %10s %12s %14s\n", "rival", "median ms", "vs pugixml", "max RSS MiB");
    for (std::size_t r = 0; r < rivals.size(); ++r)
        std::printf("%-14s %10.1f %11.2fx %14.1f\n", rivals[r].c_str(), median(ms[r]), median(ratio[r]),
                    median(rss[r]));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--once") == 0) return runOnce(argv[2], argv[3]);
    if (argc >= 2 && std::strcmp(argv[1], "--cold") == 0) {
        const int rounds = argc >= 3 ? std::max(1, std::atoi(argv[2])) : 15;
        if (argc >= 4) return runCold(rounds, argv[3]);
        return runCold(rounds, generated().folder);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
