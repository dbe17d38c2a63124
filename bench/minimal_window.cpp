// The floor of clipwright --exit-after-startup: a Qt Widgets program that
// shows an empty main window and quits the way the program does, two turns
// of the event loop after the window is shown. tools/bench-startup takes
// its start-up time off the program's.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(900, 650);
    window.show();
    QTimer::singleShot(0, &window, [&window] { QTimer::singleShot(0, &window, &QWidget::close); });
    return app.exec();
}
