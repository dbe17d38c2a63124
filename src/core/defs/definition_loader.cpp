#include "core/defs/definition_loader.h"

#include "core/base/paths.h"
#include "core/base/text_file.h"
#include "core/base/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace cw {

namespace {

const char* const kMissingName = "???";

std::string_view trimmed(std::string_view text)
{
    const char* const blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool isText(const pugi::xml_node& node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// The bytes of a regular file; nothing for folders, pipes, devices and
// files that cannot be read. Opened first and checked after, so what is
// checked is what is read.
std::optional<std::string> readRegularFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    std::optional<std::string> bytes;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        bytes.emplace(static_cast<std::size_t>(st.st_size), '\0');
        std::size_t done = 0;
        while (done < bytes->size()) {
            const ssize_t n = ::read(fd, bytes->data() + done, bytes->size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                bytes.reset();
                break;
            }
            if (n == 0) break; // shrunk while being read
            done += static_cast<std::size_t>(n);
        }
        if (bytes) bytes->resize(done);
    }
    ::close(fd);
    return bytes;
}

bool isTrue(const std::string& text)
{
    if (text.size() != 4) return false;
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower == "true";
}

// Every ".xml" removed, left to right, without rescanning what is left.
std::string pluginTitle(const std::string& fileName)
{
    std::string title;
    std::size_t from = 0;
    for (auto at = fileName.find(".xml"); at != std::string::npos; at = fileName.find(".xml", from)) {
        title.append(fileName, from, at - from);
        from = at + 4;
    }
    title.append(fileName, from, std::string::npos);
    return title;
}

// pugixml tells UTF-16 and UTF-32 apart by their first bytes; anything else
// that is not valid UTF-8 is an old single-byte file, read as Windows-1252.
bool looksLikeWideText(const std::string& bytes)
{
    if (bytes.size() < 2) return false;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    return (b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF) || (b0 == 0 && b1 == 0)
           || (b0 == '<' && b1 == 0) || (b0 == 0 && b1 == '<');
}

std::vector<fs::path> folderEntries(const std::string& folder)
{
    std::vector<fs::path> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename().native() < b.filename().native(); });
    return entries;
}

CParameter readParameter(const pugi::xml_node& node)
{
    CParameter parameter;
    parameter.title = readElementText(node.child("Name"), true);
    parameter.Class = readElementText(node.child("Type"), false);
    parameter.description = readElementText(node.child("Description"), false);
    parameter.defaultvalue = readElementText(node.child("Default"), false);
    parameter.min = readElementText(node.child("Min"), false);
    parameter.max = readElementText(node.child("Max"), false);
    parameter.isoptional = isTrue(readElementText(node.child("Optional"), false));
    for (const pugi::xml_node items : node.children("Items"))
        for (const pugi::xml_node item : items.children("Item"))
            parameter.items.push_back(readElementText(item, false));
    return parameter;
}

CFilter readFilter(const pugi::xml_node& node, const std::string& pluginKey, KeyMaker& keys)
{
    CFilter filter;
    filter.title = readElementText(node.child("Name"), true);
    filter.category = readElementText(node.child("Category"), false);
    filter.description = readElementText(node.child("Description"), false);
    filter.helpfile = readElementText(node.child("Helpfile"), false);
    filter.key = keys.makeKey();
    filter.pluginkey = pluginKey;
    for (const pugi::xml_node parameters : node.children("Parameters"))
        for (const pugi::xml_node parameter : parameters.children("Parameter"))
            filter.parameters.push_back(readParameter(parameter));
    return filter;
}

} // namespace

std::string definitionSetFolder(const std::string& defFolder, const std::string& definitionSet)
{
    return definitionSet.empty() ? defFolder : defFolder + "/" + definitionSet;
}

std::vector<std::string> listDefinitionSets(const std::string& defFolder)
{
    std::vector<std::string> names;
    for (const fs::path& entry : folderEntries(defFolder)) {
        std::error_code ec;
        if (fs::is_directory(entry, ec)) names.push_back(entry.filename().string());
    }
    return names;
}

DefinitionModel loadDefinitions(const std::string& setFolder)
{
    KeyMaker keys = KeyMaker::fromSystemClock();
    return loadDefinitions(setFolder, keys);
}

DefinitionModel loadDefinitions(const std::string& setFolder, KeyMaker& keys)
{
    DefinitionModel model;
    if (!folderExists(setFolder)) return model;
    for (const fs::path& entry : folderEntries(setFolder)) {
        if (fileExtension(entry.filename().string()) == "xml") loadDefinitionFile(entry.string(), model, keys);
    }
    model.finishLoad();
    return model;
}

void loadDefinitionFile(const std::string& path, DefinitionModel& model, KeyMaker& keys)
{
    // Only regular files: a folder or a pipe named "x.xml" is passed over.
    std::optional<std::string> bytes = readRegularFile(path);
    if (!bytes) return;

    pugi::xml_encoding encoding = pugi::encoding_auto;
    if (!looksLikeWideText(*bytes) && !isValidUtf8(*bytes)) {
        bytes = decodeText(*bytes).utf8;
        encoding = pugi::encoding_utf8;
    }
    pugi::xml_document document;
    const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata;
    // A document that fails to parse is dropped whole, even though the
    // parser keeps what it read before the fault.
    if (!document.load_buffer_inplace(bytes->data(), bytes->size(), options, encoding)) return;

    const pugi::xml_node root = document.child("Plugin");
    if (!root) return;

    CPlugin plugin;
    plugin.title = pluginTitle(fs::path(path).filename().string());
    plugin.defxml = path;
    plugin.description = readElementText(root.child("Description"), false);
    plugin.key = keys.makeKey();
    for (const pugi::xml_node filters : root.children("Filters"))
        for (const pugi::xml_node filter : filters.children("Filter"))
            plugin.filters.push_back(readFilter(filter, plugin.key, keys));
    model.addPlugin(std::move(plugin));
}

std::string readElementText(const pugi::xml_node& element, bool required)
{
    const pugi::xml_node only = element.first_child();
    if (isText(only) && !only.next_sibling()) {
        const std::string_view text = trimmed(only.value());
        if (text.empty() && required) return kMissingName;
        return std::string(text);
    }
    std::string text;
    // Walked without recursion: definition files may nest without limit.
    for (pugi::xml_node node = element.first_child(); node;) {
        if (isText(node)) text += node.value();
        if (node.type() == pugi::node_element && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling() && node != element) node = node.parent();
        if (!node || node == element) break;
        node = node.next_sibling();
    }
    const std::string_view value = trimmed(text);
    if (value.empty() && required) return kMissingName;
    return std::string(value);
}

std::string readTextFile(const std::string& path)
{
    std::optional<std::string> bytes = fileExists(path) ? readFileBytes(path) : std::nullopt;
    if (!bytes) return "#error: file '" + path + "' does not exists!#";
    return *bytes;
}

} // namespace cw
