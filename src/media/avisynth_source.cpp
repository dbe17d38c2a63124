#include "core/frameserver/frame_server_texts.h"
#include "core/frameserver/shared_frames.h"
#include "media/avisynth_api.h"
#include "media/avs_pixel.h"
#include "media/frame_source.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace cw {
namespace {

// Property texts are for reading, not for carrying data: long values are
// cut and a frame's properties stay well inside one message.
constexpr std::size_t kValueBytes = 1024;
constexpr int kArrayElements = 64;
constexpr std::size_t kPropertyBytes = 256 * 1024;
// More than AviSynth+ ever puts before a frame's first row to align it
// (64 bytes as built today).
constexpr long long kAlignmentPad = 4096;

// A preview steps through frames; AviSynth+'s own default (a quarter of
// the memory, up to 4 GB) leaves less for the editor and everything else.
int cacheLimitMegabytes()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    const long long megabytes =
        pages > 0 && pageSize > 0 ? static_cast<long long>(pages) * pageSize / (1024 * 1024) : 0;
    return static_cast<int>(std::clamp(megabytes / 8, 256LL, 2048LL));
}

std::string numberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

class AviSynthSource : public FrameSource {
public:
    explicit AviSynthSource(const AvsApi& api) : m_api(api) {}
    ~AviSynthSource() override;
    bool open(const std::string& path, OpenFailureKind& kind, std::string& error);

    const ClipFacts& facts() const override { return m_facts; }
    bool render(int n, std::uint8_t* out, std::size_t stride, std::vector<FrameProperty>& properties,
                std::string& error) override;
    std::vector<PixelComponent> readPixel(int n, int x, int y) override;

private:
    bool checkFrame(int n, const void* frame, std::string& error) const;
    void readProperties(const void* frame, std::vector<FrameProperty>& properties) const;
    std::string invokeText(const char* function, AvsValue clip);

    const AvsApi& m_api;
    void* m_env = nullptr;
    void* m_clip = nullptr;
    // The script's own clip when it had to be converted: its frames carry the
    // script's properties, which conversion rewrites.
    void* m_scriptClip = nullptr;
    ClipFacts m_facts;
};

AviSynthSource::~AviSynthSource()
{
    if (m_clip) m_api.releaseClip(m_clip);
    if (m_scriptClip) m_api.releaseClip(m_scriptClip);
    if (m_env) m_api.deleteScriptEnvironment(m_env);
}

std::string AviSynthSource::invokeText(const char* function, AvsValue clip)
{
    const AvsValue v = m_api.invoke(m_env, function, clip, nullptr);
    std::string text;
    if (v.type == 's' && v.d.string) text = v.d.string;
    if (v.type == 'i') text = std::to_string(v.d.integer);
    m_api.releaseValue(v);
    return text;
}

