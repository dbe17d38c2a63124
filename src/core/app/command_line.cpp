#include "core/app/command_line.h"

#include "core/base/paths.h"

#include <algorithm>
#include <string_view>

namespace cw {
namespace {

bool isOneOf(std::string_view token, std::initializer_list<std::string_view> names)
{
    return std::find(names.begin(), names.end(), token) != names.end();
}

bool takesValue(std::string_view token)
{
    return isOneOf(token, {"-i", "-oh", "-ot"});
}

// The toolkit accepts its options with one dash or two.
std::string_view withOneDash(std::string_view token)
{
    return token.starts_with("--") ? token.substr(1) : token;
}

bool isToolkitOptionWithValue(std::string_view token)
{
    return isOneOf(withOneDash(token),
                   {"-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry",
                    "-qwindowicon", "-qwindowtitle", "-session", "-style", "-stylesheet", "-qmljsdebugger",
                    "-display", "-geometry", "-title", "-name", "-icon", "-visual"});
}

bool isToolkitFlag(std::string_view token)
{
    const std::string_view option = withOneDash(token);
    return isOneOf(option, {"-reverse", "-widgetcount", "-nograb", "-dograb", "-testability", "-qdevel"}) ||
           option.starts_with("-style=") || option.starts_with("-stylesheet=") ||
           option.starts_with("-qmljsdebugger=");
}

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
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        const bool isValue = i > 0 && takesValue(tokens[i - 1]);
        if (!isValue && !token.starts_with('-')) {
            const std::string path = withoutQuotes(token);
            if (fileExists(path)) options.scriptPath = path;
        }
        if (i + 1 == tokens.size()) break;
        const std::string& value = tokens[i + 1];
        if (token == "-i")
            options.scriptPath = scriptPathOf(value, fileExists);
        else if (token == "-oh")
            options.openerWindow = parseWindowId(value).value_or(0);
        else if (token == "-ot")
            options.openerTitle = withoutQuotes(value);
    }
    return options;
}

StartupRequest startupRequest(const std::vector<std::string>& tokens)
{
    using Action = StartupRequest::Action;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (i > 0 && (takesValue(tokens[i - 1]) || isToolkitOptionWithValue(tokens[i - 1]))) continue;
        if (token == "-h" || token == "--help") return {Action::Help, {}};
        if (token == "--version") return {Action::Version, {}};
        if (!token.starts_with('-') || takesValue(token) || token == "--exit-after-startup" ||
            isToolkitOptionWithValue(token) || isToolkitFlag(token))
            continue;
        return {Action::UnknownOption, token};
    }
    return {};
}

std::string usageText()
{
    return "Usage: clipwright [OPTION]... [SCRIPT]\n"
           "Edits AviSynth scripts (.avs) with a filter browser and a frame preview.\n"
           "\n"
           "  SCRIPT                open this script, when the file exists\n"
           "  -i SCRIPT             open SCRIPT; a path that does not exist starts an\n"
           "                        untitled script\n"
           "  -oh WINDOW            the X11 window id, in hexadecimal, of the program that\n"
           "                        started Clipwright: a \"Back to\" command then sends\n"
           "                        the script to that window and closes the editor\n"
           "  -ot TITLE             that program's name, shown after \"Back to \"\n"
           "  --exit-after-startup  close as soon as the window is ready\n"
           "  -h, --help            show this help and exit\n"
           "  --version             show the versions of Clipwright and its libraries\n"
           "                        and exit\n"
           "\n"
           "Qt's own options, such as -platform NAME or -style NAME, are accepted too.\n";
}

std::string unknownOptionMessage(const std::string& option)
{
    return "clipwright: unknown option '" + option + "'";
}

std::string backToOpenerCaption(const std::string& openerTitle)
{
    return openerTitle.empty() ? "Back to opener" : "Back to " + openerTitle;
}

} // namespace cw
