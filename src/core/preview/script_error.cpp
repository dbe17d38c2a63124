#include "core/preview/script_error.h"

#include <charconv>

namespace cw {
namespace {

// Reads digits at text[pos]; the position after them, or npos.
std::size_t readNumber(std::string_view text, std::size_t pos, int& value)
{
    const char* begin = text.data() + pos;
    const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
    if (ec != std::errc() || end == begin || value < 1) return std::string_view::npos;
    return pos + static_cast<std::size_t>(end - begin);
}

} // namespace

std::optional<ScriptErrorLocation> findErrorLocation(std::string_view message, std::string_view scriptPath)
{
    if (scriptPath.empty()) return std::nullopt;
    const std::string opening = "(" + std::string(scriptPath) + ", line ";
    for (std::size_t at = message.find(opening); at != std::string_view::npos;
         at = message.find(opening, at + 1)) {
        ScriptErrorLocation location;
        std::size_t pos = readNumber(message, at + opening.size(), location.line);
        if (pos == std::string_view::npos) continue;
        if (message.substr(pos, 9) == ", column ") {
            int column = 0;
            const std::size_t after = readNumber(message, pos + 9, column);
            if (after == std::string_view::npos) continue;
            location.column = column;
            pos = after;
        }
        if (pos < message.size() && message[pos] == ')') return location;
    }
    return std::nullopt;
}

std::string nameScriptInMessage(std::string_view message, std::string_view scriptPath, std::string_view scriptName)
{
    std::string out;
    if (scriptPath.empty()) return std::string(message);
    const std::string from = "(" + std::string(scriptPath) + ", line ";
    const std::string to = "(" + std::string(scriptName) + ", line ";
    std::size_t pos = 0;
    for (std::size_t hit; (hit = message.find(from, pos)) != std::string_view::npos; pos = hit + from.size())
        out.append(message.substr(pos, hit - pos)).append(to);
    out.append(message.substr(pos));
    return out;
}

} // namespace cw
