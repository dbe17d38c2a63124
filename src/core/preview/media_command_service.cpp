#include "core/preview/media_command_service.h"

#include "core/base/paths.h"
#include "core/frameserver/frame_server_texts.h"
#include "core/preview/frame_rate.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <sys/epoll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cw {
namespace {

constexpr int defaultOpenWaitMs = 60000;
constexpr std::size_t logLimit = 8192;

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Words separated by blanks; a word that opens with a double quote runs to
// the next double quote and loses both.
bool splitWords(std::string_view text, std::vector<std::string>& words)
{
    std::size_t i = 0;
    while (i < text.size()) {
        if (isBlank(text[i])) {
            ++i;
            continue;
        }
        if (text[i] == '"') {
            const std::size_t end = text.find('"', i + 1);
            if (end == std::string_view::npos) return false;
            words.emplace_back(text.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !isBlank(text[end])) ++end;
        words.emplace_back(text.substr(i, end - i));
        i = end;
    }
    return true;
}

bool parseNumber(const std::string& word, double& value)
{
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

// The file as it is now: a script rewritten under the same name is another one.
std::string fileIdentity(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return path + '\n' + std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) + ':' +
           std::to_string(st.st_size) + ':' + std::to_string(st.st_mtim.tv_sec) + '.' +
           std::to_string(st.st_mtim.tv_nsec);
}

} // namespace

SourceKind sourceKindOf(const std::string& path)
{
    return fileExtension(path) == "avs" ? SourceKind::script : SourceKind::mediaFile;
}

MediaCommandService::MediaCommandService(FrameServerOptions options)
    : m_options(std::move(options)), m_epoll(epoll_create1(EPOLL_CLOEXEC))
{
}

MediaCommandService::~MediaCommandService()
{
    m_servers.clear();
    ::close(m_epoll);
}

void MediaCommandService::registerFrameSink(std::intptr_t handle, FrameSink sink)
{
    m_sinks[handle] = std::move(sink);
}

void MediaCommandService::unregisterFrameSink(std::intptr_t handle) { m_sinks.erase(handle); }

std::string MediaCommandService::mediaErrorText(int code) const
{
    switch (code) {
    case mediaOk: return "The command completed.";
    case mediaUnknownCommand: return "The command is not recognized.";
    case mediaMissingParameter: return "The command lacks a required parameter.";
    case mediaBadParameter: return "A parameter of the command is not recognized or not valid.";
    case mediaUnknownDevice: return "No device is open under that name.";
    case mediaUnknownDeviceType: return "The device type is not known.";
    case mediaAliasInUse: return "That name is already used by another open device.";
    case mediaUnsupportedFile: return "This device cannot open files of that type.";
    case mediaOutsideRange: return "The position lies outside the clip.";
    default: break;
    }
    if (auto it = m_deviceErrors.find(code); it != m_deviceErrors.end()) return it->second;
    return "Unknown media error " + std::to_string(code) + ".";
}

// Each device failure gets its own number so that its text can still be
// asked for after later commands; only the recent ones are kept.
int MediaCommandService::deviceError(std::string text)
{
    const int code = m_nextDeviceError++;
    m_deviceErrors[code] = std::move(text);
    m_deviceErrors.erase(code - 16);
    return code;
}

MediaCommandService::Clip* MediaCommandService::find(const std::string& alias)
{
    auto it = m_clips.find(lower(alias));
    return it == m_clips.end() ? nullptr : &it->second;
}

FrameSink* MediaCommandService::sinkOf(const std::string& alias)
{
    const Clip* clip = find(alias);
    if (!clip) return nullptr;
    auto it = m_sinks.find(clip->parent);
    return it == m_sinks.end() ? nullptr : &it->second;
}

// One frame server per alias, started by its first open and kept, so a
// reload of the same clip finds it running.
MediaCommandService::Server& MediaCommandService::serverOf(const std::string& alias)
{
    Server& server = m_servers[alias];
    if (server.client) return server;
    server.client = std::make_unique<FrameServerClient>(m_options);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = server.client->eventFd();
    epoll_ctl(m_epoll, EPOLL_CTL_ADD, server.client->eventFd(), &event);

    FrameServerClient::Events events;
    events.opened = [this, alias](const OpenResult& result) { m_servers[alias].opened = result; };
    events.frameReady = [this, alias](const RenderedFrame& frame) {
        if (FrameSink* sink = sinkOf(alias); sink && sink->shown)
            sink->shown(VideoFrame{frame.number, frame.width, frame.height, frame.stride, frame.bytes,
                                   &frame.properties});
    };
    events.frameFailed = [this, alias](int number, const std::string& text) {
        if (FrameSink* sink = sinkOf(alias); sink && sink->failed) sink->failed(number, text);
    };
    events.pixelRead = [this, alias](const fsp::PixelValue& value) {
        if (FrameSink* sink = sinkOf(alias); sink && sink->pixel) sink->pixel(value);
    };
    events.stopped = [this, alias](const std::string& text) {
        Clip* clip = find(alias);
        if (!clip) {
            m_servers[alias].endedWhileOpening = text;
            return;
        }
        clip->serverEnd = text;
        if (FrameSink* sink = sinkOf(alias); sink && sink->failed) sink->failed(clip->position, text);
    };
    server.client->setEvents(std::move(events));
    return server;
}

void MediaCommandService::onReadable()
{
    for (auto& [alias, server] : m_servers)
        if (server.client) server.client->onReadable();
}

bool MediaCommandService::waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        epoll_event event;
        if (epoll_wait(m_epoll, &event, 1, static_cast<int>(left)) > 0) onReadable();
    }
    return true;
}