bool AviSynthSource::open(const std::string& path, OpenFailureKind& kind, std::string& error)
{
    kind = OpenFailureKind::other;
    m_env = m_api.createScriptEnvironment(6);
    if (!m_env) {
        error = scriptEnvironmentFailedText();
        return false;
    }
    // Before the script, so that a limit the script sets wins.
    m_api.releaseValue(m_api.invoke(m_env, "SetMemoryMax", avsInt(cacheLimitMegabytes()), nullptr));

    kind = OpenFailureKind::script;
    AvsValue script = m_api.invoke(m_env, "Import", avsString(path.c_str()), nullptr);
    if (script.type == 'e') {
        error = script.d.string ? script.d.string : scriptFailedText();
        m_api.releaseValue(script);
        return false;
    }
    if (script.type != 'c') {
        m_api.releaseValue(script);
        error = scriptNotAClipText();
        return false;
    }
    m_facts.format = invokeText("PixelType", script);
    const std::string bits = invokeText("BitsPerComponent", script);
    std::from_chars(bits.data(), bits.data() + bits.size(), m_facts.bitDepth);
    if (m_facts.format != "RGB32") m_scriptClip = m_api.takeClip(script, m_env);
    // A clip that is RGB32 already comes back unchanged.
    AvsValue rgb = m_api.invoke(m_env, "ConvertToRGB32", script, nullptr);
    m_api.releaseValue(script);
    if (rgb.type != 'c') {
        error = rgb.type == 'e' && rgb.d.string ? rgb.d.string : clipNotRgbText();
        m_api.releaseValue(rgb);
        return false;
    }
    m_clip = m_api.takeClip(rgb, m_env);
    m_api.releaseValue(rgb);
    const AvsVideoInfo* info = m_clip ? m_api.getVideoInfo(m_clip) : nullptr;
    if (!info || info->width <= 0 || info->height <= 0 || info->numFrames <= 0) {
        error = clipWithoutVideoText();
        return false;
    }
    FrameLayout layout;
    if (!frameLayout(info->width, info->height, layout)) {
        error = clipTooLargeText(info->width, info->height);
        return false;
    }
    m_facts.width = info->width;
    m_facts.height = info->height;
    m_facts.rateNumerator = info->fpsNumerator;
    m_facts.rateDenominator = info->fpsDenominator;
    m_facts.frameCount = info->numFrames;
    if (info->numAudioSamples > 0) {
        m_facts.audioRate = info->audioSamplesPerSecond;
        m_facts.audioChannels = info->nchannels;
    }
    return true;
}

// Nothing AviSynth+ hands over is trusted: a frame must have the clip's
// shape, and its rows must lie inside its buffer.
bool AviSynthSource::checkFrame(int n, const void* frame, std::string& error) const
{
    const std::uint8_t* pixels = m_api.getReadPtr(frame, 0);
    const int pitch = m_api.getPitch(frame, 0);
    const int rows = m_api.getHeight(frame, 0);
    const int rowSize = m_api.getRowSize(frame, 0);
    if (!pixels || rows <= 0 || rowSize <= 0) {
        error = frameEmptyText(n);
        return false;
    }
    if (rowSize != m_facts.width * 4 || rows != m_facts.height || pitch < rowSize) {
        error = frameShapeText(n, rowSize, rows, pitch, m_facts.width, m_facts.height);
        return false;
    }
    const long long extent = static_cast<long long>(rows - 1) * pitch + rowSize;
    // The interface keeps buffer sizes in an int: a frame that needs more
    // cannot be inside its buffer, whatever the buffer says.
    if (extent > INT_MAX) {
        error = frameBeyondAnyBufferText(n, rows, pitch);
        return false;
    }
    // The buffer is read only where the frame's own fields prove that the
    // layout is the one expected. Its size leaves out the pad that aligns
    // the first row, which the offset includes.
    const auto* head = static_cast<const AvsFrameHead*>(frame);
    if (head->pitch == pitch && head->rowSize == rowSize && head->height == rows && head->buffer &&
        head->buffer->data + head->offset == pixels) {
        const int size = head->buffer->dataSize;
        if (head->offset < 0 || size < 0 || head->offset + extent > size + kAlignmentPad) {
            error = frameOutsideBufferText(n, rows, pitch, static_cast<std::size_t>(std::max(size, 0)));
            return false;
        }
    }
    return true;
}

