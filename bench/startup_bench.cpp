// The whole start-up in this process: the main window from its construction
// to its first painted frame on the offscreen platform, with the bundled
// definition set and with 10,000 generated filters (500 files). The window
// is then destroyed untimed; the counter teardown_ms says what that took.
// The processor time is the whole process's, the loader's threads included.
//
// Every window after the first finds Qt's caches warm (fonts, icons, the
// plugins), so these figures are below a fresh process's; tools/bench-startup
// measures whole processes. Run with --benchmark_repetitions=15
// --benchmark_enable_random_interleaving=true on a busy machine.
#include "support/synthetic_defs.h"
#include "ui/app/form1.h"
#include "ui/winsvc/prompt_service.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string makeTempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "cw-startup-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
}

// A program folder of its own, holding def/3.7 (the bundled set) and
// def/synthetic; the settings file is written anew before every start.
struct ProgramFolder {
    ProgramFolder() : path(makeTempFolder())
    {
        fs::create_directories(path + "/def");
        fs::create_directory_symlink(std::string(CLIPWRIGHT_SOURCE_DIR) + "/def/3.7", path + "/def/3.7");
        if (!cw::bench::writeSyntheticDefinitions(path + "/def/synthetic")) std::abort();
        ::setenv("CLIPWRIGHT_HOME", path.c_str(), 1);
    }
    ~ProgramFolder() { fs::remove_all(path); }

    void chooseSet(const std::string& set) const
    {
        std::ofstream(path + "/conf.properties", std::ios::binary)
            << "#configuration\r\navisynth.def.path=" << set << "\r\n";
    }

    std::string path;
};

// Tells when a widget of the watched window has been painted.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(const QWidget& window) : m_window(window) { qApp->installEventFilter(this); }
    ~PaintWatch() override { qApp->removeEventFilter(this); }
    bool painted() const { return m_painted; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == &m_window)
            m_painted = true;
        return false;
    }

private:
    const QWidget& m_window;
    bool m_painted = false;
};

void startUp(benchmark::State& state, const std::string& set)
{
    static const ProgramFolder folder;
    cw::StderrPrompts prompts;
    cw::PromptService* previous = cw::PromptService::install(&prompts);
    const QStringList arguments{QStringLiteral("clipwright")};
    double teardownMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        folder.chooseSet(set);
        state.ResumeTiming();

        auto* form = new cw::Form1(arguments);
        {
            const PaintWatch watch(*form);
            form->show();
            // The frame is out once the event-loop turn that painted it returns.
            while (!watch.painted()) QCoreApplication::processEvents();
        }

        state.PauseTiming();
        QElapsedTimer teardown;
        teardown.start();
        delete form;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        teardownMs += static_cast<double>(teardown.nsecsElapsed()) / 1e6;
        state.ResumeTiming();
    }
    state.counters["teardown_ms"] = benchmark::Counter(teardownMs, benchmark::Counter::kAvgIterations);
    cw::PromptService::install(previous);
}

void BM_StartupBundledSet(benchmark::State& state)
{
    startUp(state, "3.7");
}
BENCHMARK(BM_StartupBundledSet)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Startup10000Filters(benchmark::State& state)
{
    startUp(state, "synthetic");
}
BENCHMARK(BM_Startup10000Filters)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

} // namespace
