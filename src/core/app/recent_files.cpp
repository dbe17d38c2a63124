#include "core/app/recent_files.h"

#include "core/config/properties_manager.h"
#include "core/config/settings_keys.h"

#include <algorithm>

namespace cw {
namespace {

std::string slotKey(std::size_t index)
{
    return keys::recentFilePrefix + std::to_string(index + 1);
}

} // namespace

RecentFiles loadRecentFiles(const CPropertiesManager& properties, const std::string& configFile)
{
    RecentFiles files;
    for (std::size_t i = 0; i < files.size(); ++i)
        files[i] = properties.readPropertie(configFile, slotKey(i));
    return files;
}

std::string saveRecentFiles(CPropertiesManager& properties, const std::string& configFile,
                            const RecentFiles& files)
{
    for (std::size_t i = files.size(); i-- > 0;) {
        if (files[i].empty()) continue;
        if (std::string error = properties.writePropertie(configFile, slotKey(i), files[i]); !error.empty())
            return error;
    }
    return {};
}

bool isRecentFile(const RecentFiles& files, const std::string& filename)
{
    return std::find(files.begin(), files.end(), filename) != files.end();
}

bool updateRecentFiles(RecentFiles& files, const std::string& filename)
{
    if (filename.empty() || isRecentFile(files, filename)) return false;
    std::shift_right(files.begin(), files.end(), 1);
    files[0] = filename;
    return true;
}

RecentFilesMenu recentFilesMenu(const RecentFiles& files)
{
    RecentFilesMenu menu;
    menu.submenuEnabled = !files[0].empty() || !files[1].empty() || !files[2].empty();
    if (!menu.submenuEnabled) return menu;
    for (std::size_t i = 0; i < files.size(); ++i)
        menu.itemVisible[i] = files[i].find('/') != std::string::npos;
    menu.separatorVisible = menu.itemVisible[0];
    return menu;
}

} // namespace cw
