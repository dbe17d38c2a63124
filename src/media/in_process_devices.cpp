// The editor's in-process devices, over the frame server's sources, until the
// editor's devices talk to the frame server instead.
#include "core/preview/media_device.h"
#include "media/frame_source.h"

namespace cw {
namespace {

class SourceDevice : public MediaDevice {
public:
    explicit SourceDevice(std::unique_ptr<FrameSource> source) : m_source(std::move(source))
    {
        const ClipFacts& f = m_source->facts();
        m_rgb.width = f.width;
        m_rgb.height = f.height;
        m_rgb.stride = f.width * 4;
        m_rgb.bytes.resize(static_cast<std::size_t>(m_rgb.stride) * f.height);
    }

    int width() const override { return m_source->facts().width; }
    int height() const override { return m_source->facts().height; }
    int frameCount() const override { return m_source->facts().frameCount; }
    double frameRate() const override
    {
        const ClipFacts& f = m_source->facts();
        return f.rateDenominator ? double(f.rateNumerator) / f.rateDenominator : 0.0;
    }

    const RgbFrame* frame(int n, std::string& error) override
    {
        if (n == m_number) return &m_rgb;
        m_number = -1;
        if (!m_source->render(n, m_rgb.bytes.data(), m_rgb.stride, m_properties, error)) return nullptr;
        m_number = n;
        return &m_rgb;
    }

private:
    std::unique_ptr<FrameSource> m_source;
    RgbFrame m_rgb;
    int m_number = -1;
    std::vector<FrameProperty> m_properties;
};

std::unique_ptr<MediaDevice> deviceOver(std::unique_ptr<FrameSource> source)
{
    if (!source) return nullptr;
    return std::make_unique<SourceDevice>(std::move(source));
}

} // namespace

std::unique_ptr<MediaDevice> openFfmpegDevice(const std::string& path, std::string& error)
{
    return deviceOver(openFfmpegSource(path, error));
}

std::unique_ptr<MediaDevice> openAviSynthDevice(const std::string& path,
                                                const std::vector<std::string>& libraryNames,
                                                std::string& error)
{
    OpenFailureKind kind;
    return deviceOver(openAviSynthSource(path, libraryNames, kind, error));
}

} // namespace cw