void AviSynthSource::readProperties(const void* frame, std::vector<FrameProperty>& properties) const
{
    properties.clear();
    if (!m_api.getFramePropsRo) return;
    const AvsMap* map = m_api.getFramePropsRo(m_env, frame);
    if (!map) return;
    const int keys = m_api.propNumKeys(m_env, map);
    std::size_t bytes = 0;
    for (int k = 0; k < keys && bytes < kPropertyBytes; ++k) {
        const char* key = m_api.propGetKey(m_env, map, k);
        if (!key) continue;
        FrameProperty p;
        p.key = key;
        const char type = m_api.propGetType(m_env, map, key);
        const int elements = std::min(m_api.propNumElements(m_env, map, key), kArrayElements);
        for (int i = 0; i < elements; ++i) {
            int failed = 0;
            std::string value;
            if (type == 'i') {
                value = std::to_string(m_api.propGetInt(m_env, map, key, i, &failed));
            } else if (type == 'f') {
                value = numberText(m_api.propGetFloat(m_env, map, key, i, &failed));
            } else if (type == 's') {
                const char* data = m_api.propGetData(m_env, map, key, i, &failed);
                const int size = failed ? 0 : m_api.propGetDataSize(m_env, map, key, i, &failed);
                if (data && size > 0) value.assign(data, std::min<std::size_t>(size, kValueBytes));
            }
            if (failed) continue;
            if (i > 0) p.value += ", ";
            p.value += value;
        }
        switch (type) {
        case 'i': p.type = "int"; break;
        case 'f': p.type = "float"; break;
        case 's': p.type = "data"; break;
        case 'c': p.type = "clip"; break;
        case 'v': p.type = "frame"; break;
        case 'u': continue;
        default: p.type = std::string(1, type); break;
        }
        bytes += p.key.size() + p.type.size() + p.value.size() + 12;
        properties.push_back(std::move(p));
    }
}

bool AviSynthSource::render(int n, std::uint8_t* out, std::size_t stride,
                            std::vector<FrameProperty>& properties, std::string& error) {
    if (n < 0 || n >= m_facts.frameCount) {
        error = frameOutsideClipText(n);
        return false;
    }
    // The script's frame first: converting it then finds it in AviSynth+'s
    // cache instead of rendering it twice.
    void* scriptFrame = m_scriptClip && m_api.getFramePropsRo ? m_api.getFrame(m_scriptClip, n) : nullptr;
    void* frame = m_api.getFrame(m_clip, n);
    if (!frame) {
        if (scriptFrame) m_api.releaseVideoFrame(scriptFrame);
        const char* text = m_api.clipGetError(m_clip);
        error = text && *text ? text : frameNotProducedText(n);
        return false;
    }
    const bool fits = checkFrame(n, frame, error);
    if (fits) {
        const std::uint8_t* pixels = m_api.getReadPtr(frame, 0);
        const int pitch = m_api.getPitch(frame, 0);
        const int rows = m_facts.height;
        const std::size_t rowSize = static_cast<std::size_t>(m_facts.width) * 4;
        // Packed RGB is stored bottom-up.
        for (int y = 0; y < rows; ++y)
            std::memcpy(out + y * stride, pixels + static_cast<std::ptrdiff_t>(rows - 1 - y) * pitch,
                        rowSize);
        readProperties(scriptFrame ? scriptFrame : frame, properties);
    }
    m_api.releaseVideoFrame(frame);
    if (scriptFrame) m_api.releaseVideoFrame(scriptFrame);
    return fits;
}

// From the script's own clip: its frame was just rendered for showing and
// comes from AviSynth+'s cache.
std::vector<PixelComponent> AviSynthSource::readPixel(int n, int x, int y)
{
    void* clip = m_scriptClip ? m_scriptClip : m_clip;
    const AvsVideoInfo* info = m_api.getVideoInfo(clip);
    void* frame = info ? m_api.getFrame(clip, n) : nullptr;
    if (!frame) return {};
    const auto plane = [&](int p) {
        return AvsPlane{m_api.getReadPtr(frame, p), m_api.getPitch(frame, p), m_api.getRowSize(frame, p),
                        m_api.getHeight(frame, p)};
    };
    std::vector<PixelComponent> values = readAvsPixel(info->pixelType, plane, x, y);
    m_api.releaseVideoFrame(frame);
    return values;
}

} // namespace

std::unique_ptr<FrameSource> openAviSynthSource(const std::string& path,
                                                const std::vector<std::string>& libraryNames,
                                                OpenFailureKind& kind, std::string& error)
{
    kind = OpenFailureKind::other;
    const AvsApi* api = loadAviSynthApi(libraryNames, error);
    if (!api) return nullptr;
    auto source = std::make_unique<AviSynthSource>(*api);
    if (!source->open(path, kind, error)) return nullptr;
    return source;
}

} // namespace cw
