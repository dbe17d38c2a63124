#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace cw {

using BookmarkSet = std::set<std::int32_t>;

// The settings key of a script's bookmarks: "preview.bookmarks." and a hash
// of its path, the same on every run.
std::string bookmarksKey(std::string_view path);

// "12,40,300" and back; reading skips what is not a frame number.
std::string bookmarksText(const BookmarkSet& frames);
BookmarkSet parseBookmarks(std::string_view text);

// The bookmark after, or before, frame; none when there is none that way.
std::optional<std::int32_t> nextBookmark(const BookmarkSet& frames, std::int32_t frame);
std::optional<std::int32_t> previousBookmark(const BookmarkSet& frames, std::int32_t frame);

} // namespace cw
