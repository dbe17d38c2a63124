#pragma once

#include "core/app/recent_files.h"
#include "core/base/paths.h"
#include "core/config/properties_manager.h"
#include "core/defs/definition_folders.h"
#include "core/preview/bookmarks.h"

#include <map>
#include <string>

namespace cw {

// The program's settings, conf.properties: read once at start-up into typed
// values that fall back to their defaults, and written through
// CPropertiesManager at the moments the user's choices must reach the file.
// Every write reports the system's reason, or "" on success.
class Settings {
public:
    // The program folder holds def/; the file lives there too when the folder
    // is writable, else in $XDG_CONFIG_HOME/clipwright. The user's own
    // definition sets are in $XDG_DATA_HOME/clipwright/def.
    static Settings locate(const EnvLookup& env);
    // userDataFolder: "" for none.
    Settings(std::string programFolder, std::string file, std::string userDataFolder = {});

    const std::string& programFolder() const { return m_programFolder; }
    const std::string& file() const { return m_file; }
    // Where the definition sets live: def/ in the program folder and in the
    // user's data folder.
    DefinitionFolders definitionFolders() const;

    // A missing file is created as a copy of the program folder's settings
    // seed when it has one, else holding "#configuration"; "" or the reason.
    std::string createWhenMissing();
    // Reads the file; a missing or unreadable one gives every default.
    void read();

    const std::string& externalPlayer() const { return m_externalPlayer; }
    int viewMode() const { return m_viewMode; } // 2 by category, 1 by plugin
    const std::string& definitionSet() const { return m_definitionSet; }
    bool hideUncategorized() const { return m_hideUncategorized; }
    int tilePercent1() const { return m_tilePercent1; }
    int tilePercent2() const { return m_tilePercent2; }
    const RecentFiles& recentFiles() const { return m_recentFiles; }
    // F5 reopens the preview at the frame it showed; off unless stored.
    bool keepFrameOnReload() const { return m_keepFrame; }
    // The call a media file dropped on the script becomes; set by hand only.
    const std::string& sourceFilter() const { return m_sourceFilter; }
    // The preview's bookmarks in the script at path.
    BookmarkSet bookmarks(const std::string& path) const;

    // Written the moment the user chooses them.
    std::string writeDefinitionSet(const std::string& name);
    std::string writeExternalPlayer(const std::string& path);
    std::string writeKeepFrameOnReload(bool on);
    // A script without bookmarks leaves no line behind.
    std::string writeBookmarks(const std::string& path, const BookmarkSet& frames);

    struct OnClose {
        RecentFiles recentFiles;
        int tilePercent1 = 0;
        int tilePercent2 = 0;
        bool hideUncategorized = false;
        int viewMode = 1;
    };
    // Written when the main window closes: the recent files from slot 4 to
    // slot 1 (empty slots skipped, so their old lines stay), the two tile
    // percentages, the hide flag, the view mode. Every value is tried; the
    // first failure's reason is returned.
    std::string writeOnClose(const OnClose& values);

private:
    std::string write(const std::string& key, const std::string& value);

    CPropertiesManager m_properties;
    std::string m_programFolder;
    std::string m_file;
    std::string m_userDataFolder;
    std::string m_externalPlayer;
    int m_viewMode = 1;
    std::string m_definitionSet;
    bool m_hideUncategorized = false;
    int m_tilePercent1 = 25;
    int m_tilePercent2 = 80;
    RecentFiles m_recentFiles;
    bool m_keepFrame = false;
    std::string m_sourceFilter;
    std::map<std::string, BookmarkSet> m_bookmarks; // by key
};

} // namespace cw
