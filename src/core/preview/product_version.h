#pragma once

#include <string>
#include <vector>

namespace cw {

// The version of the interpreter library found in folders, as four numbers
// joined by "." ("3.7.5.0"): "libavisynth.so" is looked for in every folder
// first, then its versioned names "libavisynth.so.*" (the highest version of
// the first folder that has any). Links are followed to the real file and
// up to four numbers are taken from its name after ".so.", zero-padded.
// "" when no library is found or its name holds no version.
std::string getProductVersion(const std::vector<std::string>& folders);

// The version numbers of a library file name: "libavisynth.so.3.7.5" gives
// "3.7.5.0"; each number is 0 to 65535; "" without any.
std::string versionFromLibraryName(const std::string& fileName);

} // namespace cw
