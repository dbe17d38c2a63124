// Renders one frame of a script through the preview's own frame-server code
// and says what came out, or prints the preview's error text and exits 1.
//   render_frame SCRIPT [FRAME]

#include "core/preview/library_search.h"
#include "core/preview/media_command_service.h"
#include "core/preview/product_version.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: render_frame SCRIPT [FRAME]\n");
        return 2;
    }
    const std::string script = argv[1];
    const std::string frame = argc == 3 ? argv[2] : "0";

    cw::MediaCommandService service({CLIPWRIGHT_FRAMESERVER, {}});
    int width = 0, height = 0;
    std::string failure;
    service.registerFrameSink(1, cw::FrameSink{[&](const cw::VideoFrame& shown) {
                                                   width = shown.width;
                                                   height = shown.height;
                                               },
                                               [&](int, const std::string& text) { failure = text; }});
    std::string length;
    for (const std::string& command : {"open \"" + script + "\" type avivideo alias check parent 1",
                                       "play check to " + frame, std::string("status check length")}) {
        if (const int code = service.sendString(command, length); code != cw::mediaOk) {
            std::fprintf(stderr, "%s\n", service.mediaErrorText(code).c_str());
            return 1;
        }
    }
    service.waitUntil([&] { return width > 0 || !failure.empty(); }, 60000);
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "%s\n", failure.empty() ? "No frame came back from the frame server." : failure.c_str());
        return 1;
    }
    const std::string version = cw::getProductVersion(cw::aviSynthLibraryFolders(cw::processEnvironment));
    std::printf("Frame %s of %s rendered at %dx%d by AviSynth+ %s\n", frame.c_str(), length.c_str(), width,
                height, version.empty() ? "(version unknown)" : version.c_str());
    return 0;
}
