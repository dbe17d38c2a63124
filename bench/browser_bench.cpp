// The filter tree in both views over a generated set of 500 plugins with 20
// filters of 5 parameters each, and the description pane for a filter with
// 50 parameters.
#include "core/browser/filter_description.h"
#include "ui/browser/description_pane.h"
#include "ui/browser/filter_tree.h"

#include <QTextEdit>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string nextKey(int& counter)
{
    return "k" + std::to_string(10000000 + counter++);
}

cw::CParameter parameter(int index, int count)
{
    cw::CParameter p;
    p.title = "argument_" + std::to_string(index);
    p.Class = index % 3 == 0 ? "string" : "float";
    p.min = "0";
    p.max = std::to_string(index * 10);
    p.isoptional = index > 2;
    p.description = "What argument " + std::to_string(index) + " of " + std::to_string(count) + " does.";
    return p;
}

// Every tenth filter has no category; the other categories mix letter case
// so that the top-level order has to ignore it.
cw::DefinitionModel generatedSet()
{
    cw::DefinitionModel model;
    int counter = 0;
    for (int file = 0; file < 500; ++file) {
        cw::CPlugin plugin;
        plugin.key = nextKey(counter);
        plugin.title = (file % 2 ? "plugin" : "Plugin") + std::to_string(499 - file);
        plugin.description = "Generated plugin " + std::to_string(file);
        for (int f = 0; f < 20; ++f) {
            cw::CFilter filter;
            filter.key = nextKey(counter);
            filter.pluginkey = plugin.key;
            filter.title = "Filter" + std::to_string(file * 20 + f);
            filter.description = "Does thing " + std::to_string(f) + " to the clip.";
            if (f % 10 != 0) filter.category = (f % 2 ? "cat" : "Cat") + std::to_string((file + f) % 40);
            for (int p = 0; p < 5; ++p) filter.parameters.push_back(parameter(p, 5));
            plugin.filters.push_back(std::move(filter));
        }
        model.addPlugin(std::move(plugin));
    }
    model.finishLoad();
    return model;
}

cw::DefinitionModel fiftyParameterFilter()
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
    for (int i = 0; i < 50; ++i) filter.parameters.push_back(parameter(i, 50));
    plugin.filters.push_back(std::move(filter));
    cw::DefinitionModel model;
    model.addPlugin(std::move(plugin));
    model.finishLoad();
    return model;
}

const cw::DefinitionModel& generated()
{
    static const cw::DefinitionModel model = generatedSet();
    return model;
}

// A shown tree, as the menu commands rebuild it.
struct ShownTree : QTreeWidget {
    ShownTree()
    {
        resize(250, 500);
        show();
    }
};

// Each iteration replaces the nodes of the previous one, as a rebuild does.
void BM_FillTreeByPlugin(benchmark::State& state)
{
    ShownTree tree;
    for (auto _ : state) cw::fillTreeByPlugin(tree, generated());
}
BENCHMARK(BM_FillTreeByPlugin)->Unit(benchmark::kMillisecond);

void BM_FillTreeByPluginAfterCategoryView(benchmark::State& state)
{
    ShownTree tree;
    cw::fillTreeByCategory(tree, generated(), false);
    for (auto _ : state) cw::fillTreeByPlugin(tree, generated());
}
BENCHMARK(BM_FillTreeByPluginAfterCategoryView)->Unit(benchmark::kMillisecond);

void BM_FillTreeByCategory(benchmark::State& state)
{
    ShownTree tree;
    for (auto _ : state) cw::fillTreeByCategory(tree, generated(), false);
}
BENCHMARK(BM_FillTreeByCategory)->Unit(benchmark::kMillisecond);

void BM_ShowFilterDescription50Parameters(benchmark::State& state)
{
    const cw::DefinitionModel model = fiftyParameterFilter();
    QTextEdit pane;
    pane.resize(800, 200);
    pane.show();
    for (auto _ : state) {
        cw::showFilterDescription(pane, model, "k10000002");
        // Lay the text out as a shown pane would before painting.
        benchmark::DoNotOptimize(pane.document()->size());
    }
}
BENCHMARK(BM_ShowFilterDescription50Parameters)->Unit(benchmark::kMillisecond);

// The core half of the above: building the text and its format ranges.
void BM_DescribeFilter50Parameters(benchmark::State& state)
{
    const cw::DefinitionModel model = fiftyParameterFilter();
    for (auto _ : state) benchmark::DoNotOptimize(cw::describeFilter(model, "k10000002", "\n"));
}
BENCHMARK(BM_DescribeFilter50Parameters)->Unit(benchmark::kMicrosecond);

} // namespace
