#pragma once

namespace cw::keys {

inline constexpr const char* externalPlayer = "external.player";
inline constexpr const char* viewMode = "filters.view.mode";
inline constexpr const char* definitionSet = "avisynth.def.path";
inline constexpr const char* hideUncategorized = "hide.uncategorized.filters";
inline constexpr const char* splitter1Percent = "splitter1.tile.percent";
inline constexpr const char* splitter2Percent = "splitter2.tile.percent";
inline constexpr const char* recentFilePrefix = "recent.file."; // followed by 1 to 4

} // namespace cw::keys
