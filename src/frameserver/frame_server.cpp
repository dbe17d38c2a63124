#include "frameserver/frame_server.h"

#include "core/frameserver/frame_server_texts.h"
#include "core/frameserver/socket_io.h"
#include "media/avisynth_functions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

namespace cw {
namespace {

// Error texts from scripts can be long (a stack of Import lines); the
// editor shows the start.
constexpr std::size_t kTextBytes = 64 * 1024;

std::string trimmed(std::string text)
{
    if (text.size() > kTextBytes) text.resize(kTextBytes);
    return text;
}

} // namespace

FrameServer::FrameServer(int socket, std::vector<std::string> aviSynthLibraries)
    : m_socket(socket), m_aviSynthLibraries(std::move(aviSynthLibraries))
{
}

int FrameServer::run()
{
    fsp::MessageReader reader;
    std::vector<int> fds;
    for (;;) {
        const ssize_t n = receiveSome(m_socket, reader, fds);
        for (int fd : fds) close(fd);
        fds.clear();
        if (n == 0) return 0;
        if (n < 0) {
            std::fprintf(stderr, "clipwright-frameserver: %s\n", std::strerror(errno));
            return 1;
        }
        for (;;) {
            const fsp::Decoded decoded = reader.next();
            if (decoded.status == fsp::DecodeStatus::needMore) break;
            if (decoded.status == fsp::DecodeStatus::malformed) {
                std::fprintf(stderr, "clipwright-frameserver: unreadable request: %s\n",
                             decoded.error.c_str());
                return 2;
            }
            if (!handle(decoded.message)) return 2;
        }
    }
}

bool FrameServer::reply(const fsp::Message& message, int fd)
{
    std::string error;
    if (sendMessage(m_socket, message, fd, error)) return true;
    // The editor is gone; nobody is left to answer.
    std::exit(0);
}

bool FrameServer::handle(const fsp::Message& message)
{
    if (std::holds_alternative<fsp::Hello>(message))
        return reply(fsp::HelloReply{static_cast<std::uint32_t>(getpid())});
    if (auto* request = std::get_if<fsp::Open>(&message)) return open(*request);
    if (auto* request = std::get_if<fsp::Frame>(&message)) return frame(*request);
    if (std::holds_alternative<fsp::Close>(message)) {
        m_source.reset();
        return reply(fsp::Closed{});
    }
    if (auto* ping = std::get_if<fsp::Ping>(&message)) return reply(fsp::Pong{ping->token});
    if (std::holds_alternative<fsp::Functions>(message)) return functions();
    if (auto* request = std::get_if<fsp::Pixel>(&message)) return pixel(*request);
    std::fprintf(stderr, "clipwright-frameserver: %s is not a request\n", fsp::messageName(message.index()));
    return false;
}

bool FrameServer::open(const fsp::Open& request)
{
    // The old clip goes first, so two never hold memory at once.
    m_source.reset();
    OpenFailureKind kind = OpenFailureKind::other;
    std::string error;
    std::unique_ptr<FrameSource> source =
        request.kind == SourceKind::script
            ? openAviSynthSource(request.path, m_aviSynthLibraries, kind, error)
            : openFfmpegSource(request.path, error);
    if (!source) return reply(fsp::OpenFailed{kind, trimmed(error)});
    const ClipFacts& facts = source->facts();
    if (!frameLayout(facts.width, facts.height, m_layout))
        return reply(fsp::OpenFailed{OpenFailureKind::script, clipTooLargeText(facts.width, facts.height)});
    if (!m_memory.reserve(m_layout.totalBytes(), error))
        return reply(fsp::OpenFailed{OpenFailureKind::other, error});
    m_source = std::move(source);
    fsp::Opened opened{facts};
    opened.facts.format = trimmed(opened.facts.format);
    return reply(opened, m_memory.fd());
}

bool FrameServer::frame(const fsp::Frame& request)
{
    if (!m_source) return reply(fsp::FrameFailed{request.number, noClipOpenText()});
    std::string error;
    std::uint8_t* out = m_memory.data() + m_layout.offset(request.slot);
    if (!m_source->render(request.number, out, m_layout.stride, m_properties, error))
        return reply(fsp::FrameFailed{request.number, trimmed(error)});
    return reply(fsp::FrameReady{request.number, request.slot, m_properties});
}

bool FrameServer::functions()
{
    fsp::FunctionList list;
    std::string error;
    if (!readInterpreterFunctions(m_aviSynthLibraries, list.functions, error))
        return reply(fsp::FunctionsFailed{trimmed(error)});
    try {
        fsp::encode(list);
    } catch (const std::length_error&) {
        return reply(fsp::FunctionsFailed{
            tooManyFunctionsText(list.functions.internal.size() + list.functions.plugin.size())});
    }
    return reply(list);
}

bool FrameServer::pixel(const fsp::Pixel& request)
{
    fsp::PixelValue value{request.number, request.x, request.y, {}};
    const bool inside = m_source && request.number >= 0 && request.number < m_source->facts().frameCount &&
                        request.x >= 0 && request.x < m_source->facts().width && request.y >= 0 &&
                        request.y < m_source->facts().height;
    if (inside) value.components = m_source->readPixel(request.number, request.x, request.y);
    return reply(value);
}

} // namespace cw
