#pragma once

#include <string>
#include <vector>

namespace cw {

// A function as the interpreter lists it: its name and its parameter type
// string ("c[radius]i"). reported is false when the interpreter lists the
// name but gives no type string for it.
struct InterpreterFunction {
    std::string name;
    std::string parameters;
    bool reported = true;

    bool operator==(const InterpreterFunction&) const = default;
};

// What an AviSynth+ with every autoload plugin loaded says about itself.
struct InterpreterFunctions {
    std::string version;                      // "AviSynth+ 3.7.5 (x86_64)"
    std::vector<std::string> autoloadFolders; // as it lists them, duplicates included
    // The interpreter's own functions, then the plugins' in the order they
    // were registered, each plugin function followed by its prefixed alias
    // ("FFVideoSource", "ffms2_FFVideoSource"). Each name once per list.
    std::vector<InterpreterFunction> internal;
    std::vector<InterpreterFunction> plugin;

    bool operator==(const InterpreterFunctions&) const = default;
};

} // namespace cw
