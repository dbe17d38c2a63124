#include "core/preview/media_device.h"

#include "core/preview/library_search.h"

#include <cstring>
#include <dlfcn.h>
#include <map>

namespace cw {
namespace {

// The frame server's C interface, as far as this program uses it.
struct AvsValue {
    short type; // 'c' clip, 'e' error, 's' string, 'v' void, ...
    short arraySize;
    union {
        void* clip;
        const char* string;
        std::int64_t integer64;
        double floating;
    } d;
};
static_assert(sizeof(AvsValue) == 16);

struct AvsVideoInfo {
    int width;
    int height;
    unsigned fpsNumerator;
    unsigned fpsDenominator;
    int numFrames;
    int pixelType;
    int audioSamplesPerSecond;
    int sampleType;
    std::int64_t numAudioSamples;
    int nchannels;
    int imageType;
};
static_assert(sizeof(AvsVideoInfo) == 48);

struct AvsApi {
    void* (*createScriptEnvironment)(int version);
    void (*deleteScriptEnvironment)(void* env);
    const char* (*getError)(void* env);
    AvsValue (*invoke)(void* env, const char* name, AvsValue args, const char** argNames);
    void (*releaseValue)(AvsValue value);
    void* (*takeClip)(AvsValue value, void* env);
    void (*releaseClip)(void* clip);
    const AvsVideoInfo* (*getVideoInfo)(void* clip);
    void* (*getFrame)(void* clip, int n);
    const char* (*clipGetError)(void* clip);
    void (*releaseVideoFrame)(void* frame);
    const std::uint8_t* (*getReadPtr)(const void* frame, int plane);
    int (*getPitch)(const void* frame, int plane);
    int (*getHeight)(const void* frame, int plane);
    int (*getRowSize)(const void* frame, int plane);
};

template <typename F> bool bind(void* library, const char* name, F& target)
{
    target = reinterpret_cast<F>(dlsym(library, name));
    return target != nullptr;
}

// Loaded once per library and never unloaded: the frame server keeps its
// plugins loaded for the life of the process.
const AvsApi* loadApi(const std::vector<std::string>& libraryNames, std::string& error)
{
    static std::map<std::string, AvsApi> loaded;
    for (const std::string& name : libraryNames) {
        if (auto it = loaded.find(name); it != loaded.end()) return &it->second;
        void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) continue;
        AvsApi api{};
        const bool complete =
            bind(library, "avs_create_script_environment", api.createScriptEnvironment) &&
            bind(library, "avs_delete_script_environment", api.deleteScriptEnvironment) &&
            bind(library, "avs_get_error", api.getError) && bind(library, "avs_invoke", api.invoke) &&
            bind(library, "avs_release_value", api.releaseValue) &&
            bind(library, "avs_take_clip", api.takeClip) && bind(library, "avs_release_clip", api.releaseClip) &&
            bind(library, "avs_get_video_info", api.getVideoInfo) &&
            bind(library, "avs_get_frame", api.getFrame) &&
            bind(library, "avs_clip_get_error", api.clipGetError) &&
            bind(library, "avs_release_video_frame", api.releaseVideoFrame) &&
            bind(library, "avs_get_read_ptr_p", api.getReadPtr) &&
            bind(library, "avs_get_pitch_p", api.getPitch) && bind(library, "avs_get_height_p", api.getHeight) &&
            bind(library, "avs_get_row_size_p", api.getRowSize);
        if (!complete) {
            error = name + " is not a usable AviSynth+ library (a function is missing); install AviSynth+ 3.7 "
                           "or newer.";
            dlclose(library);
            return nullptr;
        }
        return &loaded.emplace(name, api).first->second;
    }
    error = aviSynthNotFoundText();
    return nullptr;
}

AvsValue stringValue(const char* text)
{
    AvsValue v{};
    v.type = 's';
    v.d.string = text;
    return v;
}

class AviSynthDevice : public MediaDevice {
public:
    explicit AviSynthDevice(const AvsApi& api) : m_api(api) {}
    ~AviSynthDevice() override;
    bool open(const std::string& path, std::string& error);

