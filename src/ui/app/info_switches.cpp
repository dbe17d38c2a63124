#include "ui/app/info_switches.h"

#include "core/app/command_line.h"
#include "core/frameserver/ffmpeg_version_query.h"
#include "core/frameserver/frame_server_client.h"

#include <Qsci/qsciglobal.h>
#include <QtGlobal>

#include <cstdio>
#include <vector>

namespace cw {

std::string versionText()
{
    // QScintilla has no run-time version query; its soname pins the release.
    return std::string("Clipwright " CLIPWRIGHT_VERSION "\n") + "Qt " + qVersion() + "\n" +
           "QScintilla " QSCINTILLA_VERSION_STR "\n" + frameServerFfmpegVersion(frameServerBesideProgram()) + "\n";
}

std::optional<int> answerInfoSwitches(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const StartupRequest request = startupRequest(splitCommandLine(joinArguments(arguments)));
    switch (request.action) {
    case StartupRequest::Action::Help:
        std::fputs(usageText().c_str(), stdout);
        return 0;
    case StartupRequest::Action::Version:
        std::fputs(versionText().c_str(), stdout);
        return 0;
    case StartupRequest::Action::UnknownOption:
        std::fprintf(stderr, "%s\n%s", unknownOptionMessage(request.option).c_str(), usageText().c_str());
        return 2;
    case StartupRequest::Action::Start:
        break;
    }
    return std::nullopt;
}

} // namespace cw
