// clipwright-frameserver: renders one clip at a time for the editor that
// started it, so that nothing a script loads runs in the editor's process.
#include "core/preview/library_search.h"
#include "frameserver/frame_server.h"
#include "media/ffmpeg_version.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int kSocket = 3;

} // namespace

int main(int argc, char** argv)
{
    // The editor's --version asks what FFmpeg the preview decodes with.
    if (argc == 2 && std::strcmp(argv[1], "--ffmpeg-version") == 0) {
        std::printf("%s\n", cw::ffmpegVersion().c_str());
        return 0;
    }
    // A server busy with a hung frame must not outlive its editor.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (fcntl(kSocket, F_SETFD, FD_CLOEXEC) != 0) {
        std::fprintf(stderr, "clipwright-frameserver is started by clipwright, not by hand.\n");
        return 2;
    }
    close_range(kSocket + 1, ~0U, 0);
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::string> libraries;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--avisynth-library") == 0 && i + 1 < argc) {
            libraries.emplace_back(argv[++i]);
        } else {
            std::fprintf(stderr, "clipwright-frameserver: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    if (libraries.empty()) libraries = cw::aviSynthLibraryCandidates(cw::processEnvironment);
    return cw::FrameServer(kSocket, std::move(libraries)).run();
}
