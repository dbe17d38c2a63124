// The media command language, one command per input line, on a service
// whose devices are stand-ins: "opening" a file reads nothing, and the
// clip's size, length and rate follow from the path, so any command can
// reach a clip without touching the disk or a decoder.
//   ./media_command_fuzz corpus/media_command
#include "core/preview/media_command_service.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace cw {
namespace {

class StandInDevice : public MediaDevice {
public:
    explicit StandInDevice(const std::string& path)
        : m_frames(static_cast<int>(path.size() % 50)), m_rate(path.size() % 3 == 0 ? 0.0 : 25.0)
    {
        m_frame.width = 4;
        m_frame.height = 2;
        m_frame.stride = 16;
        m_frame.bytes.assign(32, 0xff);
    }
    int width() const override { return m_frame.width; }
    int height() const override { return m_frame.height; }
    int frameCount() const override { return m_frames; }
    double frameRate() const override { return m_rate; }
    const RgbFrame* frame(int n, std::string& error) override
    {
        if (n < 0 || n >= m_frames) std::abort(); // the service must check the range first
        if (n == 13) {
            error = "frame 13 cannot be decoded";
            return nullptr;
        }
        return &m_frame;
    }

private:
    int m_frames;
    double m_rate;
    RgbFrame m_frame;
};

std::unique_ptr<MediaDevice> openStandIn(const std::string& path, std::string& error)
{
    if (path.find("missing") != std::string::npos) {
        error = path + ": no such file";
        return nullptr;
    }
    return std::make_unique<StandInDevice>(path);
}

} // namespace

std::unique_ptr<MediaDevice> openFfmpegDevice(const std::string& path, std::string& error)
{
    return openStandIn(path, error);
}

std::string aviSynthNotFoundText()
{
    return "no frame server";
}

std::unique_ptr<MediaDevice> openAviSynthDevice(const std::string& path, const std::vector<std::string>&,
                                                std::string& error)
{
    return openStandIn(path, error);
}

} // namespace cw

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    cw::MediaCommandService service;
    service.registerFrameSink(7, [](const cw::VideoFrame& frame) {
        if (frame.width != 4 || frame.height != 2 || !frame.bytes) std::abort();
    });
    std::size_t start = 0;
    while (start < input.size()) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        const int openBefore = service.openCount();
        std::string reply;
        const int code = service.sendString(input.substr(start, end - start), reply);
        // A command opens at most one clip, and a failed one opens none.
        if (service.openCount() > openBefore + (code == cw::mediaOk ? 1 : 0)) std::abort();
        if (code != cw::mediaOk && (!reply.empty() || service.mediaErrorText(code).empty())) std::abort();
        start = end + 1;
    }
    return 0;
}
