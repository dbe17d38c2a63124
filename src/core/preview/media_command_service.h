#pragma once

#include "core/frameserver/frame_server_client.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cw {

// A frame as handed to a frame sink; bytes (32-bit RGB, top-down) and
// properties live until the call returns.
struct VideoFrame {
    int number = 0;
    int width = 0;
    int height = 0;
    int stride = 0;
    const std::uint8_t* bytes = nullptr;
    const std::vector<FrameProperty>* properties = nullptr;
};

// Where the frames of a clip opened with "parent <handle>" go. Frames come
// later than the command that asked for them; failed says why a frame
// cannot be shown, the frame server's end included.
struct FrameSink {
    std::function<void(const VideoFrame&)> shown;
    std::function<void(int frame, const std::string& text)> failed;
    // The answer to requestPixel().
    std::function<void(const fsp::PixelValue&)> pixel = {};
};

// Error numbers of the command service. Errors a frame server reports with
// its own text get numbers from mediaDeviceErrorBase up.
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

// Scripts go to AviSynth+, every other file to FFmpeg, whichever device
// type opens them.
SourceKind sourceKindOf(const std::string& path);

// The string command language of the internal preview:
//   open <path> type <device> alias <a> [parent <handle>] [style <n>]
//   play <a> [from <n>] [to <n>]     shows frame "to" (else "from", else the current one)
//   seek <a> to <n>|start|end
//   set <a> time format frames|ms|milliseconds
//   status <a> length|position|frame rate   the rate as "numerator/denominator"
//   where <a> destination            "0 0 width height"
//   close <a> | close all
// Keywords in any case; a path with blanks in double quotes. Positions and
// lengths are in the alias's time format. Never plays continuously.
//
// Every clip is rendered by a frame server process of its alias, kept for
// the alias's next open. "open" waits for it through the waiter (the ui
// keeps its windows alive meanwhile); "play" and "seek" only ask, and the
// frame reaches the sink when it is ready, the newest asked for first.
class MediaCommandService {
public:
    explicit MediaCommandService(FrameServerOptions options = {});
    ~MediaCommandService();
    MediaCommandService(const MediaCommandService&) = delete;
    MediaCommandService& operator=(const MediaCommandService&) = delete;

    // 0 with reply set, or an error number for mediaErrorText (reply "").
    int sendString(std::string_view command, std::string& reply);
    std::string mediaErrorText(int code) const;

    void registerFrameSink(std::intptr_t handle, FrameSink sink);
    void unregisterFrameSink(std::intptr_t handle);

    // The commands sent, in order; the oldest go once there are thousands
    // (playback sends one a frame).
    const std::vector<std::string>& commandLog() const { return m_log; }
    void clearCommandLog() { m_log.clear(); }

    // For frame servers started from now on: the program, and where it looks
    // for AviSynth+.
    void setFrameServerProgram(std::string path) { m_options.executable = std::move(path); }
    void setAviSynthLibraryNames(std::vector<std::string> names) { m_options.aviSynthLibraries = std::move(names); }

    int openCount() const { return static_cast<int>(m_clips.size()); }

    // Beside the command language, for what it has no words for:
    // The facts of the clip open under alias (its format, depth and sound
    // among them), or null.
    const ClipFacts* clipFacts(const std::string& alias) const;
    // Asks for pixel (x, y) of frame in the clip's own format; the answer
    // reaches the sink's pixel function later. mediaOutsideRange for a frame
    // or point outside the clip, mediaUnknownDevice for no clip.
    int requestPixel(const std::string& alias, int frame, int x, int y);

    // Runs until done() holds: true, or false when the wait was given up
    // (the frame server is then stopped). The default waits up to a minute
    // on the frame servers alone.
    using Waiter = std::function<bool(const std::function<bool()>& done)>;
    void setWaiter(Waiter waiter) { m_waiter = std::move(waiter); }

    // Readable when onReadable() has answers of a frame server to deliver.
    int eventFd() const { return m_epoll; }
    void onReadable();
    bool waitUntil(const std::function<bool()>& done, int timeoutMs);

    // A frame is asked for and not yet answered.
    bool rendering() const;
    // Kills every frame server at once (the Stop button); the next open
    // starts new ones.
    void stopFrameServers();
    // Ends every frame server without waiting for a frame.
    void shutdownFrameServers();

private:
    struct Clip {
        ClipFacts facts;
        std::intptr_t parent = 0;
        bool milliseconds = false;
        int position = 0;
        std::string serverEnd; // the frame server stopped: commands answer this
    };
    struct Server {
        std::unique_ptr<FrameServerClient> client;
        std::optional<OpenResult> opened;
        std::string endedWhileOpening;
    };

    int run(const std::vector<std::string>& words, std::string& reply);
    int open(const std::vector<std::string>& words);
    int show(const std::string& alias, Clip& clip, int frame);
    int deviceError(std::string text);
    Server& serverOf(const std::string& alias);
    FrameSink* sinkOf(const std::string& alias);
    Clip* find(const std::string& alias);
    int toFrame(const Clip& clip, double value) const;
    std::int64_t fromFrame(const Clip& clip, std::int64_t frame) const;
    void closeClip(const std::string& alias);

    FrameServerOptions m_options;
    Waiter m_waiter;
    int m_epoll = -1;
    std::map<std::string, Server> m_servers; // by lower-case alias, kept across opens
    std::map<std::string, Clip> m_clips;     // by lower-case alias
    std::map<std::intptr_t, FrameSink> m_sinks;
    std::vector<std::string> m_log;
    std::map<int, std::string> m_deviceErrors;
    int m_nextDeviceError = mediaDeviceErrorBase;
    // A script AviSynth+ rejected: the next open of the same, unchanged file
    // answers the same text rather than run the script again.
    std::string m_rejectedScript; // path and file identity
    std::string m_rejectedText;
    bool m_openCancelled = false;
};

} // namespace cw
