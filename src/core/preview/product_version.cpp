#include "core/preview/product_version.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace cw {

namespace {

const std::string kLibraryName = "libavisynth.so";

using Version = std::array<unsigned, 4>;

std::optional<Version> versionNumbers(const std::string& fileName)
{
    const auto so = fileName.find(".so.");
    if (so == std::string::npos) return std::nullopt;
    Version version{};
    std::size_t count = 0;
    std::size_t at = so + 4;
    while (count < version.size() && at < fileName.size()) {
        std::size_t end = at;
        unsigned value = 0;
        while (end < fileName.size() && fileName[end] >= '0' && fileName[end] <= '9' && value <= 65535) {
            value = value * 10 + static_cast<unsigned>(fileName[end] - '0');
            ++end;
        }
        if (end == at || value > 65535) break;
        version[count++] = value;
        // "5-rc1" still gives its leading 5, but nothing after it.
        if (end < fileName.size() && fileName[end] != '.') break;
        at = end + 1;
    }
    if (count == 0) return std::nullopt;
    return version;
}

std::string joined(const Version& version)
{
    return std::to_string(version[0]) + "." + std::to_string(version[1]) + "." + std::to_string(version[2]) + "."
           + std::to_string(version[3]);
}

// The version in the name of the file that path finally links to.
std::optional<Version> realFileVersion(const fs::path& path)
{
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    if (ec || !fs::is_regular_file(real, ec)) return std::nullopt;
    return versionNumbers(real.filename().string());
}

} // namespace

std::string versionFromLibraryName(const std::string& fileName)
{
    const std::optional<Version> version = versionNumbers(fileName);
    return version ? joined(*version) : std::string();
}

std::string getProductVersion(const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        if (const auto version = realFileVersion(fs::path(folder) / kLibraryName)) return joined(*version);
    }
    // Library folders hold thousands of names and are often listed twice
    // under two paths (/lib and /usr/lib are one folder on merged systems):
    // each folder is read once, with the names compared in place.
    const std::string prefix = kLibraryName + ".";
    std::vector<std::pair<dev_t, ino_t>> listed;
    for (const std::string& folder : folders) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
        if (std::find(listed.begin(), listed.end(), std::pair(st.st_dev, st.st_ino)) != listed.end()) continue;
        listed.emplace_back(st.st_dev, st.st_ino);
        DIR* dir = ::opendir(folder.c_str());
        if (!dir) continue;
        std::optional<Version> highest;
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) != 0) continue;
            const auto version = realFileVersion(fs::path(folder) / entry->d_name);
            if (version && (!highest || *version > *highest)) highest = version;
        }
        ::closedir(dir);
        if (highest) return joined(*highest);
    }
    return {};
}

} // namespace cw
