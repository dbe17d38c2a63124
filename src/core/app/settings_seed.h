#pragma once

#include <string>

namespace cw {

// Creates the missing settings file configFile: a copy of the program
// folder's settings seed when it has a readable one, else the line "#configuration".
// Returns "" or "path: reason".
std::string createSettingsFile(const std::string& configFile, const std::string& programFolder);

} // namespace cw
