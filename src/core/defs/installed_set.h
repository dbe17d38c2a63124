#pragma once

#include "core/defs/definition_folders.h"
#include "core/defs/definition_model.h"
#include "core/frameserver/interpreter_functions.h"

#include <string>
#include <vector>

namespace cw {

// The version in the interpreter's version text: "AviSynth+ 3.7.5 (x86_64)"
// gives "3.7.5"; "" when it holds none.
std::string interpreterVersion(const std::string& versionText);

// The set read from an installed AviSynth+ of that version is named
// "3.7.5 installed".
std::string installedSetName(const std::string& version);
// The version in such a name; "" for any other set.
std::string installedSetVersion(const std::string& setName);
// Whether two versions differ, "3.7.5" and "3.7.5.0" being the same; false
// when either holds anything but numbers and dots.
bool versionsDiffer(const std::string& a, const std::string& b);

// Of the sets that come with the program, the one to take descriptions from:
// the one named by the version's first two numbers ("3.7"), else the
// highest-numbered one; "" when none is named by a version.
std::string bundledSetFor(const std::string& version, const std::vector<std::string>& setNames);

// A script from an autoload folder.
struct AutoloadScript {
    std::string path;
    std::string text; // UTF-8
};

// The ".avsi" files of the folders (each folder once, however it is
// spelled), in folder order and then by name; unreadable ones left out.
std::vector<AutoloadScript> readAutoloadScripts(const std::vector<std::string>& folders);

// The plugins of the set: "Core" with the interpreter's own functions, one
// plugin per plugin base name (the prefix of its functions' aliases, which
// are not listed again), "User functions" with the functions the scripts
// define; each file's filters by name. Overloads of a name are one filter.
// A function the bundled model knows (same name, any letter case) keeps its
// description, category and parameters as written there, followed by the
// named arguments the interpreter reports that they lack: the interpreter
// keeps the type string of one overload only (Trim's last, with "end"),
// which would lose what the bundled set took from the others
// ("last_frame"). Other plugin functions are in
// the category "Plugins", the scripts' in "User functions". A type string
// that cannot be read leaves the function without parameters, with a
// description saying so.
std::vector<CPlugin> installedSetPlugins(const InterpreterFunctions& found, const DefinitionModel& bundled,
                                         const std::vector<AutoloadScript>& scripts);

// All of it: takes the bundled set of folders.program, reads the autoload
// scripts, and writes the set into folders.writable(). The set's name, or ""
// with error set.
std::string writeInstalledSet(const InterpreterFunctions& found, const DefinitionFolders& folders,
                              std::string& error);

} // namespace cw
