#pragma once

#include <optional>
#include <string>

namespace cw {

// The text of --version: "Clipwright <version>", then the Qt, QScintilla and
// FFmpeg it runs with, one per line.
std::string versionText();

// Answers --help, --version and an unknown option on the terminal, before
// any window or display is needed, and gives the exit status; gives nothing
// when the program is to start.
std::optional<int> answerInfoSwitches(int argc, char** argv);

} // namespace cw
