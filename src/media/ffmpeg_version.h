#pragma once

#include <string>

namespace cw {

// One line naming the FFmpeg release and the versions of its libraries that
// decode the preview, as loaded at run time, e.g.
// "FFmpeg 5.1.6 (libavformat 59.27.100, libavcodec 59.37.100, ...)". In the
// frame server it comes from its FFmpeg module, or says why that is missing.
std::string ffmpegVersion();

} // namespace cw
