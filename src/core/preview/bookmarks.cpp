#include "core/preview/bookmarks.h"

#include <charconv>
#include <cstdio>
#include <iterator>

namespace cw {

std::string bookmarksKey(std::string_view path)
{
    // FNV-1a, 64 bits: stable across runs and builds, unlike std::hash.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : path) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::string("preview.bookmarks.") + hex;
}

std::string bookmarksText(const BookmarkSet& frames)
{
    std::string text;
    for (std::int32_t frame : frames) {
        if (!text.empty()) text += ',';
        text += std::to_string(frame);
    }
    return text;
}

BookmarkSet parseBookmarks(std::string_view text)
{
    BookmarkSet frames;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        std::int32_t frame = 0;
        const auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), frame);
        if (ec == std::errc() && end == item.data() + item.size() && frame >= 0) frames.insert(frame);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return frames;
}

std::optional<std::int32_t> nextBookmark(const BookmarkSet& frames, std::int32_t frame)
{
    const auto it = frames.upper_bound(frame);
    return it == frames.end() ? std::nullopt : std::optional(*it);
}

std::optional<std::int32_t> previousBookmark(const BookmarkSet& frames, std::int32_t frame)
{
    const auto it = frames.lower_bound(frame);
    return it == frames.begin() ? std::nullopt : std::optional(*std::prev(it));
}

} // namespace cw