    int width() const override { return m_info.width; }
    int height() const override { return m_info.height; }
    int frameCount() const override { return m_info.numFrames; }
    double frameRate() const override
    {
        return m_info.fpsDenominator ? double(m_info.fpsNumerator) / m_info.fpsDenominator : 0.0;
    }
    const RgbFrame* frame(int n, std::string& error) override;

private:
    const AvsApi& m_api;
    void* m_env = nullptr;
    void* m_clip = nullptr;
    AvsVideoInfo m_info{};
    RgbFrame m_rgb;
    int m_rgbNumber = -1;
};

AviSynthDevice::~AviSynthDevice()
{
    if (m_clip) m_api.releaseClip(m_clip);
    if (m_env) m_api.deleteScriptEnvironment(m_env);
}

bool AviSynthDevice::open(const std::string& path, std::string& error)
{
    m_env = m_api.createScriptEnvironment(6);
    if (!m_env) {
        error = "AviSynth+ could not create a script environment.";
        return false;
    }
    AvsValue script = m_api.invoke(m_env, "Import", stringValue(path.c_str()), nullptr);
    if (script.type == 'e') {
        error = script.d.string ? script.d.string : "The script failed.";
        m_api.releaseValue(script);
        return false;
    }
    if (script.type != 'c') {
        m_api.releaseValue(script);
        error = "The script did not return a clip.";
        return false;
    }
    // A clip that is RGB32 already comes back unchanged.
    AvsValue rgb = m_api.invoke(m_env, "ConvertToRGB32", script, nullptr);
    m_api.releaseValue(script);
    if (rgb.type != 'c') {
        error = rgb.type == 'e' && rgb.d.string ? rgb.d.string : "The clip cannot be shown as RGB.";
        m_api.releaseValue(rgb);
        return false;
    }
    m_clip = m_api.takeClip(rgb, m_env);
    m_api.releaseValue(rgb);
    const AvsVideoInfo* info = m_clip ? m_api.getVideoInfo(m_clip) : nullptr;
    if (!info || info->width <= 0 || info->height <= 0 || info->numFrames <= 0) {
        error = "The script's clip holds no video.";
        return false;
    }
    m_info = *info;
    return true;
}

const RgbFrame* AviSynthDevice::frame(int n, std::string& error)
{
    if (n < 0 || n >= frameCount()) {
        error = "Frame " + std::to_string(n) + " is outside the clip.";
        return nullptr;
    }
    if (n == m_rgbNumber) return &m_rgb;
    void* f = m_api.getFrame(m_clip, n);
    if (!f) {
        const char* text = m_api.clipGetError(m_clip);
        error = text ? text : "AviSynth+ could not produce frame " + std::to_string(n) + ".";
        return nullptr;
    }
    const std::uint8_t* src = m_api.getReadPtr(f, 0);
    const int pitch = m_api.getPitch(f, 0);
    const int rows = m_api.getHeight(f, 0);
    const int rowSize = m_api.getRowSize(f, 0);
    if (!src || rows <= 0 || rowSize < 4) {
        m_api.releaseVideoFrame(f);
        error = "AviSynth+ returned an empty frame.";
        return nullptr;
    }
    m_rgb.width = rowSize / 4;
    m_rgb.height = rows;
    m_rgb.stride = m_rgb.width * 4;
    m_rgb.bytes.resize(static_cast<std::size_t>(m_rgb.stride) * rows);
    // Packed RGB is stored bottom-up.
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* line = src + static_cast<std::ptrdiff_t>(rows - 1 - y) * pitch;
        std::uint8_t* out = m_rgb.bytes.data() + static_cast<std::size_t>(y) * m_rgb.stride;
        std::memcpy(out, line, m_rgb.stride);
        for (int x = 3; x < m_rgb.stride; x += 4) out[x] = 0xff;
    }
    m_api.releaseVideoFrame(f);
    m_rgbNumber = n;
    return &m_rgb;
}

} // namespace

std::unique_ptr<MediaDevice> openAviSynthDevice(const std::string& path,
                                                const std::vector<std::string>& libraryNames,
                                                std::string& error)
{
    const AvsApi* api = loadApi(libraryNames, error);
    if (!api) return nullptr;
    auto device = std::make_unique<AviSynthDevice>(*api);
    if (!device->open(path, error)) return nullptr;
    return device;
}

} // namespace cw
