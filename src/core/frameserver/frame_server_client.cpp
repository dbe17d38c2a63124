#include "core/frameserver/frame_server_client.h"

#include "core/frameserver/frame_server_texts.h"
#include "core/frameserver/socket_io.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace cw {
namespace {

constexpr std::size_t kHello = 0, kOpen = 2, kFrame = 5, kClose = 8, kPing = 10, kFunctions = 12,
                      kPixel = 15;

// The request each reply answers.
std::size_t requestOf(const fsp::Message& reply)
{
    return std::visit(
        [](const auto& m) -> std::size_t {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, fsp::HelloReply>) return kHello;
            if constexpr (std::is_same_v<T, fsp::Opened> || std::is_same_v<T, fsp::OpenFailed>) return kOpen;
            if constexpr (std::is_same_v<T, fsp::FrameReady> || std::is_same_v<T, fsp::FrameFailed>)
                return kFrame;
            if constexpr (std::is_same_v<T, fsp::Closed>) return kClose;
            if constexpr (std::is_same_v<T, fsp::Pong>) return kPing;
            if constexpr (std::is_same_v<T, fsp::FunctionList> || std::is_same_v<T, fsp::FunctionsFailed>)
                return kFunctions;
            if constexpr (std::is_same_v<T, fsp::PixelValue>) return kPixel;
            return std::variant_npos;
        },
        reply);
}

bool readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return fd >= 0 && poll(&p, 1, 0) > 0;
}

} // namespace

std::string frameServerBesideProgram()
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (self.parent_path() / "clipwright-frameserver").string();
}

FrameServerClient::FrameServerClient(FrameServerOptions options) : m_options(std::move(options))
{
    m_epoll = epoll_create1(EPOLL_CLOEXEC);
    m_wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    watch(m_wake);
}

FrameServerClient::~FrameServerClient()
{
    shutdown();
    ::close(m_wake);
    ::close(m_epoll);
}

void FrameServerClient::watch(int fd)
{
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    if (fd >= 0) epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event);
}

void FrameServerClient::defer(std::function<void()> deliver)
{
    m_deferred.push_back(std::move(deliver));
    const std::uint64_t one = 1;
    (void)!write(m_wake, &one, sizeof one);
}

bool FrameServerClient::ensureStarted(std::size_t request)
{
    if (running()) return true;
    const std::string program =
        m_options.executable.empty() ? frameServerBesideProgram() : m_options.executable;
    std::vector<std::string> arguments;
    for (const std::string& library : m_options.aviSynthLibraries) {
        arguments.push_back("--avisynth-library");
        arguments.push_back(library);
    }
    auto child = std::make_unique<ChildProcess>();
    std::string error;
    if (!child->start(program, arguments, error)) {
        const std::string text = frameServerNotStartedText(program, error);
        defer([this, text, request] {
            if (request == kFunctions && m_events.functionsFailed) m_events.functionsFailed(text);
            if (request == kOpen && m_events.opened) m_events.opened({false, {}, OpenFailureKind::other, text});
        });
        return false;
    }
    m_child = std::move(child);
    ++m_childSerial;
    m_reader = {};
    m_output.clear();
    m_stopRequested = false;
    m_broken = false;
    m_brokenText.clear();
    watch(m_child->socket());
    watch(m_child->output());
    watch(m_child->endFd());
    m_outputWatched = true;
    send(fsp::Hello{}, {kHello, m_generation});
    return true;
}

void FrameServerClient::send(const fsp::Message& message, Expected expected)
{
    m_expected.push_back(expected);
    if (m_broken) return;
    std::string error;
    if (!sendMessage(m_child->socket(), message, -1, error)) {
        // The answers to everything outstanding come from onReadable, once
        // it is known how the server ended.
        m_broken = true;
        m_brokenText = error;
        defer([] {});
    }
}

// Nothing of the last clip is answered or asked for any more.
void FrameServerClient::forgetClip()
{
    ++m_generation;
    m_clip.reset();
    m_opening = false;
    m_pendingFrame.reset();
    m_pendingPixel.reset();
    m_shownSlot = -1;
}

