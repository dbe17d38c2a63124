#include "ui/documents/file_type_commands.h"

#include "core/documents/file_association.h"
#include "ui/base/qt_strings.h"
#include "ui/winsvc/prompt_service.h"

#include <QCoreApplication>

namespace cw {

void registerAvsFilesCommand()
{
    const std::string error =
        registerAvsFiles(toUtf8String(QCoreApplication::applicationFilePath()), processEnvironment);
    if (error.empty())
        showInfo(QStringLiteral(".avs files successfully registered with Clipwright"));
    else
        showError(fromUtf8String(error));
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
