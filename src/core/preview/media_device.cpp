#include "core/preview/media_device.h"

#include "core/base/paths.h"

namespace cw {

// A script goes to the frame server whichever device type opens it.
std::unique_ptr<MediaDevice> openMediaDevice(const std::string& path,
                                             const std::vector<std::string>& aviSynthLibraryNames,
                                             std::string& error)
{
    if (fileExtension(path) == "avs") return openAviSynthDevice(path, aviSynthLibraryNames, error);
    return openFfmpegDevice(path, error);
}

} // namespace cw