bool MediaCommandService::rendering() const
{
    return std::any_of(m_servers.begin(), m_servers.end(),
                       [](const auto& s) { return s.second.client && s.second.client->busy(); });
}

void MediaCommandService::stopFrameServers()
{
    for (auto& [alias, server] : m_servers)
        if (server.client && server.client->running()) server.client->stop();
}

void MediaCommandService::shutdownFrameServers()
{
    m_openCancelled = true;
    for (auto& [alias, server] : m_servers)
        if (server.client) server.client->shutdown();
}

const ClipFacts* MediaCommandService::clipFacts(const std::string& alias) const
{
    auto it = m_clips.find(lower(alias));
    return it == m_clips.end() ? nullptr : &it->second.facts;
}

int MediaCommandService::requestPixel(const std::string& alias, int frame, int x, int y)
{
    Clip* clip = find(alias);
    if (!clip) return mediaUnknownDevice;
    const ClipFacts& f = clip->facts;
    if (frame < 0 || frame >= f.frameCount || x < 0 || x >= f.width || y < 0 || y >= f.height)
        return mediaOutsideRange;
    if (!clip->serverEnd.empty()) return deviceError(clip->serverEnd);
    m_servers[lower(alias)].client->requestPixel(frame, x, y);
    return mediaOk;
}

int MediaCommandService::sendString(std::string_view command, std::string& reply)
{
    if (m_log.size() >= logLimit) m_log.erase(m_log.begin(), m_log.begin() + logLimit / 2);
    m_log.emplace_back(command);
    reply.clear();
    std::vector<std::string> words;
    if (!splitWords(command, words)) return mediaBadParameter;
    if (words.empty()) return mediaUnknownCommand;
    return run(words, reply);
}

int MediaCommandService::toFrame(const Clip& clip, double value) const
{
    const ClipFacts& f = clip.facts;
    double exact = std::floor(value);
    if (clip.milliseconds)
        exact = f.rateNumerator && f.rateDenominator
                    ? std::floor(value * f.rateNumerator / (1000.0 * f.rateDenominator) + 1e-9)
                    : 0.0;
    // A number far outside any clip stays outside it, never cast to an int
    // that cannot hold it.
    const int frame = static_cast<int>(std::clamp(exact, -1.0, static_cast<double>(INT_MAX)));
    if (!clip.milliseconds) return frame;
    // The length in milliseconds names the end, which shows the last frame.
    return std::min(frame, f.frameCount - 1);
}

