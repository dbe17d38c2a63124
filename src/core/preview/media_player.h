#pragma once

#include "core/preview/frame_rate.h"
#include "core/preview/media_command_service.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace cw {

// A command's answer: mediaOk with the text "Success", or the service's
// error number and its text. Callers decide on the code; the text is for
// showing.
struct MediaReply {
    int code = mediaOk;
    std::string text;
    bool ok() const { return code == mediaOk; }
};

// Facts of the clip the preview has open; all 0 until a clip opens.
struct ClipInfo {
    FrameRate frameRate;
    int width = 0;
    int height = 0;
    std::int32_t lengthInFrames = 0;
};

// The internal preview's player: the string commands it sends to its own
// command service, and the facts of the clip it shows. Queries answer -1
// when the command that yields the number fails.
class MediaPlayer {
public:
    explicit MediaPlayer(FrameServerOptions options = {}) : m_service(std::move(options)) {}

    MediaCommandService& service() { return m_service; }
    ClipInfo& clipInfo() { return m_clip; }
    const ClipInfo& clipInfo() const { return m_clip; }

    MediaReply openMovie(std::intptr_t parentHandle, std::string_view alias, const std::string& path,
                         std::string_view deviceType);
    MediaReply playMovie(std::string_view alias, std::string_view from, std::string_view to);
    MediaReply seekMovie(std::string_view alias, std::int32_t frame);
    MediaReply closeAllMovies();
    std::int32_t getLengthInFrames(std::string_view alias);
    std::int32_t getLengthInMs(std::string_view alias); // leaves the time format in frames
    std::int32_t getPosition(std::string_view alias);
    // The exact rate; 0/0 when the query fails.
    FrameRate getFrameRate(std::string_view alias);
    std::int32_t getVideoSize(std::string_view alias, std::string_view which); // "cx" or "cy", any case

    // The clock text of a frame at the open clip's frame rate.
    std::string formatFrameTime(std::int32_t frame) const;

private:
    MediaReply send(std::string_view command);
    std::int32_t query(std::string_view command);

    MediaCommandService m_service;
    ClipInfo m_clip;
};

} // namespace cw
