#pragma once

#include "core/defs/definition_loader.h"
#include "support/temp_dir.h"

#include <QString>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Small definition files, written as the loader reads them.
namespace cw::test {

inline std::string parameterXml(const std::string& name, const std::string& type, const std::string& extra = "")
{
    return "<Parameter><Name>" + name + "</Name><Type>" + type + "</Type>" + extra + "</Parameter>";
}

inline std::string filterXml(const std::string& name, const std::string& category, const std::string& parameters = "",
                             const std::string& description = "")
{
    return "<Filter><Name>" + name + "</Name><Category>" + category + "</Category><Description>" + description
           + "</Description><Parameters>" + parameters + "</Parameters></Filter>";
}

inline std::string pluginXml(const std::string& filters, const std::string& description = "")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Plugin><Description>" + description + "</Description><Filters>"
           + filters + "</Filters></Plugin>\n";
}

// (plugin title, file content) pairs, written as <folder>/<title>.xml.
using DefinitionFiles = std::vector<std::pair<std::string, std::string>>;

inline void writeDefinitions(const TempDir& dir, const std::string& folder, const DefinitionFiles& files)
{
    for (const auto& [title, content] : files) dir.write(folder + "/" + title + ".xml", content);
}

inline DefinitionModel loadSet(const DefinitionFiles& files)
{
    TempDir dir;
    writeDefinitions(dir, "set", files);
    return loadDefinitions(dir.file("set"));
}

} // namespace cw::test
