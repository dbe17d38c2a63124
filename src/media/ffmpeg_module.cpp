// The entry of the FFmpeg module that the frame server loads when it first
// opens a media file.
#include "media/ffmpeg_version.h"
#include "media/frame_source.h"

extern "C" __attribute__((visibility("default"))) cw::FrameSource*
clipwrightOpenFfmpegSource(const std::string& path, std::string& error)
{
    return cw::openFfmpegSource(path, error).release();
}

extern "C" __attribute__((visibility("default"))) std::string clipwrightFfmpegVersion()
{
    return cw::ffmpegVersion();
}
