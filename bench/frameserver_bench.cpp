// The frame server against AviSynth+ in one process, on a 1920x1080 YV12
// ColorBars script. Needs a real AviSynth+ on the library path:
//   LD_LIBRARY_PATH=/path/to/avisynth/lib ./frameserver_bench
// CLIPWRIGHT_AVISYNTH_LIBRARY names another library to load.
#include "core/frameserver/frame_server_client.h"
#include "core/preview/library_search.h"
#include "media/avisynth_api.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::vector<std::string> libraries()
{
    const char* chosen = std::getenv("CLIPWRIGHT_AVISYNTH_LIBRARY");
    if (chosen && *chosen) return {chosen};
    return cw::aviSynthLibraryCandidates(cw::processEnvironment);
}

const std::string& scriptPath()
{
    static const std::string path = [] {
        const std::string p = std::filesystem::temp_directory_path() /
                              ("clipwright-bench-" + std::to_string(getpid()) + ".avs");
        std::ofstream(p) << "ColorBars(1920, 1080, pixel_type=\"YV12\")\n";
        return p;
    }();
    return path;
}

// AviSynth+ straight through its C interface: the RGB32 clip, each frame's
// rows copied once, as the frame server does.
class InProcess {
public:
    explicit InProcess(const cw::AvsApi& api) : m_api(api)
    {
        m_env = api.createScriptEnvironment(6);
        cw::AvsValue script = api.invoke(m_env, "Import", cw::avsString(scriptPath().c_str()), nullptr);
        cw::AvsValue rgb = api.invoke(m_env, "ConvertToRGB32", script, nullptr);
        api.releaseValue(script);
        m_clip = api.takeClip(rgb, m_env);
        api.releaseValue(rgb);
        const cw::AvsVideoInfo* info = api.getVideoInfo(m_clip);
        m_rowSize = static_cast<std::size_t>(info->width) * 4;
        m_rows = info->height;
        m_out.resize(m_rowSize * m_rows);
    }
    ~InProcess()
    {
        m_api.releaseClip(m_clip);
        m_api.deleteScriptEnvironment(m_env);
    }
    void frame(int n)
    {
        void* f = m_api.getFrame(m_clip, n);
        const std::uint8_t* src = m_api.getReadPtr(f, 0);
        const int pitch = m_api.getPitch(f, 0);
        for (int y = 0; y < m_rows; ++y)
            std::memcpy(m_out.data() + y * m_rowSize, src + static_cast<std::ptrdiff_t>(m_rows - 1 - y) * pitch,
                        m_rowSize);
        m_api.releaseVideoFrame(f);
        benchmark::DoNotOptimize(m_out.data());
    }

private:
    const cw::AvsApi& m_api;
    void* m_env = nullptr;
    void* m_clip = nullptr;
    std::size_t m_rowSize = 0;
    int m_rows = 0;
    std::vector<std::uint8_t> m_out;
};

const cw::AvsApi* api(benchmark::State& state)
{
    std::string error;
    const cw::AvsApi* loaded = cw::loadAviSynthApi(libraries(), error);
    if (!loaded) state.SkipWithError(error.c_str());
    return loaded;
}

// The editor's side of one frame server, waiting for each answer.
class Child {
public:
    Child() : m_client({CLIPWRIGHT_FRAMESERVER, libraries()})
    {
        m_client.setEvents({.opened = [this](const cw::OpenResult& r) { m_opened = r; },
                            .frameReady = [this](const cw::RenderedFrame& f) { m_shown = f.number; },
                            .frameFailed = [this](int, const std::string& e) { m_error = e; }});
    }
    bool open()
    {
        m_opened.reset();
        m_client.open(scriptPath(), cw::SourceKind::script);
        if (!m_client.waitUntil([&] { return m_opened.has_value(); }, 30000)) m_error = "no answer";
        if (m_opened && !m_opened->ok) m_error = m_opened->error;
        return m_error.empty();
    }
    bool frame(int n)
    {
        m_shown = -1;
        m_client.requestFrame(n);
        m_client.waitUntil([&] { return m_shown == n || !m_error.empty(); }, 30000);
        return m_shown == n;
    }
    cw::FrameServerClient& client() { return m_client; }
    const std::string& error() const { return m_error; }

private:
    cw::FrameServerClient m_client;
    std::optional<cw::OpenResult> m_opened;
    int m_shown = -1;
    std::string m_error;
};