void FrameServerClient::open(const std::string& path, SourceKind kind)
{
    forgetClip();
    // A server still busy with the last clip could keep the new one waiting
    // for as long as its frame takes: a new server is quicker.
    if (busy()) endChild();
    if (running()) readOutput();
    if (!ensureStarted(kOpen)) return;
    m_output.clear();
    m_opening = true;
    send(fsp::Open{kind, path}, {kOpen, m_generation, kind});
}

void FrameServerClient::requestFrame(int number)
{
    if (!m_opening && !m_clip) return;
    const bool alreadyComing =
        m_frameInFlight && m_inFlightGeneration == m_generation && m_inFlightNumber == number;
    if (alreadyComing) {
        m_pendingFrame.reset();
        return;
    }
    m_pendingFrame = number;
    sendPendingFrame();
}

void FrameServerClient::sendPendingFrame()
{
    if (!m_pendingFrame || m_frameInFlight || !m_clip || !running()) return;
    const int number = *m_pendingFrame;
    m_pendingFrame.reset();
    const std::uint8_t slot = m_shownSlot == 0 ? 1 : 0;
    m_frameInFlight = true;
    m_inFlightNumber = number;
    m_inFlightGeneration = m_generation;
    send(fsp::Frame{number, slot}, {kFrame, m_generation, SourceKind::script, number, slot});
}

void FrameServerClient::requestPixel(int number, int x, int y)
{
    if (!m_clip) return;
    m_pendingPixel = fsp::Pixel{number, x, y};
    sendPendingPixel();
}

void FrameServerClient::sendPendingPixel()
{
    if (!m_pendingPixel || m_pixelInFlight || !m_clip || !running()) return;
    const fsp::Pixel pixel = *m_pendingPixel;
    m_pendingPixel.reset();
    m_pixelInFlight = true;
    send(pixel, {kPixel, m_generation, SourceKind::script, pixel.number});
}

void FrameServerClient::close()
{
    forgetClip();
    if (running()) send(fsp::Close{}, {kClose, m_generation});
}

void FrameServerClient::ping(std::uint32_t token)
{
    if (running()) send(fsp::Ping{token}, {kPing, m_generation});
}

void FrameServerClient::requestFunctions()
{
    if (!ensureStarted(kFunctions)) return;
    send(fsp::Functions{}, {kFunctions, m_generation});
}

void FrameServerClient::stop()
{
    if (!running()) return;
    m_stopRequested = true;
    m_child->kill();
}

bool FrameServerClient::busy() const
{
    for (const Expected& e : m_expected)
        if (e.request == kOpen || e.request == kFrame || e.request == kFunctions) return true;
    return false;
}

void FrameServerClient::shutdown()
{
    m_deferred.clear();
    endChild();
}

void FrameServerClient::endChild()
{
    if (!m_child) return;
    int status;
    if (busy()) {
        m_child->kill();
    } else {
        // End of input asks the server to finish; one that does not is
        // killed rather than waited for.
        m_child->closeSocket();
        if (!m_child->reap(200, status)) m_child->kill();
    }
    m_child->reap(-1, status);
    forgetChild();
}

void FrameServerClient::forgetChild()
{
    m_child.reset();
    m_reader = {};
    for (int fd : m_receivedFds) ::close(fd);
    m_receivedFds.clear();
    m_expected.clear();
    m_outputWatched = false;
    m_broken = false;
    m_frameInFlight = false;
    m_pendingFrame.reset();
    m_pixelInFlight = false;
    m_pendingPixel.reset();
    m_clip.reset();
    m_opening = false;
    m_shownSlot = -1;
    m_view.reset();
}

void FrameServerClient::onReadable()
{
    std::uint64_t count;
    (void)!read(m_wake, &count, sizeof count);
    std::deque<std::function<void()>> deferred;
    deferred.swap(m_deferred);
    const std::uint64_t serial = m_childSerial;
    for (auto& deliver : deferred) deliver();
    if (!m_child || serial != m_childSerial) return;
    readOutput();
    const bool open = readSocket();
    if (!m_child || serial != m_childSerial) return;
    if (!open || m_broken || readable(m_child->endFd())) ended();
}

