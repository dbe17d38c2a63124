#pragma once

#include "core/preview/media_device.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace cw {

// A frame as handed to a frame sink; the bytes live until the call returns.
struct VideoFrame {
    int width = 0;
    int height = 0;
    int stride = 0;
    const std::uint8_t* bytes = nullptr; // RgbFrame layout
};

using FrameSink = std::function<void(const VideoFrame&)>;

// Error numbers of the command service. Errors a device reports with its
// own text get numbers from mediaDeviceErrorBase up.
enum MediaError : int {
    mediaOk = 0,
    mediaUnknownCommand = 261,
    mediaMissingParameter = 262,
    mediaBadParameter = 263,
    mediaUnknownDevice = 264,
    mediaUnknownDeviceType = 265,
    mediaAliasInUse = 266,
    mediaUnsupportedFile = 267,
    mediaOutsideRange = 268,
    mediaDeviceErrorBase = 512,
};

// The string command language of the internal preview:
//   open <path> type <device> alias <a> [parent <handle>] [style <n>]
//   play <a> [from <n>] [to <n>]     shows frame "to" (else "from", else the current one)
//   seek <a> to <n>|start|end
//   set <a> time format frames|ms|milliseconds
//   status <a> length|position
//   where <a> destination            "0 0 width height"
//   close <a> | close all
// Keywords in any case; a path with blanks in double quotes. Positions and
// lengths are in the alias's time format. Never plays continuously.
class MediaCommandService {
public:
    MediaCommandService();

    // 0 with reply set, or an error number for mediaErrorText (reply "").
    int sendString(std::string_view command, std::string& reply);
    std::string mediaErrorText(int code) const;

    // Frames of a clip opened with "parent <handle>" go to the sink under that
    // handle, if one is registered when the frame is shown.
    void registerFrameSink(std::intptr_t handle, FrameSink sink);
    void unregisterFrameSink(std::intptr_t handle);

    // Every command sent, in order.
    const std::vector<std::string>& commandLog() const { return m_log; }
    void clearCommandLog() { m_log.clear(); }

    // Where the frame-server library is looked for, in order.
    void setAviSynthLibraryNames(std::vector<std::string> names) { m_aviSynthNames = std::move(names); }
    static std::vector<std::string> defaultAviSynthLibraryNames();

    int openCount() const { return static_cast<int>(m_clips.size()); }

private:
    struct Clip {
        std::unique_ptr<MediaDevice> device;
        std::intptr_t parent = 0;
        bool milliseconds = false;
        int position = 0;
    };

    int run(const std::vector<std::string>& words, std::string& reply);
    int open(const std::vector<std::string>& words);
    int show(Clip& clip, int frame);
    int deviceError(std::string text);
    Clip* find(const std::string& alias);
    int toFrame(const Clip& clip, double value) const;
    std::int64_t fromFrame(const Clip& clip, std::int64_t frame) const;

    std::map<std::string, Clip> m_clips; // by lower-case alias
    std::map<std::intptr_t, FrameSink> m_sinks;
    std::vector<std::string> m_log;
    std::vector<std::string> m_aviSynthNames;
    std::map<int, std::string> m_deviceErrors;
    int m_nextDeviceError = mediaDeviceErrorBase;
};

} // namespace cw
