#include "core/config/settings.h"

#include "core/base/text_file.h"
#include "core/config/setting_values.h"

namespace cw {
namespace {

// The keys of conf.properties. cmake/seed_config.cmake writes its own copy
// of the definition-set key into the file a fresh build starts with.
const std::string externalPlayerKey = "external.player";
const std::string viewModeKey = "filters.view.mode";
const std::string definitionSetKey = "avisynth.def.path";
const std::string hideUncategorizedKey = "hide.uncategorized.filters";
const std::string splitter1Key = "splitter1.tile.percent";
const std::string splitter2Key = "splitter2.tile.percent";
const std::string keepFrameKey = "preview.keep.frame";
const std::string sourceFilterKey = "source.filter";
const std::string defaultSourceFilter = "FFVideoSource";
// bookmarksKey() adds a hash of the script's path to this.
const std::string bookmarksPrefix = "preview.bookmarks.";

std::string recentFileKey(std::size_t slot)
{
    return "recent.file." + std::to_string(slot + 1);
}

} // namespace

Settings Settings::locate(const EnvLookup& env)
{
    std::string folder = cw::programFolder(env);
    std::string file = settingsFolder(folder, env) + "/conf.properties";
    return Settings(std::move(folder), std::move(file), userDataFolder(env));
}

Settings::Settings(std::string programFolder, std::string file, std::string userDataFolder)
    : m_programFolder(std::move(programFolder)), m_file(std::move(file)), m_userDataFolder(std::move(userDataFolder))
{
}

DefinitionFolders Settings::definitionFolders() const
{
    return {m_programFolder + "/def", m_userDataFolder.empty() ? std::string() : m_userDataFolder + "/def",
            mayWriteProgramFolder(m_programFolder)};
}

std::string Settings::createWhenMissing()
{
    if (fileExists(m_file)) return {};
    // An unreadable seed leaves the user where a build without one would:
    // asked to choose a definition set.
    if (const std::optional<std::string> seed = readFileBytes(m_programFolder + "/" + settingsSeedName))
        return writeFileAtomically(m_file, *seed);
    return writeTextFile(m_file, "#configuration");
}

void Settings::read()
{
    const std::vector<std::string> lines = CPropertiesManager::readLines(m_file);
    const auto value = [&lines](const std::string& key) { return CPropertiesManager::valueOf(lines, key); };
    m_externalPlayer = value(externalPlayerKey);
    m_viewMode = readViewMode(value(viewModeKey));
    m_definitionSet = value(definitionSetKey);
    m_hideUncategorized = value(hideUncategorizedKey) == "true";
    m_tilePercent1 = readTilePercent(value(splitter1Key), 25);
    m_tilePercent2 = readTilePercent(value(splitter2Key), 80);
    for (std::size_t i = 0; i < m_recentFiles.size(); ++i) m_recentFiles[i] = value(recentFileKey(i));
    m_keepFrame = value(keepFrameKey) == "true";
    m_sourceFilter = value(sourceFilterKey);
    if (m_sourceFilter.empty()) m_sourceFilter = defaultSourceFilter;
    m_bookmarks.clear();
    for (const std::string& line : lines) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || line.compare(0, bookmarksPrefix.size(), bookmarksPrefix) != 0) continue;
        BookmarkSet frames = parseBookmarks(std::string_view(line).substr(eq + 1));
        if (!frames.empty()) m_bookmarks.emplace(line.substr(0, eq), std::move(frames));
    }
}

BookmarkSet Settings::bookmarks(const std::string& path) const
{
    const auto it = m_bookmarks.find(bookmarksKey(path));
    return it == m_bookmarks.end() ? BookmarkSet() : it->second;
}

std::string Settings::writeKeepFrameOnReload(bool on)
{
    m_keepFrame = on;
    return write(keepFrameKey, on ? "true" : "false");
}

std::string Settings::writeBookmarks(const std::string& path, const BookmarkSet& frames)
{
    const std::string key = bookmarksKey(path);
    if (!frames.empty()) {
        m_bookmarks[key] = frames;
        return write(key, bookmarksText(frames));
    }
    if (m_bookmarks.erase(key) == 0) return {};
    return m_properties.removePropertie(m_file, key);
}

std::string Settings::write(const std::string& key, const std::string& value)
{
    return m_properties.writePropertie(m_file, key, value);
}

std::string Settings::writeDefinitionSet(const std::string& name)
{
    m_definitionSet = name;
    return write(definitionSetKey, name);
}

std::string Settings::writeExternalPlayer(const std::string& path)
{
    m_externalPlayer = path;
    return write(externalPlayerKey, path);
}

std::string Settings::writeOnClose(const OnClose& values)
{
    std::string firstError;
    const auto keep = [&firstError](std::string error) {
        if (firstError.empty()) firstError = std::move(error);
    };
    for (std::size_t i = values.recentFiles.size(); i-- > 0;)
        if (!values.recentFiles[i].empty()) keep(write(recentFileKey(i), values.recentFiles[i]));
    keep(write(splitter1Key, std::to_string(values.tilePercent1)));
    keep(write(splitter2Key, std::to_string(values.tilePercent2)));
    keep(write(hideUncategorizedKey, values.hideUncategorized ? "true" : "false"));
    keep(write(viewModeKey, std::to_string(values.viewMode)));
    return firstError;
}

} // namespace cw
