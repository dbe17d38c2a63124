// FFmpeg's hundred-odd libraries take longer to load than the rest of the
// frame server's start: they come in a module, loaded when a media file is
// first opened, so a server for a script never waits for them.
#include "core/frameserver/frame_server_texts.h"
#include "media/frame_source.h"

#include <dlfcn.h>
#include <filesystem>

namespace cw {

std::unique_ptr<FrameSource> openFfmpegSource(const std::string& path, std::string& error)
{
    using Open = FrameSource* (*)(const std::string&, std::string&);
    static std::string failure;
    static const Open open = [] {
        std::error_code ec;
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
        const std::string module = (self.parent_path() / "clipwright-ffmpeg.so").string();
        void* library = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        Open entry = library ? reinterpret_cast<Open>(dlsym(library, "clipwrightOpenFfmpegSource")) : nullptr;
        if (!entry) failure = ffmpegModuleMissingText(dlerror());
        return entry;
    }();
    if (!open) {
        error = failure;
        return nullptr;
    }
    return std::unique_ptr<FrameSource>(open(path, error));
}

} // namespace cw
