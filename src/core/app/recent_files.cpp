#include "core/app/recent_files.h"

#include <algorithm>

namespace cw {

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
