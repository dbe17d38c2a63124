#pragma once

#include <array>
#include <string>

namespace cw {

// Slots 1 to 4 of the File menu's recent scripts, slot 1 (index 0) the
// newest; an empty string is a free slot.
using RecentFiles = std::array<std::string, 4>;

// Exact comparison: case counts.
bool isRecentFile(const RecentFiles& files, const std::string& filename);

// Puts a non-empty name that is not yet listed into slot 1, shifting the
// others down and dropping slot 4. A listed name keeps its place. Returns
// whether the slots changed.
bool updateRecentFiles(RecentFiles& files, const std::string& filename);

// How the menu shows the slots. When submenuEnabled is false the separator
// and the items are left as they were; captions are the slots' texts.
struct RecentFilesMenu {
    bool submenuEnabled = false;
    bool separatorVisible = false; // goes with the first item
    std::array<bool, 4> itemVisible{};
};

// Enabled when slot 1, 2 or 3 is in use (slot 4 alone does not count); an
// item is shown only when its slot holds a path, that is a "/".
RecentFilesMenu recentFilesMenu(const RecentFiles& files);

} // namespace cw
