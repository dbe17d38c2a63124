#include "ui/app/form1.h"
#include "ui/app/info_switches.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    if (const std::optional<int> status = cw::answerInfoSwitches(argc, argv)) return *status;
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/clipwright.svg")));
    // Wayland compositors find the icon and the launcher through this name.
    QApplication::setDesktopFileName(QStringLiteral("clipwright"));
    cw::Form1 form(app.arguments());
    form.show();
    return app.exec();
}
