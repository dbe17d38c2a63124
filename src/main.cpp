#include "ui/app/form1.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    cw::Form1 form(app.arguments());
    form.show();
    return app.exec();
}
