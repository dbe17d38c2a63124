#pragma once

#include "core/frameserver/child_process.h"
#include "core/frameserver/protocol.h"
#include "core/frameserver/shared_frames.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cw {

struct FrameServerOptions {
    // The frame server program; "" for frameServerBesideProgram().
    std::string executable;
    // Where the server looks for AviSynth+, in order; empty for its own
    // search.
    std::vector<std::string> aviSynthLibraries;
};

// clipwright-frameserver in the folder of the running executable.
std::string frameServerBesideProgram();

struct OpenResult {
    bool ok = false;
    ClipFacts facts;                                  // when ok
    OpenFailureKind failure = OpenFailureKind::other; // when not
    std::string error;
};

// A frame as the server wrote it (shared_frames.h: top-down 32-bit RGB).
// bytes stay valid until the next frame is delivered, the next open or
// close, or the server's end.
struct RenderedFrame {
    int number = 0;
    int width = 0;
    int height = 0;
    int stride = 0;
    const std::uint8_t* bytes = nullptr;
    std::vector<FrameProperty> properties;
};

// The editor's end of one frame server process at a time. Requests return
// at once; the answers come through Events, called from onReadable() only
// (never from inside a request), so a Qt socket notifier on eventFd() is all
// the editor needs. Every open and every frame request that is sent gets
// exactly one answer unless a later open or close replaces its clip first;
// when the server dies, that answer is the text of its end. Not
// thread-safe: one thread uses it.
class FrameServerClient {
public:
    struct Events {
        std::function<void(const OpenResult&)> opened = {};
        std::function<void(const RenderedFrame&)> frameReady = {};
        std::function<void(int number, const std::string& error)> frameFailed = {};
        std::function<void(std::uint32_t token)> pong = {};
        // The answer to requestFunctions: one of the two.
        std::function<void(const InterpreterFunctions&)> functionsListed = {};
        std::function<void(const std::string& error)> functionsFailed = {};
        // The answer to requestPixel(); no components when it could not be read.
        std::function<void(const fsp::PixelValue&)> pixelRead = {};
        // The server ended without being asked to: crashed, exited, killed by
        // stop(), or sent what cannot be read (then it was killed). Comes
        // after the answers to what was outstanding.
        std::function<void(const std::string& text)> stopped = {};
    };

    explicit FrameServerClient(FrameServerOptions options = {});
    // Ends the server as shutdown() does.
    ~FrameServerClient();
    FrameServerClient(const FrameServerClient&) = delete;
    FrameServerClient& operator=(const FrameServerClient&) = delete;

    void setEvents(Events events) { m_events = std::move(events); }

    // Opens a clip in place of the current one, starting a server when none
    // runs; a server still busy with an open or a frame is ended instead of
    // waited for (and that end is not reported). Frames of the previous clip
    // are no longer answered.
    void open(const std::string& path, SourceKind kind);
    // Frame number of the clip being opened or open. One frame renders at a
    // time; of the frames asked for meanwhile only the newest waits, so a
    // scrub never builds a queue. Ignored when no clip is open or opening.
    void requestFrame(int number);
    // The values of pixel (x, y) of frame number in the clip's own format.
    // As with frames, of the points asked for while one is being read only
    // the newest waits. Ignored when no clip is open.
    void requestPixel(int number, int x, int y);
    // Closes the clip; answers to its outstanding requests are dropped. The
    // server stays for the next open.
    void close();
    void ping(std::uint32_t token);
    // Asks which functions AviSynth+ has with its autoload plugins loaded,
    // starting a server when none runs. Those plugins stay in the server:
    // shut it down once answered. A server that dies meanwhile (a plugin
    // that crashes) is answered through functionsFailed with the text of
    // its end.
    void requestFunctions();
    // Kills the server at once (the Stop button); reported through stopped.
    void stop();
    // Ends the server without reporting it: orderly when it is idle, killed
    // when it is busy, so it never waits for a frame. Outstanding requests
    // are dropped.
    void shutdown();

    // Readable when onReadable() has something to do; the same descriptor
    // for the client's whole life.
    int eventFd() const { return m_epoll; }
    void onReadable();
    // Runs onReadable() as things arrive until done() holds or timeoutMs
    // passes; whether done() holds. For tests and benchmarks.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs);

    bool running() const { return m_child && m_child->started(); }
    pid_t pid() const { return running() ? m_child->pid() : -1; }
    // An open, a frame or a list of functions is being worked on.
    bool busy() const;
    // The facts of the open clip.
    const std::optional<ClipFacts>& clip() const { return m_clip; }
    // What the server wrote to its standard error since the last open.
    std::string lastOutput(int maxLines = 12) const { return m_output.lastLines(maxLines); }

private:
    struct Expected {
        std::size_t request; // index of the request in fsp::Message
        std::uint64_t generation;
        SourceKind kind = SourceKind::script;
        int number = 0;
        std::uint8_t slot = 0;
    };
    // request: the one the failure to start answers.
    bool ensureStarted(std::size_t request);
    void send(const fsp::Message& message, Expected expected);
    void forgetClip();
    void sendPendingFrame();
    void sendPendingPixel();
    void defer(std::function<void()> deliver);
    void handle(fsp::Message& message);
    void handleOpened(fsp::Opened& opened, const Expected& expected);
    void handleFrame(fsp::FrameReady& ready, const Expected& expected);
    void readOutput();
    bool readSocket();
    void fault(const std::string& detail);
    void ended();
    void endChild();
    void reportEnd(const std::string& text);
    void forgetChild();
    void watch(int fd);
    std::string activity() const;

    FrameServerOptions m_options;
    Events m_events;
    int m_epoll = -1;
    int m_wake = -1; // an eventfd: deferred answers are waiting

    std::unique_ptr<ChildProcess> m_child;
    std::uint64_t m_childSerial = 0;
    fsp::MessageReader m_reader;
    std::vector<int> m_receivedFds;
    std::deque<Expected> m_expected;
    std::deque<std::function<void()>> m_deferred;
    OutputTail m_output;
    bool m_outputWatched = false;
    bool m_stopRequested = false;
    bool m_broken = false;
    std::string m_brokenText;

    std::uint64_t m_generation = 0; // of the clip opened last
    bool m_opening = false;
    std::optional<ClipFacts> m_clip;
    FrameLayout m_layout;
    SharedFrameView m_view;
    bool m_frameInFlight = false;
    int m_inFlightNumber = 0;
    std::uint64_t m_inFlightGeneration = 0;
    std::optional<int> m_pendingFrame;
    int m_shownSlot = -1;
    bool m_pixelInFlight = false;
    std::optional<fsp::Pixel> m_pendingPixel;
};

} // namespace cw
