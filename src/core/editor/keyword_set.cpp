#include "core/editor/keyword_set.h"

namespace cw {
namespace {

unsigned char foldAscii(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

} // namespace

KeywordSet::KeywordSet(std::span<const std::string> names)
{
    m_names.reserve(names.size());
    for (const std::string& name : names) {
        if (!name.empty())
            m_names.insert(name);
    }
}

bool KeywordSet::contains(std::string_view word) const
{
    return !word.empty() && m_names.find(word) != m_names.end();
}

std::size_t KeywordSet::FoldedHash::operator()(std::string_view s) const noexcept
{
    // FNV-1a over the folded bytes.
    std::size_t h = 14695981039346656037ull;
    for (char c : s) {
        h ^= foldAscii(c);
        h *= 1099511628211ull;
    }
    return h;
}

bool KeywordSet::FoldedEqual::operator()(std::string_view a, std::string_view b) const noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    }
    return true;
}

} // namespace cw
