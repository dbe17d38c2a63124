#include "core/preview/media_player.h"

#include "core/base/rounding.h"

#include <algorithm>
#include <cstdlib>

namespace cw {
namespace {

// Leading blanks, then digits with an optional decimal point; anything else
// ends the number and an empty reply reads as 0. Rounded half to even.
std::int32_t replyNumber(std::string_view reply)
{
    std::size_t i = reply.find_first_not_of(' ');
    if (i == std::string_view::npos) return 0;
    std::size_t end = i;
    bool point = false;
    while (end < reply.size() && ((reply[end] >= '0' && reply[end] <= '9') || (reply[end] == '.' && !point))) {
        point = point || reply[end] == '.';
        ++end;
    }
    const std::string digits(reply.substr(i, end - i));
    const double value = digits.empty() ? 0.0 : std::strtod(digits.c_str(), nullptr);
    return static_cast<std::int32_t>(std::min(roundHalfEven(value), 2147483647.0));
}

std::string join(std::initializer_list<std::string_view> pieces)
{
    std::string out;
    for (std::string_view piece : pieces) out += piece;
    return out;
}

} // namespace

MediaReply MediaPlayer::send(std::string_view command)
{
    std::string reply;
    const int code = m_service.sendString(command, reply);
    return {code, code == mediaOk ? "Success" : m_service.mediaErrorText(code)};
}

std::int32_t MediaPlayer::query(std::string_view command)
{
    std::string reply;
    if (m_service.sendString(command, reply) != mediaOk) return -1;
    return replyNumber(reply);
}

MediaReply MediaPlayer::openMovie(std::intptr_t parentHandle, std::string_view alias, const std::string& path,
                                  std::string_view deviceType)
{
    return send(join({"open \"", path, "\" type ", deviceType, " Alias ", alias, " parent ",
                      std::to_string(parentHandle), " Style ", "1073741824"}));
}

MediaReply MediaPlayer::playMovie(std::string_view alias, std::string_view from, std::string_view to)
{
    return send(join({"play ", alias, " from ", from, " to ", to}));
}

MediaReply MediaPlayer::seekMovie(std::string_view alias, std::int32_t frame)
{
    return send(join({"seek ", alias, " to ", std::to_string(frame)}));
}

MediaReply MediaPlayer::closeAllMovies()
{
    return send("Close all");
}

std::int32_t MediaPlayer::getLengthInFrames(std::string_view alias)
{
    send(join({"set ", alias, " time format frames"}));
    return query(join({"status ", alias, " length"}));
}

std::int32_t MediaPlayer::getLengthInMs(std::string_view alias)
{
    send(join({"set ", alias, " time format ms"}));
    const std::int32_t length = query(join({"status ", alias, " length"}));
    send(join({"set ", alias, " time format frames"}));
    return length;
}

std::int32_t MediaPlayer::getPosition(std::string_view alias)
{
    return query(join({"status ", alias, " position"}));
}

FrameRate MediaPlayer::getFrameRate(std::string_view alias)
{
    std::string reply;
    if (m_service.sendString(join({"status ", alias, " frame rate"}), reply) != mediaOk) return {};
    return parseFrameRate(reply);
}

std::int32_t MediaPlayer::getVideoSize(std::string_view alias, std::string_view which)
{
    const bool cx = which.size() == 2 && (which[0] | 0x20) == 'c' && (which[1] | 0x20) == 'x';
    const bool cy = which.size() == 2 && (which[0] | 0x20) == 'c' && (which[1] | 0x20) == 'y';
    if (!cx && !cy) return -1;
    std::string reply;
    if (m_service.sendString(join({"Where ", alias, " destination"}), reply) != mediaOk) return -1;
    // left top width height
    std::size_t second = reply.find(' ');
    if (second != std::string::npos) second = reply.find(' ', second + 1);
    const std::size_t third = second == std::string::npos ? std::string::npos : reply.find(' ', second + 1);
    if (third == std::string::npos) return replyNumber("");
    return cx ? replyNumber(std::string_view(reply).substr(second + 1, third - second - 1))
              : replyNumber(std::string_view(reply).substr(third + 1));
}

std::string MediaPlayer::formatFrameTime(std::int32_t frame) const
{
    return cw::formatFrameTime(frame, m_clip.frameRate);
}

} // namespace cw
