#include "ui/documents/file_type_commands.h"

#include "core/documents/file_association.h"
#include "ui/base/qt_strings.h"
#include "ui/winsvc/prompt_service.h"

#include <QCoreApplication>

namespace cw {

void registerAvsFilesCommand()
{
    const std::string program = toUtf8String(QCoreApplication::applicationFilePath());
    const bool packaged = isRegisteredByPackage(program, processEnvironment);
    const std::string error =
        packaged ? makePackagedEntryDefault(processEnvironment) : registerAvsFiles(program, processEnvironment);
    if (!error.empty())
        showError(fromUtf8String(error));
    else if (packaged)
        showInfo(QStringLiteral(".avs files are already registered with Clipwright by its installed package; "
                                "Clipwright is now their default application"));
    else
        showInfo(QStringLiteral(".avs files successfully registered with Clipwright"));
}

void unregisterAvsFilesCommand()
{
    const std::string error = unregisterAvsFiles(processEnvironment);
    if (error.empty())
        showInfo(QStringLiteral(".avs files successfully unregistered"));
    else
        showError(fromUtf8String(error));
}

} // namespace cw
