#include "core/preview/media_command_service.h"

#include "core/base/paths.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <optional>

namespace cw {
namespace {

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

} // namespace

MediaCommandService::MediaCommandService() : m_aviSynthNames(defaultAviSynthLibraryNames()) {}

std::vector<std::string> MediaCommandService::defaultAviSynthLibraryNames()
{
    return {"libavisynth.so", "libavisynth.so.12", "libavisynth.so.11", "libavisynth.so.10",
            "libavisynth.so.9"};
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

int MediaCommandService::sendString(std::string_view command, std::string& reply)
{
    m_log.emplace_back(command);
    reply.clear();
    std::vector<std::string> words;
    if (!splitWords(command, words)) return mediaBadParameter;
    if (words.empty()) return mediaUnknownCommand;
    return run(words, reply);
}

int MediaCommandService::toFrame(const Clip& clip, double value) const
{
    const double exact =
        clip.milliseconds ? std::floor(value * clip.device->frameRate() / 1000.0 + 1e-9) : std::floor(value);
    // A number far outside any clip stays outside it, never cast to an int
    // that cannot hold it.
    const int frame = static_cast<int>(std::clamp(exact, -1.0, static_cast<double>(INT_MAX)));
    if (!clip.milliseconds) return frame;
    // The length in milliseconds names the end, which shows the last frame.
    return std::min(frame, clip.device->frameCount() - 1);
}

std::int64_t MediaCommandService::fromFrame(const Clip& clip, std::int64_t frame) const
{
    if (!clip.milliseconds) return frame;
    const double rate = clip.device->frameRate();
    return rate > 0 ? std::llround(frame * 1000.0 / rate) : 0;
}

int MediaCommandService::show(Clip& clip, int frame)
{
    if (frame < 0 || frame >= clip.device->frameCount()) return mediaOutsideRange;
    std::string error;
    const RgbFrame* rgb = clip.device->frame(frame, error);
    if (!rgb) return deviceError(error);
    clip.position = frame;
    if (auto it = m_sinks.find(clip.parent); it != m_sinks.end() && it->second)
        it->second(VideoFrame{rgb->width, rgb->height, rgb->stride, rgb->bytes.data()});
    return mediaOk;
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

    // A script is always rendered by the frame server, whichever device
    // opens it.
    const std::string extension = fileExtension(path);
    if (type == "avivideo" && extension != "avs" && extension != "avi") return mediaUnsupportedFile;
    std::string error;
    std::unique_ptr<MediaDevice> device = extension == "avs" ? openAviSynthDevice(path, m_aviSynthNames, error)
                                                             : openFfmpegDevice(path, error);
    if (!device) return deviceError(error);
    m_clips[alias] = Clip{std::move(device), parent, false, 0};
    return mediaOk;
}

int MediaCommandService::run(const std::vector<std::string>& words, std::string& reply)
{
    const std::string verb = lower(words[0]);
    if (verb == "open") return open(words);
    if (verb == "close") {
        if (words.size() != 2) return words.size() < 2 ? mediaMissingParameter : mediaBadParameter;
        if (lower(words[1]) == "all") {
            m_clips.clear();
            return mediaOk;
        }
        return m_clips.erase(lower(words[1])) ? mediaOk : mediaUnknownDevice;
    }
    if (verb != "play" && verb != "seek" && verb != "set" && verb != "status" && verb != "where")
        return mediaUnknownCommand;
    if (words.size() < 2) return mediaMissingParameter;
    Clip* clip = find(words[1]);
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
        if (!from && !to) return show(*clip, clip->position);
        return show(*clip, toFrame(*clip, to ? *to : *from));
    }
    if (verb == "seek") {
        if (rest.size() < 2) return mediaMissingParameter;
        if (rest.size() > 2 || rest[0] != "to") return mediaBadParameter;
        if (rest[1] == "start") return show(*clip, 0);
        if (rest[1] == "end") return show(*clip, clip->device->frameCount() - 1);
        double value = 0;
        if (!parseNumber(rest[1], value)) return mediaBadParameter;
        return show(*clip, toFrame(*clip, value));
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
        if (rest.size() != 1) return rest.empty() ? mediaMissingParameter : mediaBadParameter;
        if (rest[0] == "length") {
            reply = std::to_string(fromFrame(*clip, clip->device->frameCount()));
        } else if (rest[0] == "position") {
            reply = std::to_string(fromFrame(*clip, clip->position));
        } else {
            return mediaBadParameter;
        }
        return mediaOk;
    }
    // where
    if (rest.size() != 1) return rest.empty() ? mediaMissingParameter : mediaBadParameter;
    if (rest[0] != "destination") return mediaBadParameter;
    reply = "0 0 " + std::to_string(clip->device->width()) + " " + std::to_string(clip->device->height());
    return mediaOk;
}

} // namespace cw