std::int64_t MediaCommandService::fromFrame(const Clip& clip, std::int64_t frame) const
{
    if (!clip.milliseconds) return frame;
    return FrameRate{clip.facts.rateNumerator, clip.facts.rateDenominator}.millisecondsAt(frame);
}

int MediaCommandService::show(const std::string& alias, Clip& clip, int frame)
{
    if (frame < 0 || frame >= clip.facts.frameCount) return mediaOutsideRange;
    if (!clip.serverEnd.empty()) return deviceError(clip.serverEnd);
    clip.position = frame;
    m_servers[alias].client->requestFrame(frame);
    return mediaOk;
}

void MediaCommandService::closeClip(const std::string& alias)
{
    m_clips.erase(alias);
    if (auto it = m_servers.find(alias); it != m_servers.end() && it->second.client) it->second.client->close();
}

int MediaCommandService::open(const std::vector<std::string>& words)
{
    if (words.size() < 2) return mediaMissingParameter;
    const std::string& path = words[1];
    std::string type, alias;
    std::intptr_t parent = 0;
    for (std::size_t i = 2; i < words.size(); i += 2) {
        if (i + 1 >= words.size()) return mediaMissingParameter;
        const std::string key = lower(words[i]);
        const std::string& value = words[i + 1];
        double number = 0;
        if (key == "type") {
            type = lower(value);
        } else if (key == "alias") {
            alias = lower(value);
        } else if (key == "parent") {
            // 2^63 and beyond is no handle (and no number an intptr_t holds).
            const double limit = static_cast<double>(std::numeric_limits<std::intptr_t>::max());
            if (!parseNumber(value, number) || number >= limit || number <= -limit) return mediaBadParameter;
            parent = static_cast<std::intptr_t>(number);
        } else if (key == "style") {
            if (!parseNumber(value, number)) return mediaBadParameter;
        } else {
            return mediaBadParameter;
        }
    }
    if (type.empty() || alias.empty()) return mediaMissingParameter;
    if (type != "avivideo" && type != "mpegvideo") return mediaUnknownDeviceType;
    if (m_clips.count(alias)) return mediaAliasInUse;
    const std::string extension = fileExtension(path);
    if (type == "avivideo" && extension != "avs" && extension != "avi") return mediaUnsupportedFile;

    const SourceKind kind = sourceKindOf(path);
    const std::string identity = kind == SourceKind::script ? fileIdentity(path) : std::string();
    if (!identity.empty() && identity == m_rejectedScript) {
        m_rejectedScript.clear();
        return deviceError(m_rejectedText);
    }
    m_rejectedScript.clear();

    Server& server = serverOf(alias);
    server.opened.reset();
    server.endedWhileOpening.clear();
    m_openCancelled = false;
    server.client->open(path, kind);
    FrameServerClient* client = server.client.get();
    const auto done = [this, &server] {
        return server.opened.has_value() || !server.endedWhileOpening.empty() || m_openCancelled;
    };
    const bool waited = m_waiter ? m_waiter(done) : waitUntil(done, defaultOpenWaitMs);
    const std::string activity = kind == SourceKind::script ? whileOpeningScriptText() : whileOpeningMediaText();
    if (m_openCancelled) return deviceError(frameServerStoppedByUserText(activity));
    if (!waited) {
        client->stop();
        m_rejectedScript = identity;
        m_rejectedText = frameServerStoppedByUserText(activity);
        return deviceError(m_rejectedText);
    }
    const std::string failure =
        !server.opened ? server.endedWhileOpening : server.opened->ok ? std::string() : server.opened->error;
    if (!failure.empty()) {
        // The same file would fail the same way, or bring the frame server
        // down again.
        m_rejectedScript = identity;
        m_rejectedText = failure;
        return deviceError(failure);
    }
    const OpenResult& result = *server.opened;
    m_clips[alias] = Clip{result.facts, parent, false, 0, {}};
    return mediaOk;
}

