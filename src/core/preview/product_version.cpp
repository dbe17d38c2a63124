#include "core/preview/product_version.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <system_error>

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
