#pragma once

#include <cstdlib>
#include <functional>
#include <string>

namespace cw {

bool fileExists(const std::string& path);   // false for folders and for ""
bool folderExists(const std::string& path); // false for files and for ""

// The text after the last "." anywhere in the path, lower-cased; "" without
// a dot. A dotted folder name counts too ("/a.b/c" gives "b/c").
std::string fileExtension(const std::string& path);

using EnvLookup = std::function<const char*(const char*)>;

// The running process's own environment, as an EnvLookup.
inline const char* processEnvironment(const char* name)
{
    return std::getenv(name);
}

struct TempFolder {
    std::string path;       // "" only when even the private folder cannot be made safely
    std::string passedOver; // a TEMP or TMP folder refused as unsafe, "" when none was
};

// TEMP, then TMP, when they name existing folders that this user owns and
// nobody else may write to; otherwise this user's own folder clipwright-<uid>
// (mode 0700) inside TMPDIR or /tmp, created when missing. A shared folder
// such as /tmp is passed over: others could plant a file or a link in it
// under the name the program is about to write.
TempFolder chooseTempFolder(const EnvLookup& env);

// The note the user gets, once, when a TEMP or TMP folder was passed over;
// "" when none was.
std::string tempFolderNotice(const TempFolder& chosen);

// Makes path a folder of this user's that nobody else may enter (mode
// 0700), creating it and its parents when missing; false when it cannot be
// made so, as when someone else owns it or a link stands under its name.
bool makePrivateFolder(const std::string& path);

// Where this user's state outlives the program: $XDG_STATE_HOME/clipwright,
// default ~/.local/state/clipwright. Only named here, not created.
std::string stateFolder(const EnvLookup& env);

// CLIPWRIGHT_HOME when set, else the folder of the running executable.
std::string programFolder(const EnvLookup& env);

// The settings an installed copy starts each user with, kept read-only in
// its program folder. Its presence marks the copy as installed.
inline constexpr const char* settingsSeedName = "conf.properties.default";

// Whether the program may write into its own folder: it is writable and
// holds no settings seed.
bool mayWriteProgramFolder(const std::string& programFolder);

// $XDG_DATA_HOME/clipwright (default ~/.local/share/clipwright); not created.
std::string userDataFolder(const EnvLookup& env);

// Where conf.properties lives: the program folder when it is writable and
// holds no settings seed (a build, or a folder of the user's own), else
// $XDG_CONFIG_HOME/clipwright (default ~/.config/clipwright), created on
// demand. An installed copy thus never writes into its own folder, not even
// for root, so removing it leaves nothing behind.
std::string settingsFolder(const std::string& programFolder, const EnvLookup& env);

} // namespace cw
