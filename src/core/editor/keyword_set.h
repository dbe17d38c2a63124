#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cw {

// Filter names as the highlighter looks them up: letter case is ignored
// (ASCII folding), and a lookup neither allocates nor copies, so a set of
// ten thousand names costs one hash per word. The names lie end to end in
// one buffer, found through one open-addressed table: building the set
// takes two allocations, not one per name.
class KeywordSet {
public:
    KeywordSet() = default;
    explicit KeywordSet(std::span<const std::string> names);

    bool contains(std::string_view word) const;
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

private:
    // A name's place in m_bytes; length 0 marks a free slot.
    struct Slot {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    // The index of the slot that holds word, else of the free slot where it
    // would go.
    std::size_t slotFor(std::string_view word) const;

    std::string m_bytes;
    std::vector<Slot> m_slots; // a power of two, at most half of them used
    std::size_t m_size = 0;
};

} // namespace cw