int MediaCommandService::run(const std::vector<std::string>& words, std::string& reply)
{
    const std::string verb = lower(words[0]);
    if (verb == "open") return open(words);
    if (verb == "close") {
        if (words.size() != 2) return words.size() < 2 ? mediaMissingParameter : mediaBadParameter;
        const std::string alias = lower(words[1]);
        if (alias == "all") {
            // A close while a clip is opening gives that open up.
            m_openCancelled = true;
            m_clips.clear();
            for (auto& [name, server] : m_servers)
                if (server.client) server.client->close();
            return mediaOk;
        }
        if (!m_clips.count(alias)) return mediaUnknownDevice;
        closeClip(alias);
        return mediaOk;
    }
    if (verb != "play" && verb != "seek" && verb != "set" && verb != "status" && verb != "where")
        return mediaUnknownCommand;
    if (words.size() < 2) return mediaMissingParameter;
    const std::string alias = lower(words[1]);
    Clip* clip = find(alias);
    if (!clip) return mediaUnknownDevice;

    std::vector<std::string> rest;
    for (std::size_t i = 2; i < words.size(); ++i) rest.push_back(lower(words[i]));

    if (verb == "play") {
        std::optional<double> from, to;
        for (std::size_t i = 0; i < rest.size(); i += 2) {
            if (i + 1 >= rest.size()) return mediaMissingParameter;
            std::optional<double>* slot = rest[i] == "from" ? &from : rest[i] == "to" ? &to : nullptr;
            double value = 0;
            if (!slot || !parseNumber(rest[i + 1], value)) return mediaBadParameter;
            *slot = value;
        }
        if (!from && !to) return show(alias, *clip, clip->position);
        return show(alias, *clip, toFrame(*clip, to ? *to : *from));
    }
    if (verb == "seek") {
        if (rest.size() < 2) return mediaMissingParameter;
        if (rest.size() > 2 || rest[0] != "to") return mediaBadParameter;
        if (rest[1] == "start") return show(alias, *clip, 0);
        if (rest[1] == "end") return show(alias, *clip, clip->facts.frameCount - 1);
        double value = 0;
        if (!parseNumber(rest[1], value)) return mediaBadParameter;
        return show(alias, *clip, toFrame(*clip, value));
    }
    if (verb == "set") {
        if (rest.size() < 3) return mediaMissingParameter;
        if (rest.size() > 3 || rest[0] != "time" || rest[1] != "format") return mediaBadParameter;
        if (rest[2] == "frames") {
            clip->milliseconds = false;
        } else if (rest[2] == "ms" || rest[2] == "milliseconds") {
            clip->milliseconds = true;
        } else {
            return mediaBadParameter;
        }
        return mediaOk;
    }
    if (verb == "status") {
        if (rest.empty()) return mediaMissingParameter;
        if (rest == std::vector<std::string>{"length"}) {
            reply = std::to_string(fromFrame(*clip, clip->facts.frameCount));
        } else if (rest == std::vector<std::string>{"position"}) {
            reply = std::to_string(fromFrame(*clip, clip->position));
        } else if (rest == std::vector<std::string>{"frame", "rate"}) {
            reply = std::to_string(clip->facts.rateNumerator) + "/" + std::to_string(clip->facts.rateDenominator);
        } else {
            return mediaBadParameter;
        }
        return mediaOk;
    }
    // where
    if (rest.size() != 1) return rest.empty() ? mediaMissingParameter : mediaBadParameter;
    if (rest[0] != "destination") return mediaBadParameter;
    reply = "0 0 " + std::to_string(clip->facts.width) + " " + std::to_string(clip->facts.height);
    return mediaOk;
}

} // namespace cw
