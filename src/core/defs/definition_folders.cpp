#include "core/defs/definition_folders.h"

#include "core/base/paths.h"
#include "core/defs/definition_loader.h"

#include <algorithm>

namespace cw {

std::string DefinitionFolders::setFolder(const std::string& name) const
{
    if (!name.empty() && !user.empty()) {
        const std::string own = definitionSetFolder(user, name);
        if (folderExists(own)) return own;
    }
    return definitionSetFolder(program, name);
}

std::vector<std::string> DefinitionFolders::setNames() const
{
    std::vector<std::string> names = listDefinitionSets(program);
    if (!user.empty()) {
        const std::vector<std::string> own = listDefinitionSets(user);
        names.insert(names.end(), own.begin(), own.end());
    }
    std::erase_if(names, [](const std::string& name) { return name.starts_with('.'); });
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

} // namespace cw
