#pragma once

#include <array>
#include <string>

namespace cw {

class CPropertiesManager;

// Slots 1 to 4 of the File menu's recent scripts, slot 1 (index 0) the
// newest; an empty string is a free slot.
using RecentFiles = std::array<std::string, 4>;

// recent.file.1 to recent.file.4 of the settings file; an absent key gives
// an empty slot.
RecentFiles loadRecentFiles(const CPropertiesManager& properties, const std::string& configFile);

// Writes slots 4, 3, 2 and 1, skipping empty ones, so a line of an empty
// slot stays in the file. Stops at the first failure and returns its reason;
// "" on success.
std::string saveRecentFiles(CPropertiesManager& properties, const std::string& configFile,
                            const RecentFiles& files);

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
