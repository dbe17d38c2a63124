#include "core/defs/definition_writer.h"

#include "core/base/text_file.h"

#include <pugixml.hpp>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace cw {
namespace {

void addText(pugi::xml_node parent, const char* name, const std::string& text)
{
    if (!text.empty()) parent.append_child(name).text().set(text.c_str());
}

void addParameter(pugi::xml_node parameters, const CParameter& p)
{
    pugi::xml_node node = parameters.append_child("Parameter");
    addText(node, "Name", p.title);
    addText(node, "Type", p.Class);
    node.append_child("Optional").text().set(p.isoptional ? "true" : "false");
    addText(node, "Default", p.defaultvalue);
    addText(node, "Min", p.min);
    addText(node, "Max", p.max);
    addText(node, "Description", p.description);
    if (p.items.empty()) return;
    pugi::xml_node items = node.append_child("Items");
    for (const std::string& item : p.items) items.append_child("Item").text().set(item.c_str());
}

bool isFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string reason(const std::string& path, int error)
{
    return path + ": " + std::strerror(error);
}

// A new hidden folder beside the set, readable as the rest of def/ is.
std::string makeHiddenFolder(const std::string& defFolder, const std::string& name, std::string& error)
{
    std::string pattern = defFolder + "/." + name + ".XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        error = reason(defFolder, errno);
        return {};
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(pattern.c_str(), 0777 & ~mask);
    return pattern;
}

// Puts the folder `fresh` in the place of `target`; the old set, if any,
// ends up at `fresh`. "" or the reason.
std::string swapInto(const std::string& fresh, const std::string& target)
{
    if (::rename(fresh.c_str(), target.c_str()) == 0) return {};
    if (errno != EEXIST && errno != ENOTEMPTY) return reason(target, errno);
    if (::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS) return reason(target, errno);
    // A file system without exchange: the old set steps aside first, and
    // comes back when the new one cannot take its place.
    const std::string aside = fresh + ".old";
    if (::rename(target.c_str(), aside.c_str()) != 0) return reason(target, errno);
    if (::rename(fresh.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::rename(aside.c_str(), target.c_str());
        return reason(target, error);
    }
    ::rename(aside.c_str(), fresh.c_str());
    return {};
}

} // namespace

std::string definitionFileText(const CPlugin& plugin)
{
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("Plugin");
    addText(root, "Description", plugin.description);
    pugi::xml_node filters = root.append_child("Filters");
    for (const CFilter& filter : plugin.filters) {
        pugi::xml_node node = filters.append_child("Filter");
        addText(node, "Name", filter.title);
        addText(node, "Category", filter.category);
        addText(node, "Description", filter.description);
        addText(node, "Helpfile", filter.helpfile);
        if (filter.parameters.empty()) continue;
        pugi::xml_node parameters = node.append_child("Parameters");
        for (const CParameter& p : filter.parameters) addParameter(parameters, p);
    }
    std::ostringstream out;
    document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

std::string writeDefinitionSet(const std::string& defFolder, const std::string& name,
                               std::span<const CPlugin> plugins)
{
    if (!isFileName(name) || name.starts_with('.')) return name + " cannot be the name of a definition set";
    for (const CPlugin& plugin : plugins)
        if (!isFileName(plugin.title)) return "\"" + plugin.title + "\" cannot be the name of a definition file";
    std::error_code ec;
    fs::create_directories(defFolder, ec);
    if (ec) return defFolder + ": " + ec.message();
    std::string error;
    const std::string fresh = makeHiddenFolder(defFolder, name, error);
    if (fresh.empty()) return error;
    for (const CPlugin& plugin : plugins) {
        error = writeFileAtomically(fresh + "/" + plugin.title + ".xml", definitionFileText(plugin),
                                    WriteMode::Replace);
        if (!error.empty()) break;
    }
    if (error.empty()) error = swapInto(fresh, defFolder + "/" + name);
    fs::remove_all(fresh, ec);
    return error;
}

} // namespace cw
