// FFmpeg's hundred-odd libraries take longer to load than the rest of the
// frame server's start: they come in a module, loaded when a media file is
// first opened, so a server for a script never waits for them.
#include "core/frameserver/frame_server_texts.h"
#include "media/ffmpeg_version.h"
#include "media/frame_source.h"

#include <dlfcn.h>
#include <filesystem>

namespace cw {
namespace {

// The module beside the frame server, loaded once; null with why in failure.
void* ffmpegModule(std::string& failure)
{
    static std::string why;
    static void* const library = [] {
        std::error_code ec;
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
        const std::string module = (self.parent_path() / "clipwright-ffmpeg.so").string();
        void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) why = ffmpegModuleMissingText(dlerror());
        return handle;
    }();
    failure = why;
    return library;
}

template <typename Entry> Entry entryOf(const char* name, std::string& failure)
{
    void* library = ffmpegModule(failure);
    if (!library) return nullptr;
    auto entry = reinterpret_cast<Entry>(dlsym(library, name));
    if (!entry) failure = ffmpegModuleMissingText(dlerror());
    return entry;
}

} // namespace

std::unique_ptr<FrameSource> openFfmpegSource(const std::string& path, std::string& error)
{
    using Open = FrameSource* (*)(const std::string&, std::string&);
    const Open open = entryOf<Open>("clipwrightOpenFfmpegSource", error);
    return open ? std::unique_ptr<FrameSource>(open(path, error)) : nullptr;
}

std::string ffmpegVersion()
{
    using Version = std::string (*)();
    std::string failure;
    const Version version = entryOf<Version>("clipwrightFfmpegVersion", failure);
    return version ? version() : failure;
}

} // namespace cw
