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

std::string chooseTempFolder(const EnvLookup& env)
{
    for (const char* name : {"TEMP", "TMP"}) {
        const char* value = env(name);
        if (value && folderExists(value)) return value;
    }
    const char* tmpdir = env("TMPDIR");
    const std::string base = tmpdir && folderExists(tmpdir) ? tmpdir : "/tmp";
    const std::string own = base + "/clipwright-" + std::to_string(::getuid());
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) return {};

    // Someone else's folder, or one that others can write into, could be used
    // to plant or read the preview script.
    struct stat st {};
    if (::lstat(own.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return {};
    if ((st.st_mode & 077) != 0 && ::chmod(own.c_str(), 0700) != 0) return {};
    return own;
}

std::string programFolder(const EnvLookup& env)
{
    if (const char* home = env("CLIPWRIGHT_HOME"); home && *home) return home;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

std::string settingsFolder(const std::string& programFolder, const EnvLookup& env)
{
    const bool installed = fileExists(programFolder + "/" + settingsSeedName);
    if (!installed && ::access(programFolder.c_str(), W_OK) == 0) return programFolder;
    std::string config;
    if (const char* xdg = env("XDG_CONFIG_HOME"); xdg && *xdg) {
        config = xdg;
    } else {
        const char* home = env("HOME");
        config = std::string(home ? home : "") + "/.config";
    }
    const std::string folder = config + "/clipwright";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

} // namespace cw
