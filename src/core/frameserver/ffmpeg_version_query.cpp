#include "core/frameserver/ffmpeg_version_query.h"

#include "core/frameserver/child_process.h"

#include <poll.h>
#include <unistd.h>

namespace cw {

std::string frameServerFfmpegVersion(const std::string& frameServer)
{
    ChildProcess child;
    std::string error;
    if (!child.start(frameServer, {"--ffmpeg-version"}, error)) return "FFmpeg: unknown (" + error + ")";
    std::string text;
    char buffer[512];
    for (;;) {
        pollfd p{child.output(), POLLIN, 0};
        if (poll(&p, 1, 5000) <= 0) break;
        const ssize_t n = read(child.output(), buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    int status = 0;
    child.reap(1000, status);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (text.empty()) return "FFmpeg: unknown (" + frameServer + " did not say)";
    return text.substr(0, text.find('\n'));
}

} // namespace cw
