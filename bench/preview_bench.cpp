// The preview's workbench: drawing a 1080p frame (copy out of the frame
// server's memory, paint, and the window's flush to the display), zoom and
// pan at 400%, and ten seconds of playback of a 1920x1080 YV12 ColorBars
// script at 60000/1001 through the real frame server. Needs a display (run
// it under xvfb-run) and, for playback, a real AviSynth+:
//   CLIPWRIGHT_AVISYNTH_LIBRARY=/path/to/libavisynth.so xvfb-run -a build/bench/preview_bench
#include "core/preview/library_search.h"
#include "core/preview/media_player.h"
#include "ui/preview/f_preview.h"
#include "ui/preview/frame_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

constexpr int width = 1920;
constexpr int height = 1080;

std::vector<std::string> libraries()
{
    const char* chosen = std::getenv("CLIPWRIGHT_AVISYNTH_LIBRARY");
    if (chosen && *chosen) return {chosen};
    return cw::aviSynthLibraryCandidates(cw::processEnvironment);
}

// A frame as the frame server leaves it in shared memory: bars of colour
// and a gradient, so that scaling has work to do.
const std::vector<std::uint8_t>& sharedFrame()
{
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> b(std::size_t(width) * height * 4);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint8_t* p = &b[(std::size_t(y) * width + x) * 4];
                p[0] = static_cast<std::uint8_t>(x * 7 / width * 36);
                p[1] = static_cast<std::uint8_t>(y * 255 / height);
                p[2] = static_cast<std::uint8_t>((x + y) & 0xff);
                p[3] = 255;
            }
        return b;
    }();
    return bytes;
}

cw::VideoFrame videoFrame(int number)
{
    return {number, width, height, width * 4, sharedFrame().data(), nullptr};
}

// A view as the preview shows a 1080p clip on a 1280x1024 screen: scaled
// down to fit, drawn smoothly.
struct View {
    View()
    {
        view.resize(1200, 675);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view)) std::fprintf(stderr, "the view was never shown\n");
        view.showImage(cw::copyOf(videoFrame(0)));
        view.viewport()->repaint();
    }
    cw::FrameView view;
};

void BM_DrawingPathConversion(benchmark::State& state)
{
    View v;
    int n = 0;
    for (auto _ : state) v.view.showImage(cw::copyOf(videoFrame(++n)));
}
BENCHMARK(BM_DrawingPathConversion)->Unit(benchmark::kMicrosecond)->Iterations(200);

// Paint and flush, without the copy.
void BM_DrawingPathPaint(benchmark::State& state)
{
    View v;
    for (auto _ : state) v.view.viewport()->repaint();
}
BENCHMARK(BM_DrawingPathPaint)->Unit(benchmark::kMicrosecond)->Iterations(200);

// The floor for the paint: the same view at 100%, a plain copy of pixels.
void BM_DrawingPathPaintUnscaled(benchmark::State& state)
{
    View v;
    v.view.setZoom({false, 100});
    for (auto _ : state) v.view.viewport()->repaint();
}
BENCHMARK(BM_DrawingPathPaintUnscaled)->Unit(benchmark::kMicrosecond)->Iterations(200);

// What each frame costs the editor while playing: copy, paint, flush.
void BM_DrawingPathWhole(benchmark::State& state)
{
    View v;
    int n = 0;
    for (auto _ : state) {
        v.view.showImage(cw::copyOf(videoFrame(++n)));
        v.view.viewport()->repaint();
    }
}
BENCHMARK(BM_DrawingPathWhole)->Unit(benchmark::kMicrosecond)->Iterations(200);

// 400% on the same view, panned a little further each time.
void BM_ZoomAndPan400(benchmark::State& state)
{
    View v;
    v.view.setZoom({false, 400});
    QScrollBar* across = v.view.horizontalScrollBar();
    QScrollBar* down = v.view.verticalScrollBar();
    int step = 0;
    for (auto _ : state) {
        ++step;
        across->setValue((step * 37) % across->maximum());
        down->setValue((step * 23) % down->maximum());
        v.view.viewport()->repaint();
    }
}
BENCHMARK(BM_ZoomAndPan400)->Unit(benchmark::kMicrosecond)->Iterations(200);

// Ten seconds of playback in the preview window itself, through the real
// frame server: the rate achieved and the frames dropped.
void BM_Playback1080p60(benchmark::State& state)
{
    const std::string script = std::filesystem::temp_directory_path() /
                               ("clipwright-playback-" + std::to_string(getpid()) + ".avs");
    std::ofstream(script) << "ColorBars(1920, 1080, pixel_type=\"YV12\").AssumeFPS(60000, 1001)\n";
    for (auto _ : state) {
        cw::MediaPlayer player;
        player.service().setFrameServerProgram(CLIPWRIGHT_FRAMESERVER);
        player.service().setAviSynthLibraryNames(libraries());
        auto* preview = new cw::fPreview(player, [&] { return QString::fromStdString(script); }, nullptr);
        if (!preview->startPreview()) {
            state.SkipWithError("the script did not open (is AviSynth+ on CLIPWRIGHT_AVISYNTH_LIBRARY?)");
            break;
        }
        preview->show();
        if (!QTest::qWaitFor([&] { return !preview->isFramePending(); }, 10000)) {
            state.SkipWithError("frame 0 never came");
            break;
        }
        QElapsedTimer clock;
        preview->togglePlayback();
        clock.start();
        QTest::qWait(10000);
        const int reached = preview->shownFrame();
        preview->togglePlayback();
        state.counters["achieved_fps"] = preview->playback().achievedRate();
        state.counters["dropped"] = static_cast<double>(preview->playback().dropped());
        state.counters["frames_reached"] = reached;
        state.counters["clip_frames_due"] = clock.elapsed() * 60000.0 / 1001 / 1000;
        delete preview;
    }
    std::filesystem::remove(script);
}
BENCHMARK(BM_Playback1080p60)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
