#include "core/preview/product_version.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <glob.h>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace cw {

namespace {

const std::string kLibraryName = "libavisynth.so";

using Version = std::array<unsigned, 4>;

void addFolder(std::vector<std::string>& folders, std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
        folders.push_back(std::move(folder));
}

std::vector<std::string> splitOn(const std::string& text, const char* separators)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (from <= text.size()) {
        const auto to = std::min(text.find_first_of(separators, from), text.size());
        if (to > from) parts.push_back(text.substr(from, to - from));
        from = to + 1;
    }
    return parts;
}

std::vector<std::string> globbed(const std::string& pattern)
{
    std::vector<std::string> paths;
    glob_t found{};
    if (::glob(pattern.c_str(), 0, nullptr, &found) == 0)
        paths.assign(found.gl_pathv, found.gl_pathv + found.gl_pathc);
    ::globfree(&found);
    std::sort(paths.begin(), paths.end());
    return paths;
}

void readLdSoConf(const std::string& path, std::vector<std::string>& folders, int depth)
{
    if (depth > 8) return; // an include cycle ends here
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::vector<std::string> words = splitOn(line, " \t\r,:=");
        if (words.empty() || words[0] == "hwcap") continue;
        if (words[0] == "include") {
            for (std::size_t i = 1; i < words.size(); ++i) {
                std::string pattern = words[i];
                if (pattern[0] != '/') pattern = fs::path(path).parent_path().string() + "/" + pattern;
                for (const std::string& included : globbed(pattern)) readLdSoConf(included, folders, depth + 1);
            }
            continue;
        }
        for (std::string& word : words)
            if (word[0] == '/') addFolder(folders, std::move(word));
    }
}

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

std::vector<std::string> defaultLibraryFolders(const EnvLookup& env, const std::string& ldSoConf)
{
    std::vector<std::string> folders;
    if (const char* value = env("LD_LIBRARY_PATH"))
        for (std::string& folder : splitOn(value, ":;")) addFolder(folders, std::move(folder));
    readLdSoConf(ldSoConf, folders, 0);
    for (const char* folder : {"/lib", "/usr/lib", "/lib64", "/usr/lib64"}) addFolder(folders, folder);
    return folders;
}

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
    for (const std::string& folder : folders) {
        std::optional<Version> highest;
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            if (!it->path().filename().string().starts_with(kLibraryName + ".")) continue;
            const auto version = realFileVersion(it->path());
            if (version && (!highest || *version > *highest)) highest = version;
        }
        if (highest) return joined(*highest);
    }
    return {};
}

} // namespace cw
