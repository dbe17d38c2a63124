#include "core/app/command_line.h"

#include <algorithm>

namespace cw {
namespace {

std::string trimBlanks(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string withoutQuotes(std::string text)
{
    std::erase(text, '"');
    return text;
}

std::string withoutSurroundingQuotes(const std::string& text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

std::string scriptPathOf(const std::string& value, const FileExistsTest& fileExists)
{
    std::string path = withoutQuotes(value);
    if (fileExists(path)) return path;
    std::string literal = withoutSurroundingQuotes(value);
    return fileExists(literal) ? literal : path;
}

} // namespace

std::string joinArguments(const std::vector<std::string>& arguments)
{
    std::string text;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) text += ' ';
        const std::string& argument = arguments[i];
        text += argument.find(' ') == std::string::npos ? argument : '"' + argument + '"';
    }
    return text;
}

std::vector<std::string> splitCommandLine(const std::string& text)
{
    std::vector<std::string> tokens;
    std::string rest = text;
    int quotes = 0;
    // After a split the scan starts again at the front of the shorter rest,
    // so every character of it is still visited.
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '"') ++quotes;
        if (rest[i] == ' ' && (quotes == 0 || quotes == 2)) {
            tokens.push_back(rest.substr(0, i));
            rest = trimBlanks(rest.substr(i));
            quotes = 0;
            i = static_cast<std::size_t>(-1);
        }
    }
    rest = trimBlanks(rest);
    if (std::find(tokens.begin(), tokens.end(), rest) == tokens.end()) tokens.push_back(rest);
    return tokens;
}

std::optional<std::uint32_t> parseWindowId(const std::string& text)
{
    const bool tooLong = text.size() > 8 && text.find_first_not_of('0') < text.size() - 8;
    if (text.empty() || tooLong) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    if (value == 0) return std::nullopt;
    return value;
}

CommandLineOptions parseCommandLine(const std::vector<std::string>& tokens, const FileExistsTest& fileExists)
{
    CommandLineOptions options;
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        const std::string& value = tokens[i + 1];
        if (tokens[i] == "-i")
            options.scriptPath = scriptPathOf(value, fileExists);
        else if (tokens[i] == "-oh")
            options.openerWindow = parseWindowId(value).value_or(0);
        else if (tokens[i] == "-ot")
            options.openerTitle = withoutQuotes(value);
    }
    return options;
}

std::string backToOpenerCaption(const std::string& openerTitle)
{
    return openerTitle.empty() ? "Back to opener" : "Back to " + openerTitle;
}

} // namespace cw
