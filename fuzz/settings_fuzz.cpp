// The settings file as a hand-edited file may hold it: split into lines,
// sorted, looked up, rewritten with one setting changed, and the values the
// program reads taken from it.
//   ./settings_fuzz corpus/settings
#include "core/config/properties_manager.h"
#include "core/config/setting_values.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

const std::string& settingsFile()
{
    static const std::string path = [] {
        // A memory-backed folder where there is one: every write is flushed.
        struct stat st {};
        std::string pattern = (::stat("/dev/shm", &st) == 0 ? "/dev/shm" : "/tmp") + std::string("/cw-settings-XXXXXX");
        if (!::mkdtemp(pattern.data())) std::abort();
        return pattern + "/conf.properties";
    }();
    return path;
}

std::string lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool sortedLowerCased(const std::vector<std::string>& lines)
{
    return std::is_sorted(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
        const std::string la = lower(a), lb = lower(b);
        return std::lexicographical_compare(la.begin(), la.end(), lb.begin(), lb.end(), [](char x, char y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        });
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = cw::splitLines(bytes);

    std::vector<std::string> sorted = lines;
    cw::CPropertiesManager::sortCol(sorted);
    if (!sortedLowerCased(sorted) || !std::is_permutation(sorted.begin(), sorted.end(), lines.begin()))
        std::abort();

    for (const std::string& line : lines) {
        const auto eq = line.find('=');
        const std::string value = eq == std::string::npos ? line : line.substr(eq + 1);
        const int percent = cw::readTilePercent(value, 25);
        if (percent != 25 && (percent < cw::minTilePercent || percent > cw::maxTilePercent)) std::abort();
        if (const int mode = cw::readViewMode(value); mode != 1 && mode != 2) std::abort();
    }

    // The first line names the setting to change, as "key=value".
    std::string key = lines.empty() ? "" : lines.front();
    std::string value;
    if (const auto eq = key.find('='); eq != std::string::npos) {
        value = key.substr(eq + 1);
        key.erase(eq);
    }
    if (key.empty() || value.find_first_of("\r\n") != std::string::npos) return 0;

    std::ofstream(settingsFile(), std::ios::binary | std::ios::trunc) << bytes;
    cw::CPropertiesManager manager;
    if (!manager.writePropertie(settingsFile(), key, value).empty()) std::abort();
    std::ifstream in(settingsFile(), std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<std::string> after = cw::splitLines(written);
    if (!sortedLowerCased(after) || std::find(after.begin(), after.end(), lower(key) + "=" + value) == after.end())
        std::abort();
    if (manager.readPropertie(settingsFile(), lower(key)).size() > written.size()) std::abort();
    return 0;
}
