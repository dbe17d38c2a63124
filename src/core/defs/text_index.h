#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace cw {

// Finds the position of a text in a list held by someone else: one array of
// slots for the whole index instead of a node per entry, which is what a
// load of ten thousand filters would otherwise allocate three times over.
// The texts are not copied; textAt(position) gives them back on demand, so
// the list may move or grow as long as its positions stay.
class TextIndex {
public:
    void clear()
    {
        m_slots.clear();
        m_count = 0;
    }

    // Room for count entries without regrowing.
    void reserve(std::size_t count)
    {
        std::size_t size = 16;
        while (isCrowded(count, size)) size *= 2;
        if (size > m_slots.size()) rehash(size);
    }

    // Adds position for text unless an equal text is in already, in which
    // case the earlier position stays and the answer is false.
    template <typename TextAt>
    bool insert(std::string_view text, std::uint32_t position, const TextAt& textAt)
    {
        if (isCrowded(m_count + 1, m_slots.size())) rehash(m_slots.empty() ? 16 : 2 * m_slots.size());
        const std::uint32_t hash = hashOf(text);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (slot.position == kEmpty) {
                slot = {hash, position};
                ++m_count;
                return true;
            }
            if (slot.hash == hash && textAt(slot.position) == text) return false;
        }
    }

    template <typename TextAt>
    std::optional<std::uint32_t> find(std::string_view text, const TextAt& textAt) const
    {
        if (m_slots.empty()) return std::nullopt;
        const std::uint32_t hash = hashOf(text);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = m_slots[i];
            if (slot.position == kEmpty) return std::nullopt;
            if (slot.hash == hash && textAt(slot.position) == text) return slot.position;
        }
    }

private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t position = kEmpty;
    };

    // Beyond three quarters full, runs of taken slots grow long.
    static bool isCrowded(std::size_t count, std::size_t size) { return 4 * count > 3 * size; }

    static std::uint32_t hashOf(std::string_view text)
    {
        const std::size_t h = std::hash<std::string_view>{}(text);
        return static_cast<std::uint32_t>(h ^ (h >> 32));
    }

    void rehash(std::size_t size)
    {
        std::vector<Slot> old(size);
        old.swap(m_slots);
        const std::size_t mask = size - 1;
        for (const Slot& slot : old) {
            if (slot.position == kEmpty) continue;
            std::size_t i = slot.hash & mask;
            while (m_slots[i].position != kEmpty) i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }

    std::vector<Slot> m_slots; // a power of two in size, at most three quarters full
    std::size_t m_count = 0;
};

} // namespace cw
