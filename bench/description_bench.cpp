// The description text of a filter with 50 parameters, the core half of
// filling the description pane.
#include "core/browser/filter_description.h"

#include <benchmark/benchmark.h>

namespace {

cw::DefinitionModel fiftyParameterModel()
{
    cw::CPlugin plugin;
    plugin.key = "k10000001";
    plugin.title = "BigPlugin";
    plugin.description = "A plugin with one large filter.";
    cw::CFilter filter;
    filter.key = "k10000002";
    filter.pluginkey = plugin.key;
    filter.title = "ManyArgs";
    filter.description = "A filter that takes fifty arguments.";
    for (int i = 0; i < 50; ++i) {
        cw::CParameter parameter;
        parameter.title = "argument_" + std::to_string(i);
        parameter.Class = i % 3 == 0 ? "string" : "float";
        parameter.min = "0";
        parameter.max = std::to_string(i * 10);
        parameter.isoptional = i > 2;
        parameter.description = "What argument " + std::to_string(i) + " does, in one sentence or so.";
        filter.parameters.push_back(parameter);
    }
    plugin.filters.push_back(filter);
    cw::DefinitionModel model;
    model.addPlugin(plugin);
    model.finishLoad();
    return model;
}

void BM_DescribeFilter50Parameters(benchmark::State& state)
{
    const cw::DefinitionModel model = fiftyParameterModel();
    for (auto _ : state) benchmark::DoNotOptimize(cw::describeFilter(model, "k10000002", "\n"));
}
BENCHMARK(BM_DescribeFilter50Parameters)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
