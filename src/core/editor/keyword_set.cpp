#include "core/editor/keyword_set.h"

#include <bit>
#include <limits>

namespace cw {
namespace {

unsigned char foldAscii(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

// FNV-1a over the folded bytes.
std::size_t foldedHash(std::string_view s)
{
    std::size_t h = 14695981039346656037ull;
    for (char c : s) {
        h ^= foldAscii(c);
        h *= 1099511628211ull;
    }
    return h;
}

bool foldedEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    }
    return true;
}

} // namespace

KeywordSet::KeywordSet(std::span<const std::string> names)
{
    std::size_t bytes = 0;
    for (const std::string& name : names)
        bytes += name.size();
    // Offsets and lengths are 32 bits; a set beyond that is no filter list.
    if (names.empty() || bytes > std::numeric_limits<std::uint32_t>::max())
        return;
    m_bytes.reserve(bytes);
    m_slots.resize(std::bit_ceil(names.size() * 2));
    for (const std::string& name : names) {
        if (name.empty())
            continue;
        Slot& slot = m_slots[slotFor(name)];
        if (slot.length != 0)
            continue;
        slot = {static_cast<std::uint32_t>(m_bytes.size()), static_cast<std::uint32_t>(name.size())};
        m_bytes += name;
        ++m_size;
    }
}

std::size_t KeywordSet::slotFor(std::string_view word) const
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = foldedHash(word) & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.length == 0 || foldedEqual(std::string_view(m_bytes).substr(slot.offset, slot.length), word))
            return i;
    }
}

bool KeywordSet::contains(std::string_view word) const
{
    return !word.empty() && !m_slots.empty() && m_slots[slotFor(word)].length != 0;
}

} // namespace cw