void BM_NextFrameInProcess(benchmark::State& state)
{
    const cw::AvsApi* avs = api(state);
    if (!avs) return;
    InProcess clip(*avs);
    int n = 0;
    clip.frame(n);
    for (auto _ : state) clip.frame(++n);
}
BENCHMARK(BM_NextFrameInProcess)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_NextFrameThroughServer(benchmark::State& state)
{
    Child child;
    if (!child.open() || !child.frame(0)) return state.SkipWithError(child.error().c_str());
    int n = 0;
    for (auto _ : state)
        if (!child.frame(++n)) return state.SkipWithError(child.error().c_str());
}
BENCHMARK(BM_NextFrameThroughServer)->Unit(benchmark::kMillisecond)->Iterations(300);

// Both ways in turns of 20 frames, so that a change in the machine's load
// reaches both alike. Milliseconds per frame.
void BM_NextFrameInTurns(benchmark::State& state)
{
    const cw::AvsApi* avs = api(state);
    if (!avs) return;
    InProcess clip(*avs);
    Child child;
    if (!child.open() || !child.frame(0)) return state.SkipWithError(child.error().c_str());
    clip.frame(0);
    std::vector<double> inProcess, server;
    int n = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        for (int i = 1; i <= 20; ++i) clip.frame(n + i);
        inProcess.push_back(msSince(start) / 20);
        start = Clock::now();
        for (int i = 1; i <= 20; ++i) child.frame(n + i);
        server.push_back(msSince(start) / 20);
        n += 20;
    }
    std::sort(inProcess.begin(), inProcess.end());
    std::sort(server.begin(), server.end());
    const double a = inProcess[inProcess.size() / 2], b = server[server.size() / 2];
    state.counters["in_process_ms"] = a;
    state.counters["server_ms"] = b;
    state.counters["ratio"] = b / a;
}
BENCHMARK(BM_NextFrameInTurns)->Unit(benchmark::kMillisecond)->Iterations(30);

// AviSynth+'s own cost of a start: an environment made and dropped.
void BM_EnvironmentCreation(benchmark::State& state)
{
    const cw::AvsApi* avs = api(state);
    if (!avs) return;
    for (auto _ : state) avs->deleteScriptEnvironment(avs->createScriptEnvironment(6));
}
BENCHMARK(BM_EnvironmentCreation)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_OpenAndFirstFrameInProcess(benchmark::State& state)
{
    const cw::AvsApi* avs = api(state);
    if (!avs) return;
    for (auto _ : state) InProcess(*avs).frame(0);
}
BENCHMARK(BM_OpenAndFirstFrameInProcess)->Unit(benchmark::kMillisecond)->Iterations(20);

// AviSynth+'s own start in a process of its own, as a new server meets it:
// the library loaded and the first environment made. Milliseconds.
double coldStartMs(const char* what)
{
    const std::string command = "/proc/" + std::to_string(getpid()) + "/exe --cold " + what;
    FILE* out = popen(command.c_str(), "r");
    double ms = -1;
    if (out && std::fscanf(out, "%lf", &ms) != 1) ms = -1;
    if (out) pclose(out);
    return ms;
}

int coldStart(const std::string& what)
{
    const auto start = Clock::now();
    std::string error;
    const cw::AvsApi* avs = cw::loadAviSynthApi(libraries(), error);
    if (!avs) return 1;
    void* env = avs->createScriptEnvironment(6);
    if (what == "environment") std::printf("%f\n", msSince(start));
    avs->deleteScriptEnvironment(env);
    return 0;
}

