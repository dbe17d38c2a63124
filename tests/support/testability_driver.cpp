// Qt loads this library into a program started with QT_LOAD_TESTABILITY=1
// (found as libqttestability.so through LD_LIBRARY_PATH), so tests can work
// the real executable from outside. It reads commands on standard input and
// answers on standard output, one line each:
//   type <text>     types the text into the script pane    -> "typed"
//   show            -> "title <window title>", "text <script, \r and \n escaped>"
//   answer Yes|No   clicks that button of the question on screen
//   close           closes the main window
// and it says "asked <text>" when a question comes up and "ready" once the
// main window is up and active.
#include <Qsci/qsciscintilla.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", qUtf8Printable(line));
    std::fflush(stdout);
}

QMainWindow* mainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<QMainWindow*>(widget); window && window->isVisible()) return window;
    return nullptr;
}

QsciScintilla* scriptPane()
{
    QMainWindow* window = mainWindow();
    QWidget* pane = window ? window->findChild<QWidget*>(QStringLiteral("CodeSense1")) : nullptr;
    return pane ? qobject_cast<QsciScintilla*>(pane->focusProxy()) : nullptr;
}

void run(const QString& command)
{
    const QString argument = command.section(QLatin1Char(' '), 1);
    if (command.startsWith(QLatin1String("type "))) {
        QTest::keyClicks(scriptPane(), argument);
        say(QStringLiteral("typed"));
    } else if (command == QLatin1String("show")) {
        QString text = scriptPane()->text();
        text.replace(QLatin1Char('\r'), QLatin1String("\\r"))
            .replace(QLatin1Char('\n'), QLatin1String("\\n"));
        say(QStringLiteral("title ") + mainWindow()->windowTitle());
        say(QStringLiteral("text ") + text);
    } else if (command.startsWith(QLatin1String("answer "))) {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(argument == QLatin1String("Yes") ? QMessageBox::Yes : QMessageBox::No)->click();
    } else if (command == QLatin1String("close")) {
        mainWindow()->close();
    }
}

} // namespace

extern "C" Q_DECL_EXPORT void qt_testability_init()
{
    auto* input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, qApp);
    QObject::connect(input, &QSocketNotifier::activated, qApp, [input] {
        static QByteArray pending;
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input->setEnabled(false);
            return;
        }
        pending.append(buffer, n);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0;) {
            const QString command = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            run(command);
        }
    });

    // Questions run nested event loops, in which this timer still fires.
    auto* watch = new QTimer(qApp);
    QObject::connect(watch, &QTimer::timeout, qApp, [] {
        static QPointer<QWidget> lastAsked;
        static bool ready = false;
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal); box && box != lastAsked) {
            lastAsked = box;
            say(QStringLiteral("asked ") + box->text());
        }
        if (!ready && !modal && mainWindow() && mainWindow()->isActiveWindow()) {
            ready = true;
            say(QStringLiteral("ready"));
        }
    });
    watch->start(20);
}
