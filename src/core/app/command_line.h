#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cw {

// The argument string the program works from, rebuilt from the argument
// vector without the program's own name: the arguments joined with blanks,
// each one that holds a blank wrapped in double quotes.
std::string joinArguments(const std::vector<std::string>& arguments);

// Tokens of a command-line text. Only a blank outside double quotes splits;
// tokens keep their quotes. Runs of blanks make no empty tokens, yet a text
// that starts with a blank gives an empty first token. The last token is
// dropped when an earlier token equals it, and an empty text gives one empty
// token.
std::vector<std::string> splitCommandLine(const std::string& text);

// What the switches asked for. Switches match whole tokens, case counting;
// a switch without a following token is ignored, and the value token is
// still looked at as a token of its own. A later switch overrides an
// earlier one of the same kind.
struct CommandLineOptions {
    std::optional<std::string> scriptPath; // "-i", see parseCommandLine
    std::uint32_t openerWindow = 0;        // "-oh", 0 when none or not hexadecimal
    std::string openerTitle;               // "-ot", double quotes removed
};

using FileExistsTest = std::function<bool(const std::string&)>;

// The "-i" value loses all its double quotes, as it must where a file name
// cannot hold one; but when no file has that name and the value without
// only its surrounding pair of quotes names one, that file is meant.
CommandLineOptions parseCommandLine(const std::vector<std::string>& tokens, const FileExistsTest& fileExists);

// The hexadecimal digits of an X11 window id without "0x"; nothing for any
// other text, for more than 32 bits, and for 0.
std::optional<std::uint32_t> parseWindowId(const std::string& text);

// "Back to opener" without a title, else "Back to " + title.
std::string backToOpenerCaption(const std::string& openerTitle);

} // namespace cw
