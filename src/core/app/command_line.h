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
//
// A token that is neither a switch nor the value of the switch before it is
// a script to open when it names an existing file (double quotes removed),
// as "-i" with that file would; it takes the place of an earlier "-i" and is
// taken over by a later one.
struct CommandLineOptions {
    std::optional<std::string> scriptPath; // "-i" or a plain file, see parseCommandLine
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

// What to do before any window exists. The first token that asks for
// help, for the version or is an unknown option decides; a token counts
// only when it is not the value of the switch before it. The toolkit's own
// options (-platform NAME, -style=NAME, -reverse, ...) are known too, since
// the toolkit removes them only later. An unknown option is any other token
// that starts with "-".
struct StartupRequest {
    enum class Action { Start, Help, Version, UnknownOption };
    Action action = Action::Start;
    std::string option; // the unknown option
};

StartupRequest startupRequest(const std::vector<std::string>& tokens);

// The usage text of --help, several lines, ending with a line end.
std::string usageText();

// The one line, without its line end, that reports an unknown option.
std::string unknownOptionMessage(const std::string& option);

// "Back to opener" without a title, else "Back to " + title.
std::string backToOpenerCaption(const std::string& openerTitle);

} // namespace cw