bool FrameServerClient::waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        epoll_event event;
        const int n = epoll_wait(m_epoll, &event, 1, static_cast<int>(left));
        if (n < 0 && errno != EINTR) return done();
        if (n > 0) onReadable();
    }
    return true;
}

void FrameServerClient::readOutput()
{
    if (!m_outputWatched) return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(m_child->output(), buffer, sizeof buffer);
        if (n > 0) {
            m_output.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0 || errno != EAGAIN) {
            // Closed: a level-triggered watch would fire for ever.
            epoll_ctl(m_epoll, EPOLL_CTL_DEL, m_child->output(), nullptr);
            m_outputWatched = false;
        }
        return;
    }
}

bool FrameServerClient::readSocket()
{
    const std::uint64_t serial = m_childSerial;
    for (;;) {
        const ssize_t n = receiveSome(m_child->socket(), m_reader, m_receivedFds);
        if (n < 0 && errno == EAGAIN) return true;
        if (n < 0 && errno == EMSGSIZE) {
            fault("too many descriptors at once");
            return false;
        }
        for (;;) {
            fsp::Decoded decoded = m_reader.next();
            if (decoded.status == fsp::DecodeStatus::needMore) break;
            if (decoded.status == fsp::DecodeStatus::malformed) {
                fault(decoded.error);
                return false;
            }
            handle(decoded.message);
            if (!m_child || serial != m_childSerial) return false;
        }
        if (m_receivedFds.size() > 2) {
            fault("descriptors nobody asked for");
            return false;
        }
        // The end of the stream, a cut message included: the server is gone.
        if (n <= 0) return false;
    }
}

void FrameServerClient::handle(fsp::Message& message)
{
    const std::size_t request = requestOf(message);
    if (m_expected.empty() || m_expected.front().request != request)
        return fault(std::string("an unexpected ") + fsp::messageName(message.index()));
    const Expected expected = m_expected.front();
    m_expected.pop_front();
    const bool current = expected.generation == m_generation;

    if (auto* hello = std::get_if<fsp::HelloReply>(&message)) {
        if (static_cast<pid_t>(hello->pid) != m_child->pid()) fault("a greeting from another process");
    } else if (auto* opened = std::get_if<fsp::Opened>(&message)) {
        handleOpened(*opened, expected);
    } else if (auto* failed = std::get_if<fsp::OpenFailed>(&message)) {
        if (!current) return;
        m_opening = false;
        m_pendingFrame.reset();
        if (m_events.opened) m_events.opened({false, {}, failed->kind, std::move(failed->text)});
    } else if (auto* ready = std::get_if<fsp::FrameReady>(&message)) {
        handleFrame(*ready, expected);
    } else if (auto* frameFailed = std::get_if<fsp::FrameFailed>(&message)) {
        m_frameInFlight = false;
        if (frameFailed->number != expected.number) return fault("an answer for another frame");
        const std::uint64_t generation = m_generation;
        if (current && m_events.frameFailed) m_events.frameFailed(frameFailed->number, frameFailed->text);
        if (generation == m_generation) sendPendingFrame();
    } else if (auto* pong = std::get_if<fsp::Pong>(&message)) {
        if (m_events.pong) m_events.pong(pong->token);
    } else if (auto* list = std::get_if<fsp::FunctionList>(&message)) {
        if (m_events.functionsListed) m_events.functionsListed(list->functions);
    } else if (auto* functionsFailed = std::get_if<fsp::FunctionsFailed>(&message)) {
        if (m_events.functionsFailed) m_events.functionsFailed(functionsFailed->text);
    } else if (auto* pixel = std::get_if<fsp::PixelValue>(&message)) {
        m_pixelInFlight = false;
        if (pixel->number != expected.number) return fault("an answer for another frame");
        const std::uint64_t generation = m_generation;
        if (current && m_events.pixelRead) m_events.pixelRead(*pixel);
        if (generation == m_generation) sendPendingPixel();
    }
}

