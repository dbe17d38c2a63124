#include "media/ffmpeg_version.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswscale/swscale.h>
}

namespace cw {
namespace {

std::string dotted(unsigned version)
{
    return std::to_string(AV_VERSION_MAJOR(version)) + "." + std::to_string(AV_VERSION_MINOR(version)) + "." +
           std::to_string(AV_VERSION_MICRO(version));
}

} // namespace

std::string ffmpegVersion()
{
    return std::string("FFmpeg ") + av_version_info() + " (libavformat " + dotted(avformat_version()) +
           ", libavcodec " + dotted(avcodec_version()) + ", libswscale " + dotted(swscale_version()) +
           ", libavutil " + dotted(avutil_version()) + ")";
}

} // namespace cw
