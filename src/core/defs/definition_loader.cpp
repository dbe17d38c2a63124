#include "core/defs/definition_loader.h"

#include "core/base/paths.h"
#include "core/base/text_file.h"
#include "core/base/text_encoding.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace cw {

namespace {

const char* const kMissingName = "???";

// Below this many files a load stays on the calling thread. Measured with
// defs_bench (BM_LoadFewFiles, files of 20 filters) on a busy 2-core
// machine: two threads lose up to 6 files and win from 8; the bundled set,
// 6 files of which one holds two thirds, loads faster on one.
constexpr std::size_t kParallelFromFiles = 8;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

bool isText(const pugi::xml_node& node)
{
    const pugi::xml_node_type type = node.type();
    return type == pugi::node_pcdata || type == pugi::node_cdata;
}

bool isTrue(std::string_view text)
{
    if (text.size() != 4) return false;
    std::string lower(text);
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
bool looksLikeWideText(std::string_view bytes)
{
    if (bytes.size() < 2) return false;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    return (b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF) || (b0 == 0 && b1 == 0)
           || (b0 == '<' && b1 == 0) || (b0 == 0 && b1 == '<');
}

// Definition files are nearly all ASCII: that part is passed over 32 bytes
// at a time, and only the rest from the first other byte is checked
// sequence by sequence.
bool isUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    for (; i + 32 <= bytes.size(); i += 32) {
        std::uint64_t words[4];
        std::memcpy(words, bytes.data() + i, 32);
        if ((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080u) break;
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
    return i == bytes.size() || isValidUtf8(std::string(bytes.substr(i)));
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

// The trimmed text of all text and CDATA inside element, descendants
// included; "" for a null element.
std::string textOf(const pugi::xml_node& element)
{
    const pugi::xml_node only = element.first_child();
    if (isText(only) && only.next_sibling().type() == pugi::node_null)
        return std::string(trimmed(only.value()));
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
    return std::string(trimmed(text));
}

// The element names the loader reads. Every question put to a pugixml node
// is a call into the library, so the readers walk an element's children
// once, naming each child as they go, rather than searching them again for
// every field.
enum class Tag {
    Other,
    Category,
    Default,
    Description,
    Filter,
    Filters,
    Helpfile,
    Item,
    Items,
    Max,
    Min,
    Name,
    Optional,
    Parameter,
    Parameters,
    Type,
};

// By length first: each name is then one comparison of a few bytes.
Tag tagOf(std::string_view name)
{
    switch (name.size()) {
    case 3:
        return name == "Min" ? Tag::Min : name == "Max" ? Tag::Max : Tag::Other;
    case 4:
        return name == "Name"   ? Tag::Name
               : name == "Type" ? Tag::Type
               : name == "Item" ? Tag::Item
                                : Tag::Other;
    case 5:
        return name == "Items" ? Tag::Items : Tag::Other;
    case 6:
        return name == "Filter" ? Tag::Filter : Tag::Other;
    case 7:
        return name == "Filters" ? Tag::Filters : name == "Default" ? Tag::Default : Tag::Other;
    case 8:
        return name == "Category"   ? Tag::Category
               : name == "Helpfile" ? Tag::Helpfile
               : name == "Optional" ? Tag::Optional
                                    : Tag::Other;
    case 9:
        return name == "Parameter" ? Tag::Parameter : Tag::Other;
    case 10:
        return name == "Parameters" ? Tag::Parameters : Tag::Other;
    case 11:
        return name == "Description" ? Tag::Description : Tag::Other;
    default:
        return Tag::Other;
    }
}

// Calls visit(child, tag) for each child element, in document order.
template <typename Visit>
void forEachChild(const pugi::xml_node& element, const Visit& visit)
{
    for (pugi::xml_node child = element.first_child();; child = child.next_sibling()) {
        const pugi::xml_node_type type = child.type();
        if (type == pugi::node_null) return;
        if (type == pugi::node_element) visit(child, tagOf(child.name()));
    }
}

// Calls visit(entry) for each entry of element's lists (such as each
// Parameter of each Parameters), in document order.
template <typename Visit>
void forEachEntry(const pugi::xml_node& element, Tag list, Tag entry, const Visit& visit)
{
    forEachChild(element, [&](const pugi::xml_node& child, Tag tag) {
        if (tag != list) return;
        forEachChild(child, [&](const pugi::xml_node& item, Tag itemTag) {
            if (itemTag == entry) visit(item);
        });
    });
}

std::size_t countEntries(const pugi::xml_node& list, Tag entry)
{
    std::size_t count = 0;
    forEachChild(list, [&](const pugi::xml_node&, Tag tag) { count += tag == entry; });
    return count;
}

// Only the first element of a name counts; `seen` remembers which came.
bool isFirst(Tag tag, unsigned& seen)
{
    const unsigned bit = 1u << static_cast<unsigned>(tag);
    if (seen & bit) return false;
    seen |= bit;
    return true;
}

void readParameter(const pugi::xml_node& node, CParameter& parameter)
{
    unsigned seen = 0;
    std::size_t items = 0;
    forEachChild(node, [&](const pugi::xml_node& child, Tag tag) {
        if (tag == Tag::Items) items += countEntries(child, Tag::Item);
        if (!isFirst(tag, seen)) return;
        switch (tag) {
        case Tag::Name:
            parameter.title = textOf(child);
            break;
        case Tag::Type:
            parameter.Class = textOf(child);
            break;
        case Tag::Description:
            parameter.description = textOf(child);
            break;
        case Tag::Default:
            parameter.defaultvalue = textOf(child);
            break;
        case Tag::Min:
            parameter.min = textOf(child);
            break;
        case Tag::Max:
            parameter.max = textOf(child);
            break;
        case Tag::Optional:
            parameter.isoptional = isTrue(textOf(child));
            break;
        default:
            break;
        }
    });
    if (parameter.title.empty()) parameter.title = kMissingName;
    if (items == 0) return;
    parameter.items.reserve(items);
    forEachEntry(node, Tag::Items, Tag::Item,
                 [&](const pugi::xml_node& item) { parameter.items.push_back(textOf(item)); });
}

// The keys are left empty: they are drawn when the plugin joins the model,
// so that they come in file order whichever thread read the file.
void readFilter(const pugi::xml_node& node, CFilter& filter)
{
    unsigned seen = 0;
    std::size_t parameters = 0;
    forEachChild(node, [&](const pugi::xml_node& child, Tag tag) {
        if (tag == Tag::Parameters) parameters += countEntries(child, Tag::Parameter);
        if (!isFirst(tag, seen)) return;
        switch (tag) {
        case Tag::Name:
            filter.title = textOf(child);
            break;
        case Tag::Category:
            filter.category = textOf(child);
            break;
        case Tag::Description:
            filter.description = textOf(child);
            break;
        case Tag::Helpfile:
            filter.helpfile = textOf(child);
            break;
        default:
            break;
        }
    });
    if (filter.title.empty()) filter.title = kMissingName;
    filter.parameters.resize(parameters);
    auto next = filter.parameters.begin();
    forEachEntry(node, Tag::Parameters, Tag::Parameter,
                 [&](const pugi::xml_node& parameter) { readParameter(parameter, *next++); });
}

void readPlugin(const pugi::xml_node& root, CPlugin& plugin)
{
    unsigned seen = 0;
    std::size_t filters = 0;
    forEachChild(root, [&](const pugi::xml_node& child, Tag tag) {
        if (tag == Tag::Filters) filters += countEntries(child, Tag::Filter);
        if (tag == Tag::Description && isFirst(tag, seen)) plugin.description = textOf(child);
    });
    plugin.filters.resize(filters);
    auto next = plugin.filters.begin();
    forEachEntry(root, Tag::Filters, Tag::Filter,
                 [&](const pugi::xml_node& filter) { readFilter(filter, *next++); });
}

// Reads definition files into plugins without keys. One reader per thread;
// it keeps its buffers from one file to the next, so their memory is
// touched once rather than once per file.
class PluginReader {
public:
    std::optional<CPlugin> read(const std::string& path)
    {
        // Only regular files: a folder or a pipe named "x.xml" is passed over.
        if (!readRegularFile(path)) return std::nullopt;
        char* text = m_bytes.get();
        std::size_t size = m_size;
        pugi::xml_encoding encoding = pugi::encoding_auto;
        const std::string_view bytes(text, size);
        if (!looksLikeWideText(bytes) && !isUtf8(bytes)) {
            m_decoded = decodeText(std::string(bytes)).utf8;
            text = m_decoded.data();
            size = m_decoded.size();
            encoding = pugi::encoding_utf8;
        }
        const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata;
        // A document that fails to parse is dropped whole, even though the
        // parser keeps what it read before the fault.
        if (!m_document.load_buffer_inplace(text, size, options, encoding)) return std::nullopt;

        const pugi::xml_node root = m_document.child("Plugin");
        if (!root) return std::nullopt;
        std::optional<CPlugin> plugin(std::in_place);
        plugin->title = pluginTitle(fs::path(path).filename().string());
        plugin->defxml = path;
        readPlugin(root, *plugin);
        return plugin;
    }

private:
    // Into m_bytes; false for folders, pipes, devices and files that cannot
    // be read. Opened first and checked after, so what is checked is what
    // is read.
    bool readRegularFile(const std::string& path)
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return false;
        bool ok = false;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            const auto size = static_cast<std::size_t>(st.st_size);
            if (size > m_capacity) {
                m_bytes.reset(new char[size]); // not zero-filled: the read fills it
                m_capacity = size;
            }
            ok = true;
            m_size = 0;
            while (m_size < size) {
                const ssize_t n = ::read(fd, m_bytes.get() + m_size, size - m_size);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) ok = false;
                if (n <= 0) break; // 0: shrunk while being read
                m_size += static_cast<std::size_t>(n);
            }
        }
        ::close(fd);
        return ok;
    }

    std::unique_ptr<char[]> m_bytes;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
    std::string m_decoded;
    pugi::xml_document m_document;
};

// Keys are drawn here, on the calling thread, in the order a serial load
// draws them: the plugin's first, then its filters' in document order.
void addToModel(CPlugin plugin, DefinitionModel& model, KeyMaker& keys)
{
    plugin.key = keys.makeKey();
    for (CFilter& filter : plugin.filters) {
        filter.key = keys.makeKey();
        filter.pluginkey = plugin.key;
    }
    model.addPlugin(std::move(plugin));
}

// Reads files on up to `threads` threads, the calling one among them, and
// hands each usable file's plugin to merge on the calling thread, in file
// order, as soon as it and every file before it have been read: merging
// goes on while the other threads read. An exception reading a file comes
// out where a serial load would have thrown it.
template <typename Merge>
void readInOrder(const std::vector<std::string>& files, unsigned threads, const Merge& merge)
{
    struct Slot {
        std::optional<CPlugin> plugin;
        std::exception_ptr failure;
        std::atomic<bool> read{false};
    };
    std::vector<Slot> slots(files.size());
    std::atomic<std::size_t> nextFile{0};
    const auto readNext = [&](PluginReader& reader) {
        const std::size_t i = nextFile++;
        if (i >= files.size()) return false;
        Slot& slot = slots[i];
        try {
            slot.plugin = reader.read(files[i]);
        } catch (...) {
            slot.failure = std::current_exception();
        }
        slot.read.store(true, std::memory_order_release);
        slot.read.notify_one();
        return true;
    };
    std::size_t merged = 0;
    const auto mergeNext = [&] {
        Slot& slot = slots[merged++];
        if (slot.failure) std::rethrow_exception(slot.failure);
        if (slot.plugin) merge(std::move(*slot.plugin));
    };

    // Declared after slots, so joined before they go on every way out.
    std::vector<std::jthread> helpers;
    try {
        for (std::size_t i = 1; i < std::min<std::size_t>(threads, files.size()); ++i)
            helpers.emplace_back([&] {
                PluginReader reader;
                while (readNext(reader)) {
                }
            });
    } catch (const std::system_error&) {
        // The threads there are share the files.
    }
    try {
        PluginReader reader;
        while (readNext(reader))
            while (merged < slots.size() && slots[merged].read.load(std::memory_order_acquire)) mergeNext();
        while (merged < slots.size()) {
            slots[merged].read.wait(false, std::memory_order_acquire);
            mergeNext();
        }
    } catch (...) {
        nextFile = files.size(); // the helpers stop after the file in hand
        throw;
    }
}

// The "*.xml" files of a set folder in name order; none when it is missing.
std::vector<std::string> definitionFiles(const std::string& setFolder)
{
    std::vector<std::string> files;
    if (!folderExists(setFolder)) return files;
    for (const fs::path& entry : folderEntries(setFolder))
        if (fileExtension(entry.filename().string()) == "xml") files.push_back(entry.string());
    return files;
}

DefinitionModel loadFiles(const std::vector<std::string>& files, KeyMaker& keys, unsigned threads)
{
    DefinitionModel model;
    model.reserve(files.size());
    readInOrder(files, threads, [&](CPlugin plugin) { addToModel(std::move(plugin), model, keys); });
    model.finishLoad();
    return model;
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
    const std::vector<std::string> files = definitionFiles(setFolder);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return loadFiles(files, keys, files.size() < kParallelFromFiles ? 1 : cores);
}

DefinitionModel loadDefinitions(const std::string& setFolder, KeyMaker& keys, unsigned threads)
{
    return loadFiles(definitionFiles(setFolder), keys, threads);
}

void loadDefinitionFile(const std::string& path, DefinitionModel& model, KeyMaker& keys)
{
    PluginReader reader;
    if (std::optional<CPlugin> plugin = reader.read(path)) addToModel(std::move(*plugin), model, keys);
}

std::string readElementText(const pugi::xml_node& element, bool required)
{
    std::string text = textOf(element);
    if (text.empty() && required) return kMissingName;
    return text;
}

std::string readTextFile(const std::string& path)
{
    std::optional<std::string> bytes = fileExists(path) ? readFileBytes(path) : std::nullopt;
    if (!bytes) return "#error: file '" + path + "' does not exists!#";
    return *bytes;
}

} // namespace cw
