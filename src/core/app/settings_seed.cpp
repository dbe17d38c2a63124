#include "core/app/settings_seed.h"

#include "core/base/paths.h"
#include "core/base/text_file.h"

namespace cw {

std::string createSettingsFile(const std::string& configFile, const std::string& programFolder)
{
    // An unreadable seed leaves the user where a build without one would:
    // asked to choose a definition set.
    if (const std::optional<std::string> seed = readFileBytes(programFolder + "/" + settingsSeedName))
        return writeFileAtomically(configFile, *seed);
    return writeTextFile(configFile, "#configuration");
}

} // namespace cw
