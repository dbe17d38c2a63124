#include "core/editor/source_call.h"

#include "core/base/paths.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace cw {

bool isMediaFile(const std::string& path)
{
    static constexpr std::array<std::string_view, 31> extensions = {
        "264", "265", "3gp",  "asf", "avi", "divx", "dv",  "flv", "h264", "h265", "hevc",
        "ivf", "m2t", "m2ts", "m2v", "m4v", "mkv",  "mov", "mp4", "mpeg", "mpg",  "mts",
        "mxf", "nut", "ogv",  "rm",  "ts",  "vob",  "webm", "wmv", "y4m"};
    const std::string extension = fileExtension(path);
    if (extension.find('/') != std::string::npos) return false;
    return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

std::string sourceCallText(const std::string& filter, const std::string& path)
{
    if (path.find('"') == std::string::npos) return filter + "(\"" + path + "\")";
    // """ ends a triple-quoted string wherever it stands, and so does a
    // quote at the end of the path.
    if (path.find("\"\"\"") != std::string::npos || path.back() == '"') return {};
    return filter + "(\"\"\"" + path + "\"\"\")";
}

} // namespace cw
