#pragma once

#include <string>
#include <vector>

namespace cw {

// Where definition sets live: def/ in the program folder, with the sets that
// come with the program, and def/ in the user's data folder, where sets are
// generated when the program may not write into its own folder.
struct DefinitionFolders {
    std::string program;
    std::string user; // "" for none
    bool programWritable = false;

    // The user's folder of that set when there is one, else the program's;
    // the program's def/ itself for the empty name.
    std::string setFolder(const std::string& name) const;
    // The names of the sets of both folders in name order, each once. Names
    // starting with "." are left out: a set being written is hidden so.
    std::vector<std::string> setNames() const;
    // Where a generated set goes.
    const std::string& writable() const { return programWritable || user.empty() ? program : user; }
};

} // namespace cw
