#include "core/documents/recovery_file.h"


namespace cw {
namespace {

constexpr std::string_view magic = "clipwright recovery 1\n";

// Keeps a path with line ends in it on its one header line.
std::string escaped(const std::string& value)
{
    std::string out;
    for (const char c : value) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size()) return std::nullopt;
        switch (value[i]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

} // namespace

std::string encodeRecovery(const RecoveryRecord& record)
{
    std::string header(magic);
    header += "path " + escaped(record.path) + "\n";
    header +=
        record.text.encoding == TextEncoding::Windows1252 ? "encoding windows-1252\n" : "encoding utf-8\n";
    header += record.text.lineEnd == "\n" ? "line-end lf\n" : "line-end crlf\n";
    header += "length " + std::to_string(record.text.utf8.size()) + "\n\n";
    std::string bytes;
    bytes.reserve(header.size() + record.text.utf8.size());
    bytes += header;
    bytes += record.text.utf8;
    return bytes;
}

std::optional<RecoveryRecord> decodeRecovery(std::string_view bytes)
{
    if (!bytes.starts_with(magic)) return std::nullopt;
    bytes.remove_prefix(magic.size());
    RecoveryRecord record;
    std::optional<std::size_t> length;
    bool hasPath = false;
    for (;;) {
        const auto end = bytes.find('\n');
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end + 1);
        if (line.empty()) break;
        const auto space = line.find(' ');
        if (space == std::string_view::npos) return std::nullopt;
        const std::string_view key = line.substr(0, space), value = line.substr(space + 1);
        if (key == "path") {
            const std::optional<std::string> path = unescaped(value);
            if (!path) return std::nullopt;
            record.path = *path;
            hasPath = true;
        } else if (key == "encoding") {
            if (value != "utf-8" && value != "windows-1252") return std::nullopt;
            record.text.encoding = value == "utf-8" ? TextEncoding::Utf8 : TextEncoding::Windows1252;
        } else if (key == "line-end") {
            if (value != "lf" && value != "crlf") return std::nullopt;
            record.text.lineEnd = value == "lf" ? "\n" : "\r\n";
        } else if (key == "length") {
            const std::string digits(value);
            if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos ||
                digits.size() > 15)
                return std::nullopt;
            length = std::stoull(digits);
        }
    }
    if (!hasPath || !length || *length != bytes.size()) return std::nullopt;
    record.text.utf8 = std::string(bytes);
    return record;
}

std::string localTimeText(std::time_t time, const char* format)
{
    std::tm parts {};
    char text[64] = "";
    if (::localtime_r(&time, &parts)) std::strftime(text, sizeof text, format, &parts);
    return text;
}

std::string recoveryQuestion(const std::string& path, std::time_t savedAt)
{
    return "Recover the unsaved changes to " + (path.empty() ? std::string("Untitled") : path) + " from " +
           localTimeText(savedAt, "%Y-%m-%d %H:%M") + "?";
}

} // namespace cw