void FrameServerClient::handleOpened(fsp::Opened& opened, const Expected& expected)
{
    if (m_receivedFds.empty()) return fault("a clip without its picture memory");
    const int fd = m_receivedFds.front();
    m_receivedFds.erase(m_receivedFds.begin());
    if (expected.generation != m_generation) {
        ::close(fd);
        return;
    }
    const ClipFacts& facts = opened.facts;
    FrameLayout layout;
    if (facts.frameCount <= 0 || !frameLayout(facts.width, facts.height, layout)) {
        ::close(fd);
        return fault("a clip of " + std::to_string(facts.width) + "x" + std::to_string(facts.height) +
                     " and " + std::to_string(facts.frameCount) + " frames");
    }
    std::string error;
    if (!m_view.adopt(fd, layout.totalBytes(), error)) return fault(error);
    m_layout = layout;
    m_clip = facts;
    m_opening = false;
    m_shownSlot = -1;
    const std::uint64_t generation = m_generation;
    if (m_events.opened) m_events.opened({true, facts, OpenFailureKind::other, {}});
    if (generation == m_generation) sendPendingFrame();
}

void FrameServerClient::handleFrame(fsp::FrameReady& ready, const Expected& expected)
{
    m_frameInFlight = false;
    if (ready.number != expected.number || ready.slot != expected.slot)
        return fault("an answer for another frame");
    const std::uint64_t generation = m_generation;
    if (expected.generation == m_generation && m_clip) {
        RenderedFrame frame;
        frame.number = ready.number;
        frame.width = m_clip->width;
        frame.height = m_clip->height;
        frame.stride = static_cast<int>(m_layout.stride);
        frame.bytes = m_view.data() + m_layout.offset(ready.slot);
        frame.properties = std::move(ready.properties);
        m_shownSlot = ready.slot;
        if (m_events.frameReady) m_events.frameReady(frame);
    }
    if (generation == m_generation) sendPendingFrame();
}

std::string FrameServerClient::activity() const
{
    // Greetings, closes and pings take no time: the server was busy with
    // the first open or frame still unanswered.
    for (const Expected& e : m_expected) {
        if (e.request == kOpen)
            return e.kind == SourceKind::script ? whileOpeningScriptText() : whileOpeningMediaText();
        if (e.request == kFrame || e.request == kPixel) return whileRenderingText(e.number);
        if (e.request == kFunctions) return whileReadingFunctionsText();
    }
    return {};
}

void FrameServerClient::fault(const std::string& detail)
{
    m_child->kill();
    int status;
    m_child->reap(-1, status);
    reportEnd(frameServerMalformedText(detail));
}

void FrameServerClient::ended()
{
    const std::uint64_t serial = m_childSerial;
    // Answers the server sent before it ended still count.
    readSocket();
    if (!m_child || serial != m_childSerial) return;
    readOutput();
    int status = 0;
    if (!m_child->reap(1000, status)) {
        m_child->kill();
        m_child->reap(-1, status);
        return reportEnd(frameServerNotListeningText(m_brokenText.empty() ? "no answer" : m_brokenText));
    }
    const std::string text = m_stopRequested ? frameServerStoppedByUserText(activity())
                                             : frameServerStoppedText(describeWaitStatus(status), activity(),
                                                                      m_output.lastLines(12));
    reportEnd(text);
}

void FrameServerClient::reportEnd(const std::string& text)
{
    std::vector<Expected> answers;
    for (const Expected& e : m_expected)
        if ((e.generation == m_generation && (e.request == kOpen || e.request == kFrame)) || e.request == kFunctions)
            answers.push_back(e);
    forgetChild();
    const std::uint64_t serial = m_childSerial;
    for (const Expected& e : answers) {
        if (serial != m_childSerial) return;
        if (e.request == kOpen && m_events.opened) m_events.opened({false, {}, OpenFailureKind::other, text});
        if (e.request == kFrame && m_events.frameFailed) m_events.frameFailed(e.number, text);
        if (e.request == kFunctions && m_events.functionsFailed) m_events.functionsFailed(text);
    }
    if (serial == m_childSerial && m_events.stopped) m_events.stopped(text);
}

} // namespace cw
