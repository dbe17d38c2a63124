#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cw {

// Where in a script the frame server's message places an error, 1-based as
// the message gives it.
struct ScriptErrorLocation {
    int line = 0;
    std::optional<int> column;
    bool operator==(const ScriptErrorLocation&) const = default;
};

// The first "(path, line N)" or "(path, line N, column M)" of message whose
// path is scriptPath. A location in another file, such as a script the
// first one imports, does not count.
std::optional<ScriptErrorLocation> findErrorLocation(std::string_view message, std::string_view scriptPath);

// message with every "(scriptPath, line" made "(scriptName, line", so the
// user reads the name of the script being edited rather than the temporary
// file that was run. The rest of the text is left as it is.
std::string nameScriptInMessage(std::string_view message, std::string_view scriptPath, std::string_view scriptName);

} // namespace cw
