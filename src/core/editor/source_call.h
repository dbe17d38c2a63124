#pragma once

#include <string>

namespace cw {

// A video file by its name: the containers and raw streams FFmpeg reads
// that people keep video in. Scripts are not media files.
bool isMediaFile(const std::string& path);

// The call that opens path with the source filter, as it goes into a
// script: FFVideoSource("/videos/a b.mkv"). A path holding a double quote
// goes in triple quotes, which the script language has for that; "" for a
// path that not even those can hold.
std::string sourceCallText(const std::string& filter, const std::string& path);

} // namespace cw
