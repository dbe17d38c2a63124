#include "ui/winsvc/window_helpers.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QWidget>

namespace cw {

bool isFormLoaded(const QWidget* form)
{
    return form && QApplication::topLevelWidgets().contains(const_cast<QWidget*>(form));
}

void openWithShell(const QString& target)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

QFont paneFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace cw
