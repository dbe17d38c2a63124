#pragma once

#include "core/frameserver/interpreter_functions.h"

#include <string>
#include <vector>

namespace cw {

// Loads AviSynth+ (the first of libraryNames that loads), loads every
// autoload plugin into an environment of its own and reads what the
// interpreter publishes about its functions. false with error set when the
// library, the environment or the autoload fails. The environment and its
// plugins stay loaded until the process ends: a plugin's unload code is not
// worth a crash of its own.
bool readInterpreterFunctions(const std::vector<std::string>& libraryNames, InterpreterFunctions& out,
                              std::string& error);

} // namespace cw
