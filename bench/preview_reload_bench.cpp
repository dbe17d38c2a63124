// The preview window over the real frame server, as the user meets it:
//   - the ui's worst event-loop stall while a frame takes 2 seconds to render
//     (the tests' stand-in library, "#fake-slow 2000");
//   - resident memory of the editor and of the frame server after 1, 50, 100
//     and 200 reloads (F5) of a 1920x1080 YV12 ColorBars script, with the
//     AviSynth+ the library search finds (CLIPWRIGHT_AVISYNTH_LIB), else the
//     stand-in.
//   preview_reload_bench [--stand-in]
#include "core/preview/library_search.h"
#include "core/preview/media_player.h"
#include "ui/preview/f_preview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

pid_t frameServerPid()
{
    // The editor's only child while the preview is open.
    std::ifstream children("/proc/self/task/" + std::to_string(getpid()) + "/children");
    pid_t pid = -1;
    children >> pid;
    return pid;
}

struct Preview {
    Preview(const std::string& script, bool standIn) : text(script)
    {
        cw::MediaCommandService& service = player.service();
        service.setFrameServerProgram(CLIPWRIGHT_FRAMESERVER);
        if (standIn) service.setAviSynthLibraryNames({CLIPWRIGHT_FAKE_AVISYNTH});
        window = new cw::fPreview(
            player,
            [this] {
                const QString path = dir.filePath("preview.avs");
                std::ofstream(path.toStdString()) << text;
                return path;
            },
            nullptr);
    }
    ~Preview() { delete window; }
    bool reload()
    {
        if (!window->startPreview()) return false;
        return QTest::qWaitFor([this] { return !window->isFramePending(); }, 30000);
    }

    std::string text;
    QTemporaryDir dir;
    cw::MediaPlayer player;
    cw::fPreview* window = nullptr;
};

void stallWhileASlowFrameRenders()
{
    Preview p("#fake 640 480 25 1 10\n#fake-slow 2000\n", true);
    if (!p.reload()) std::abort(); // frame 0 takes 2 s too
    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        worst = std::max(worst, clock.elapsed() - last);
        last = clock.elapsed();
    });
    beat.start(1);
    clock.start();
    p.window->MoveSliderTo(5);
    const bool rendered = QTest::qWaitFor([&] { return !p.window->isFramePending(); }, 10000);
    const qint64 total = clock.elapsed();
    std::printf("frame taking 2 s: %s after %lld ms; worst gap between 1 ms timer beats: %lld ms\n",
                rendered ? "rendered" : "still pending", static_cast<long long>(total), static_cast<long long>(worst));
}

void residentAcrossReloads(bool standIn)
{
    Preview p("ColorBars(1920, 1080, pixel_type=\"YV12\")\n", standIn);
    for (int reload = 1; reload <= 200; ++reload) {
        if (!p.reload()) {
            std::fprintf(stderr, "reload %d failed\n", reload);
            std::abort();
        }
        if (reload == 1 || reload == 50 || reload == 100 || reload == 200)
            std::printf("after %3d reloads: editor %ld KiB, frame server %ld KiB\n", reload, residentKiB(getpid()),
                        residentKiB(frameServerPid()));
    }
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const bool standIn = argc > 1 && std::string(argv[1]) == "--stand-in";
    stallWhileASlowFrameRenders();
    residentAcrossReloads(standIn);
    return 0;
}
