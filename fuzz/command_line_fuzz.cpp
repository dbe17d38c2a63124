// The command line: the text split into tokens and parsed, and the input's
// lines taken as an argument vector that must survive joining, splitting
// and the removal of the quotes that joining added.
//   ./command_line_fuzz corpus/command_line
#include "core/app/command_line.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string withoutQuotes(std::string text)
{
    std::erase(text, '"');
    return text;
}

std::uint64_t referenceWindowId(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return 0;
    const std::size_t first = text.find_first_not_of('0');
    if (first != std::string::npos && text.size() - first > 8) return 0;
    return std::strtoull(text.c_str(), nullptr, 16);
}

void checkRoundTrip(const std::string& bytes)
{
    std::vector<std::string> arguments;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        arguments.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    // What the joined form cannot carry: quotes of its own, empty
    // arguments, and a last argument that repeats an earlier one.
    for (const std::string& argument : arguments)
        if (argument.empty() || argument.find('"') != std::string::npos) return;
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i] == arguments.back()) return;

    std::vector<std::string> tokens = cw::splitCommandLine(cw::joinArguments(arguments));
    for (std::string& token : tokens)
        if (token.size() >= 2 && token.front() == '"' && token.back() == '"') token = token.substr(1, token.size() - 2);
    if (tokens != arguments) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> tokens = cw::splitCommandLine(text);
    if (tokens.empty()) std::abort();
    std::size_t at = 0;
    for (const std::string& token : tokens) {
        at = text.find(token, at);
        if (at == std::string::npos) std::abort();
        at += token.size();
    }

    // Which files exist is part of the input: those of odd length.
    const auto exists = [](const std::string& path) { return path.size() % 2 == 1; };
    const cw::CommandLineOptions options = cw::parseCommandLine(tokens, exists);
    if (options.scriptPath) {
        bool fromAToken = false;
        for (std::size_t i = 1; i < tokens.size(); ++i) {
            const std::string& value = tokens[i];
            const std::string inner = value.size() >= 2 && value.front() == '"' && value.back() == '"'
                                          ? value.substr(1, value.size() - 2)
                                          : value;
            fromAToken |= tokens[i - 1] == "-i" && (*options.scriptPath == withoutQuotes(value) ||
                                                    (*options.scriptPath == inner && exists(inner)));
        }
        // Or a plain file: no switch, and no switch's value.
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            const bool isValue =
                i > 0 && (tokens[i - 1] == "-i" || tokens[i - 1] == "-oh" || tokens[i - 1] == "-ot");
            fromAToken |= !isValue && !tokens[i].starts_with('-') &&
                          *options.scriptPath == withoutQuotes(tokens[i]) && exists(*options.scriptPath);
        }
        if (!fromAToken) std::abort();
    }
    if (options.openerWindow != 0) {
        bool fromAToken = false;
        for (std::size_t i = 1; i < tokens.size(); ++i)
            fromAToken |= tokens[i - 1] == "-oh" && referenceWindowId(tokens[i]) == options.openerWindow;
        if (!fromAToken) std::abort();
    }
    for (const std::string& token : tokens)
        if (cw::parseWindowId(token).value_or(0) != referenceWindowId(token)) std::abort();
    if (options.openerTitle.find('"') != std::string::npos) std::abort();

    checkRoundTrip(text);
    return 0;
}
