#include "core/config/properties_manager.h"

#include "core/base/text_file.h"

#include <algorithm>

namespace cw {
namespace {

std::string lowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string joinCrLf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

} // namespace

std::vector<std::string> splitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::size_t len = end - start;
        if (len > 0 && bytes[start + len - 1] == '\r') --len;
        lines.emplace_back(bytes, start, len);
        start = end + 1;
    }
    return lines;
}

std::string CPropertiesManager::keyOf(const std::string& line)
{
    const auto eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string CPropertiesManager::writePropertie(const std::string& filename, const std::string& pname,
                                               const std::string& pvalue)
{
    const std::string key = lowerAscii(pname);
    m_lines.clear();
    if (auto bytes = readFileBytes(filename)) m_lines = splitLines(*bytes);

    // The key of a line never equals an empty pname's key for comment lines,
    // since those have no "=": only real settings are replaced.
    auto it = std::find_if(m_lines.begin(), m_lines.end(), [&](const std::string& line) {
        return line.find('=') != std::string::npos && keyOf(line) == key;
    });
    if (it != m_lines.end()) m_lines.erase(it);
    m_lines.push_back(key + "=" + pvalue);
    sortCol(m_lines);
    return writeFileAtomically(filename, joinCrLf(m_lines));
}

std::string CPropertiesManager::removePropertie(const std::string& filename, const std::string& pname)
{
    const std::string key = lowerAscii(pname);
    const auto bytes = readFileBytes(filename);
    if (!bytes) return {};
    std::vector<std::string> lines = splitLines(*bytes);
    const auto kept = std::remove_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find('=') != std::string::npos && keyOf(line) == key;
    });
    if (kept == lines.end()) return {};
    lines.erase(kept, lines.end());
    return writeFileAtomically(filename, joinCrLf(lines));
}

std::string CPropertiesManager::writeComment(const std::string& filename, const std::string& comment)
{
    auto bytes = readFileBytes(filename);
    if (!bytes) return {};
    auto lines = splitLines(*bytes);
    lines.push_back("#" + comment);
    return writeFileAtomically(filename, joinCrLf(lines));
}

std::string CPropertiesManager::writeKeyComment(const std::string& filename, const std::string& key,
                                                const std::string& comment)
{
    auto bytes = readFileBytes(filename);
    if (!bytes || bytes->empty() || key.empty()) return {};
    const std::string replacement = "#" + comment + "\r\n" + key;
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = bytes->find(key, pos)) != std::string::npos; pos = hit + key.size())
        out.append(*bytes, pos, hit - pos).append(replacement);
    out.append(*bytes, pos, std::string::npos);
    return writeFileAtomically(filename, out);
}

std::string CPropertiesManager::readPropertie(const std::string& filename, const std::string& propertie) const
{
    return valueOf(readLines(filename), propertie);
}

std::vector<std::string> CPropertiesManager::readLines(const std::string& filename)
{
    const std::optional<std::string> bytes = readFileBytes(filename);
    return bytes ? splitLines(*bytes) : std::vector<std::string>{};
}

std::string CPropertiesManager::valueOf(const std::vector<std::string>& lines, const std::string& propertie)
{
    for (const auto& line : lines) {
        const auto eq = line.find('=');
        if (eq == propertie.size() && line.compare(0, eq, propertie) == 0) return line.substr(eq + 1);
    }
    return {};
}

void CPropertiesManager::sortCol(std::vector<std::string>& col)
{
    // Equal lines keep their order, as an insertion sort would leave them.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(col.size());
    for (auto& line : col) keyed.emplace_back(lowerAscii(line), std::move(line));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return std::lexicographical_compare(a.first.begin(), a.first.end(), b.first.begin(), b.first.end(),
                                            [](char x, char y) {
                                                return static_cast<unsigned char>(x) <
                                                       static_cast<unsigned char>(y);
                                            });
    });
    for (std::size_t i = 0; i < col.size(); ++i) col[i] = std::move(keyed[i].second);
}

} // namespace cw
