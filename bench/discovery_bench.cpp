// Reading the functions of AviSynth+ through a new frame server each time,
// and finding the functions a script defines.
//   LD_LIBRARY_PATH=/path/to/avisynth/lib ./discovery_bench
// reads the real AviSynth+ (CLIPWRIGHT_AVISYNTH_LIBRARY names another
// library); the synthetic runs use the tests' stand-in library.
#include "core/defs/definition_writer.h"
#include "core/defs/installed_set.h"
#include "core/defs/script_functions.h"
#include "core/editor/script_styler.h"
#include "core/frameserver/frame_server_client.h"
#include "core/preview/library_search.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

std::vector<std::string> installedLibraries()
{
    const char* chosen = std::getenv("CLIPWRIGHT_AVISYNTH_LIBRARY");
    if (chosen && *chosen) return {chosen};
    return cw::aviSynthLibraryCandidates(cw::processEnvironment);
}

// Server start, the functions request and the server's end.
std::optional<cw::InterpreterFunctions> readFunctions(const std::vector<std::string>& libraries, std::string& error)
{
    cw::FrameServerClient client({CLIPWRIGHT_FRAMESERVER, libraries});
    std::optional<cw::InterpreterFunctions> found;
    bool answered = false;
    cw::FrameServerClient::Events events;
    events.functionsListed = [&](const cw::InterpreterFunctions& f) {
        found = f;
        answered = true;
    };
    events.functionsFailed = [&](const std::string& e) {
        error = e;
        answered = true;
    };
    client.setEvents(events);
    client.requestFunctions();
    client.waitUntil([&] { return answered; }, 30000);
    client.shutdown();
    return found;
}

void runReads(benchmark::State& state, const std::vector<std::string>& libraries)
{
    std::size_t internal = 0, plugin = 0;
    for (auto _ : state) {
        std::string error;
        const auto found = readFunctions(libraries, error);
        if (!found) return state.SkipWithError(error.c_str());
        internal = found->internal.size();
        plugin = found->plugin.size();
    }
    state.counters["internal"] = static_cast<double>(internal);
    state.counters["plugin"] = static_cast<double>(plugin);
}

void BM_ReadFunctionsInstalled(benchmark::State& state)
{
    runReads(state, installedLibraries());
}
BENCHMARK(BM_ReadFunctionsInstalled)->Unit(benchmark::kMillisecond)->Iterations(10);

#ifdef CLIPWRIGHT_FAKE_AVISYNTH
void BM_ReadFunctionsSynthetic(benchmark::State& state)
{
    ::setenv("FAKE_AVISYNTH_PLUGIN_FUNCTIONS", std::to_string(state.range(0)).c_str(), 1);
    runReads(state, {CLIPWRIGHT_FAKE_AVISYNTH});
    ::unsetenv("FAKE_AVISYNTH_PLUGIN_FUNCTIONS");
}
// 0: the stand-in's few functions, the baseline of server start and request.
BENCHMARK(BM_ReadFunctionsSynthetic)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(20);

// Building the set from 1,000 plugin functions and writing it.
void BM_WriteSyntheticSet(benchmark::State& state)
{
    ::setenv("FAKE_AVISYNTH_PLUGIN_FUNCTIONS", "1000", 1);
    std::string error;
    const auto found = readFunctions({CLIPWRIGHT_FAKE_AVISYNTH}, error);
    ::unsetenv("FAKE_AVISYNTH_PLUGIN_FUNCTIONS");
    if (!found) return state.SkipWithError(error.c_str());
    const std::string folder =
        std::filesystem::temp_directory_path() / ("clipwright-bench-def-" + std::to_string(getpid()));
    const cw::DefinitionModel bundled;
    for (auto _ : state) {
        error = cw::writeDefinitionSet(folder, "set", cw::installedSetPlugins(*found, bundled, {}));
        if (!error.empty()) return state.SkipWithError(error.c_str());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteSyntheticSet)->Unit(benchmark::kMillisecond)->Iterations(20);
#endif

// 5,000 lines: 100 functions of 50 lines each, with comments, strings that
// hold the word "function", nested braces and calls.
const std::string& longScript()
{
    static const std::string text = [] {
        std::string s;
        for (int f = 0; f < 100; ++f) {
            const std::string n = std::to_string(f);
            s += "# Helper " + n + ": a function that softens, then sharpens\r\n";
            s += "function Helper" + n + "(clip c, float \"radius\", int \"planes\", string \"mode\")\r\n{\r\n";
            for (int line = 0; line < 23; ++line) {
                s += "    c = c.Blur(radius, 0.5).Sharpen(0.3) # \"function\" in a comment\r\n";
                s += "    text = \"a function Fake" + std::to_string(line) + "() { } in a string\"\r\n";
            }
            s += "    return (mode == \"x\") ? c : { c.Levels(0, 1.0, 255, 0, 255) }\r\n}\r\n";
        }
        return s;
    }();
    return text;
}

void BM_FindScriptFunctions(benchmark::State& state)
{
    std::size_t found = 0;
    for (auto _ : state) found = cw::findScriptFunctions(longScript()).size();
    state.counters["functions"] = static_cast<double>(found);
    state.counters["lines"] = 5000;
}
BENCHMARK(BM_FindScriptFunctions)->Unit(benchmark::kMillisecond);

// The baseline: the highlighter's pass over the same text.
void BM_StyleScript(benchmark::State& state)
{
    const std::vector<std::string> names{"Blur", "Sharpen", "Levels"};
    const cw::KeywordSet keywords(names);
    std::vector<cw::ScriptStyle> styles;
    for (auto _ : state) {
        cw::styleScript(longScript(), 0, longScript().size(), cw::ScriptState::Normal, keywords, styles);
        benchmark::DoNotOptimize(styles.data());
    }
}
BENCHMARK(BM_StyleScript)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
