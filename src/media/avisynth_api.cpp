#include "media/avisynth_api.h"

#include "core/frameserver/frame_server_texts.h"
#include "core/preview/library_search.h"

#include <dlfcn.h>
#include <map>

namespace cw {
namespace {

template <typename F> bool bind(void* library, const char* name, F& target)
{
    target = reinterpret_cast<F>(dlsym(library, name));
    return target != nullptr;
}

void bindProperties(void* library, AvsApi& api)
{
    const bool complete = bind(library, "avs_get_frame_props_ro", api.getFramePropsRo) &&
                          bind(library, "avs_prop_num_keys", api.propNumKeys) &&
                          bind(library, "avs_prop_get_key", api.propGetKey) &&
                          bind(library, "avs_prop_num_elements", api.propNumElements) &&
                          bind(library, "avs_prop_get_type", api.propGetType) &&
                          bind(library, "avs_prop_get_int", api.propGetInt) &&
                          bind(library, "avs_prop_get_float", api.propGetFloat) &&
                          bind(library, "avs_prop_get_data", api.propGetData) &&
                          bind(library, "avs_prop_get_data_size", api.propGetDataSize);
    if (!complete) api.getFramePropsRo = nullptr;
}

} // namespace

const AvsApi* loadAviSynthApi(const std::vector<std::string>& libraryNames, std::string& error)
{
    static std::map<std::string, AvsApi> loaded;
    // A library that loads but lacks a function (an old or foreign one
    // earlier in the search) is passed over; it is named only when no
    // later one will do.
    std::string unusable;
    for (const std::string& name : libraryNames) {
        if (auto it = loaded.find(name); it != loaded.end()) return &it->second;
        void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) continue;
        AvsApi api{};
        const bool complete = bind(library, "avs_create_script_environment", api.createScriptEnvironment) &&
                              bind(library, "avs_delete_script_environment", api.deleteScriptEnvironment) &&
                              bind(library, "avs_get_error", api.getError) &&
                              bind(library, "avs_invoke", api.invoke) &&
                              bind(library, "avs_release_value", api.releaseValue) &&
                              bind(library, "avs_take_clip", api.takeClip) &&
                              bind(library, "avs_release_clip", api.releaseClip) &&
                              bind(library, "avs_get_video_info", api.getVideoInfo) &&
                              bind(library, "avs_get_frame", api.getFrame) &&
                              bind(library, "avs_clip_get_error", api.clipGetError) &&
                              bind(library, "avs_release_video_frame", api.releaseVideoFrame) &&
                              bind(library, "avs_get_read_ptr_p", api.getReadPtr) &&
                              bind(library, "avs_get_pitch_p", api.getPitch) &&
                              bind(library, "avs_get_height_p", api.getHeight) &&
                              bind(library, "avs_get_row_size_p", api.getRowSize);
        if (!complete) {
            if (unusable.empty()) unusable = aviSynthUnusableText(name);
            dlclose(library);
            continue;
        }
        bindProperties(library, api);
        bind(library, "avs_get_var", api.getVar);
        return &loaded.emplace(name, api).first->second;
    }
    error = unusable.empty() ? aviSynthNotFoundText() : unusable;
    return nullptr;
}

AvsValue avsString(const char* text)
{
    AvsValue v{};
    v.type = 's';
    v.d.string = text;
    return v;
}

AvsValue avsInt(int value)
{
    AvsValue v{};
    v.type = 'i';
    v.d.integer = value;
    return v;
}

AvsValue avsNoArguments()
{
    AvsValue v{};
    v.type = 'a';
    return v;
}

} // namespace cw
