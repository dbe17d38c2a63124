#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

namespace cw {

// Filter names as the highlighter looks them up: letter case is ignored
// (ASCII folding), and a lookup neither allocates nor copies, so a set of
// ten thousand names costs one hash per word.
class KeywordSet {
public:
    KeywordSet() = default;
    explicit KeywordSet(std::span<const std::string> names);

    bool contains(std::string_view word) const;
    std::size_t size() const { return m_names.size(); }
    bool empty() const { return m_names.empty(); }

private:
    struct FoldedHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept;
    };
    struct FoldedEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept;
    };
    std::unordered_set<std::string, FoldedHash, FoldedEqual> m_names;
};

} // namespace cw
