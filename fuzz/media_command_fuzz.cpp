// The media command language, one command per input line, on a service
// whose frame server cannot start: every command is parsed and answered,
// and an open fails at once without a process to wait for.
//   ./media_command_fuzz corpus/media_command
#include "core/preview/media_command_service.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    cw::MediaCommandService service({"/nonexistent/clipwright-frameserver", {}});
    std::size_t start = 0;
    while (start < input.size()) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        const int openBefore = service.openCount();
        std::string reply;
        const int code = service.sendString(input.substr(start, end - start), reply);
        // Nothing opens without a frame server, and a failure never replies.
        if (service.openCount() > openBefore) std::abort();
        if (code != cw::mediaOk && (!reply.empty() || service.mediaErrorText(code).empty())) std::abort();
        start = end + 1;
    }
    return 0;
}
