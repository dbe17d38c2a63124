#pragma once

#include "core/preview/media_command_service.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace cw {

// The one command service of the process, used by the functions below.
MediaCommandService& mediaService();

// Facts of the clip the preview has open; all 0 until a clip opens.
struct CurrentClipInfo {
    float frameRate = 0;
    int width = 0;
    int height = 0;
    std::int32_t lengthInFrames = 0;
};
CurrentClipInfo& currentClipInfo();

// Commands answer "Success" or the service's error text; queries answer -1
// when the command that yields the number fails.
std::string openMovie(std::intptr_t parentHandle, std::string_view alias, const std::string& path,
                      std::string_view deviceType);
std::string playMovie(std::string_view alias, std::string_view from, std::string_view to);
std::string seekMovie(std::string_view alias, std::int32_t frame);
std::string closeAllMovies();
std::int32_t getLengthInFrames(std::string_view alias);
std::int32_t getLengthInMs(std::string_view alias); // leaves the time format in frames
std::int32_t getPosition(std::string_view alias);
float getFrameRate(std::string_view alias);
std::int32_t getVideoSize(std::string_view alias, std::string_view which); // "cx" or "cy", any case

// Clock text "hh:mm:ss.mmm" of a frame at the given rate; all zero when the
// rate is not positive or the frame is below 1. A fraction that rounds to
// 1000 ms carries into the seconds.
std::string formatFrameTime(std::int32_t frame, double frameRate);
// The same at the current clip's frame rate.
std::string formatFrameTime(std::int32_t frame);

} // namespace cw