void BM_EnvironmentCreationCold(benchmark::State& state)
{
    for (auto _ : state) {
        const double ms = coldStartMs("environment");
        if (ms < 0) return state.SkipWithError("no AviSynth+");
        state.SetIterationTime(ms / 1000);
    }
}
BENCHMARK(BM_EnvironmentCreationCold)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// A server started and answering, with nothing loaded: the library it is
// asked for does not exist.
void BM_ServerStart(benchmark::State& state)
{
    for (auto _ : state) {
        cw::FrameServerClient client({CLIPWRIGHT_FRAMESERVER, {"libclipwright-none.so"}});
        bool answered = false;
        client.setEvents({.pong = [&](std::uint32_t) { answered = true; }});
        client.open(scriptPath(), cw::SourceKind::script);
        client.ping(1);
        client.waitUntil([&] { return answered; }, 30000);
        state.PauseTiming();
        client.shutdown();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ServerStart)->Unit(benchmark::kMillisecond)->Iterations(20);

// F5 with a fresh server each time: its start, the open and frame 0.
void BM_OpenAndFirstFrameNewServer(benchmark::State& state)
{
    for (auto _ : state) {
        Child child;
        if (!child.open() || !child.frame(0)) return state.SkipWithError(child.error().c_str());
        state.PauseTiming();
        child.client().shutdown();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenAndFirstFrameNewServer)->Unit(benchmark::kMillisecond)->Iterations(20);

// F5 with the server kept: the open (the old clip goes first) and frame 0.
void BM_OpenAndFirstFrameSameServer(benchmark::State& state)
{
    Child child;
    if (!child.open()) return state.SkipWithError(child.error().c_str());
    for (auto _ : state)
        if (!child.open() || !child.frame(0)) return state.SkipWithError(child.error().c_str());
}
BENCHMARK(BM_OpenAndFirstFrameSameServer)->Unit(benchmark::kMillisecond)->Iterations(20);

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A reload three ways in turns, in milliseconds: in this process, in the
// server kept from the last reload, and in a server started for it.
void BM_ReloadInTurns(benchmark::State& state)
{
    const cw::AvsApi* avs = api(state);
    if (!avs) return;
    Child kept;
    if (!kept.open()) return state.SkipWithError(kept.error().c_str());
    std::vector<double> inProcess, keptServer, newServer;
    for (auto _ : state) {
        auto start = Clock::now();
        InProcess(*avs).frame(0);
        inProcess.push_back(msSince(start));
        start = Clock::now();
        if (!kept.open() || !kept.frame(0)) return state.SkipWithError(kept.error().c_str());
        keptServer.push_back(msSince(start));
        start = Clock::now();
        {
            Child fresh;
            if (!fresh.open() || !fresh.frame(0)) return state.SkipWithError(fresh.error().c_str());
            newServer.push_back(msSince(start));
            fresh.client().shutdown();
        }
    }
    state.counters["in_process_ms"] = median(inProcess);
    state.counters["kept_server_ms"] = median(keptServer);
    state.counters["new_server_ms"] = median(newServer);
}
BENCHMARK(BM_ReloadInTurns)->Unit(benchmark::kMillisecond)->Iterations(20);

long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// 200 reloads in one server: open, frame 0, a step, close. Resident memory
// of the server and of this process, in kB, after reloads 1, 50, 100, 200.
void BM_ResidentAcrossReloads(benchmark::State& state)
{
    for (auto _ : state) {
        Child child;
        for (int reload = 1; reload <= 200; ++reload) {
            if (!child.open() || !child.frame(0) || !child.frame(1))
                return state.SkipWithError(child.error().c_str());
            child.client().close();
            if (reload == 1 || reload == 50 || reload == 100 || reload == 200) {
                child.client().waitUntil([] { return false; }, 20);
                const std::string at = std::to_string(reload);
                state.counters["server_kb_" + at] = static_cast<double>(residentKb(child.client().pid()));
                state.counters["editor_kb_" + at] = static_cast<double>(residentKb(getpid()));
            }
        }
    }
}
BENCHMARK(BM_ResidentAcrossReloads)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--cold") == 0) return coldStart(argv[2]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
