#pragma once

#include <string>

namespace cw {

// The FFmpeg the preview decodes with, as the frame server program says it
// (the editor itself loads no FFmpeg); one line, or why it cannot tell.
std::string frameServerFfmpegVersion(const std::string& frameServer);

} // namespace cw
