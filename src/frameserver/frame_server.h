#pragma once

#include "core/frameserver/protocol.h"
#include "core/frameserver/shared_frames.h"
#include "media/frame_source.h"

#include <memory>
#include <string>
#include <vector>

namespace cw {

// The frame server's side of the conversation: one clip at a time, one
// request at a time, each answered before the next is read.
class FrameServer {
public:
    FrameServer(int socket, std::vector<std::string> aviSynthLibraries);
    // Until the editor closes its end: 0 then, 2 when it sent something
    // that is not a request.
    int run();

private:
    bool reply(const fsp::Message& message, int fd = -1);
    bool handle(const fsp::Message& message);
    bool open(const fsp::Open& request);
    bool frame(const fsp::Frame& request);
    bool functions();
    bool pixel(const fsp::Pixel& request);

    int m_socket;
    std::vector<std::string> m_aviSynthLibraries;
    std::unique_ptr<FrameSource> m_source;
    FrameLayout m_layout;
    SharedFrameMemory m_memory;
    std::vector<FrameProperty> m_properties;
};

} // namespace cw
