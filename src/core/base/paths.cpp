#include "core/base/paths.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace cw {

bool fileExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool folderExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string fileExtension(const std::string& path)
{
    const auto dot = path.rfind('.');
    if (dot == std::string::npos) return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

namespace {

bool isPrivateFolder(const struct stat& st)
{
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 022) == 0;
}

} // namespace

TempFolder chooseTempFolder(const EnvLookup& env)
{
    TempFolder chosen;
    for (const char* name : {"TEMP", "TMP"}) {
        const char* value = env(name);
        struct stat st {};
        if (!value || !*value || ::stat(value, &st) != 0 || !S_ISDIR(st.st_mode)) continue;
        if (isPrivateFolder(st)) {
            chosen.path = value;
            return chosen;
        }
        if (chosen.passedOver.empty()) chosen.passedOver = value;
    }
    const char* tmpdir = env("TMPDIR");
    const std::string base = tmpdir && folderExists(tmpdir) ? tmpdir : "/tmp";
    const std::string own = base + "/clipwright-" + std::to_string(::getuid());
    if (makePrivateFolder(own)) chosen.path = own;
    return chosen;
}

bool makePrivateFolder(const std::string& path)
{
    const auto slash = path.rfind('/');
    std::error_code ec;
    if (slash != std::string::npos && slash > 0)
        std::filesystem::create_directories(path.substr(0, slash), ec);
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;

    // Someone else's folder, or a link planted under its name, is refused; a
    // folder of ours that others may enter is closed before use.
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return false;
    return (st.st_mode & 077) == 0 || ::chmod(path.c_str(), 0700) == 0;
}

std::string stateFolder(const EnvLookup& env)
{
    if (const char* xdg = env("XDG_STATE_HOME"); xdg && *xdg) return std::string(xdg) + "/clipwright";
    const char* home = env("HOME");
    return std::string(home ? home : "") + "/.local/state/clipwright";
}

std::string tempFolderNotice(const TempFolder& chosen)
{
    if (chosen.passedOver.empty()) return {};
    return chosen.passedOver + " is shared with other users: temporary files go to " +
           (chosen.path.empty() ? std::string("the program folder") : chosen.path);
}

std::string programFolder(const EnvLookup& env)
{
    if (const char* home = env("CLIPWRIGHT_HOME"); home && *home) return home;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

namespace {

// The XDG variable's folder, else the folder under the home folder.
std::string xdgFolder(const EnvLookup& env, const char* variable, const char* underHome)
{
    if (const char* xdg = env(variable); xdg && *xdg) return xdg;
    const char* home = env("HOME");
    return std::string(home ? home : "") + underHome;
}

} // namespace

bool mayWriteProgramFolder(const std::string& programFolder)
{
    return !fileExists(programFolder + "/" + settingsSeedName) && ::access(programFolder.c_str(), W_OK) == 0;
}

std::string userDataFolder(const EnvLookup& env)
{
    return xdgFolder(env, "XDG_DATA_HOME", "/.local/share") + "/clipwright";
}

std::string settingsFolder(const std::string& programFolder, const EnvLookup& env)
{
    if (mayWriteProgramFolder(programFolder)) return programFolder;
    const std::string folder = xdgFolder(env, "XDG_CONFIG_HOME", "/.config") + "/clipwright";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

} // namespace cw
