#include "support/temp_dir.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>
#include <signal.h>

namespace cw {
namespace {

// The real program, worked through the test driver that Qt loads into it
// (tests/support/testability_driver.cpp), in its own home and state folder.
class Editor {
public:
    explicit Editor(const test::TempDir& home, const QStringList& arguments = {}) : m_home(home)
    {
        // A chosen definition set, so no notice stands in the way at start-up.
        home.write("def/empty/none.xml", "");
        home.write("conf.properties", "#configuration\r\navisynth.def.path=empty\r\n");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), QString::fromStdString(home.path()));
        env.insert(QStringLiteral("CLIPWRIGHT_HOME"), QString::fromStdString(home.path()));
        env.insert(QStringLiteral("XDG_STATE_HOME"), QString::fromStdString(home.file("state")));
        env.insert(QStringLiteral("QT_LOAD_TESTABILITY"), QStringLiteral("1"));
        env.insert(QStringLiteral("LD_LIBRARY_PATH"), QStringLiteral(CLIPWRIGHT_TEST_DRIVER_DIR));
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(CLIPWRIGHT_EXE), arguments);
    }
    ~Editor()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // The rest of the first line said that starts with prefix; what came
    // before it goes to skipped.
    QString next(const QString& prefix, QStringList* skipped = nullptr)
    {
        while (m_process.canReadLine() || m_process.waitForReadyRead(20000)) {
            const QString line = QString::fromUtf8(m_process.readLine()).chopped(1);
            if (line.startsWith(prefix)) return line.mid(prefix.size());
            if (skipped) *skipped << line;
        }
        ADD_FAILURE() << "the program never said " << prefix.toStdString();
        return {};
    }
    void send(const QString& command) { m_process.write((command + '\n').toUtf8()); }
    QString pid() const { return QString::number(m_process.processId()); }

    // Types text and waits until the program has copied it for recovery.
    void typeAndWaitForTheCopy(const QString& text)
    {
        send(QStringLiteral("type ") + text);
        next(QStringLiteral("typed"));
        for (int i = 0; i < 100 && !files().contains(pid() + ".recovery"); ++i)
            QThread::msleep(100);
    }
    void crash()
    {
        ::kill(static_cast<pid_t>(m_process.processId()), SIGKILL);
        m_process.waitForFinished();
    }
    void closeWithoutSaving()
    {
        send(QStringLiteral("close"));
        next(QStringLiteral("asked Save changes"));
        send(QStringLiteral("answer No"));
        EXPECT_TRUE(m_process.waitForFinished(20000) && m_process.exitCode() == 0);
    }

    // The state folder, each run's id shortened to its pid.
    QStringList files() const
    {
        QStringList names =
            QDir(QString::fromStdString(m_home.file("state/clipwright"))).entryList(QDir::Files);
        return names.replaceInStrings(QRegularExpression(QStringLiteral("^(\\d+)-\\d+\\.")),
                                      QStringLiteral("\\1."));
    }
    QString file(const QString& name) const
    {
        const QStringList found = QDir(QString::fromStdString(m_home.file("state/clipwright")))
                                      .entryList({name.section('.', 0, 0) + "-*." + name.section('.', 1)});
        return found.size() == 1
                   ? QString::fromStdString(m_home.read("state/clipwright/" + found[0].toStdString()))
                   : QString();
    }

private:
    const test::TempDir& m_home;
    QProcess m_process;
};

QString askedAbout(const QString& question)
{
    static const QRegularExpression form(
        QStringLiteral("^Recover the unsaved changes to (.*) from \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d\\?$"));
    return form.match(question).captured(1);
}

// Three killed or running editors share one state folder: each start offers
// only what ended runs left, No keeps a dated backup until a start after its
// keeper ended, Yes brings back text, file and the unsaved mark, and a
// clean exit takes the run's own files away.
TEST(CrashRecovery, KilledEditorsTextsAreOfferedOnceAndNeverARunningOnes)
{
    test::TempDir home;
    const QString script = QString::fromStdString(home.write("a.avs", "Version()"));
    Editor running(home);
    running.next(QStringLiteral("ready"));
    running.typeAndWaitForTheCopy(QStringLiteral("Live()"));
    {
        Editor untitled(home);
        untitled.next(QStringLiteral("ready"));
        untitled.typeAndWaitForTheCopy(QStringLiteral("Lost()"));
        untitled.crash();
    }

    Editor titled(home, {QStringLiteral("-i"), script});
    EXPECT_EQ(askedAbout(titled.next(QStringLiteral("asked "))), "Untitled");
    titled.send(QStringLiteral("answer No"));
    titled.next(QStringLiteral("ready"));
    const QString live = running.pid(), keeper = titled.pid();
    QStringList files = titled.files();
    EXPECT_EQ(files.size(), 4) << files.join(' ').toStdString();
    EXPECT_TRUE(files.contains(live + ".lock") && files.contains(live + ".recovery") &&
                files.contains(keeper + ".lock"));
    EXPECT_TRUE(titled.file(keeper + ".backup").endsWith("\n\nLost()"));
    titled.typeAndWaitForTheCopy(QStringLiteral("Blur(1)"));
    titled.crash();

    Editor next(home);
    QStringList said;
    EXPECT_EQ(askedAbout(next.next(QStringLiteral("asked "), &said)), script);
    next.send(QStringLiteral("answer Yes"));
    next.next(QStringLiteral("ready"), &said);
    EXPECT_TRUE(said.filter(QStringLiteral("asked")).isEmpty()) << said.join('|').toStdString();
    next.send(QStringLiteral("show"));
    EXPECT_TRUE(next.next(QStringLiteral("title ")).endsWith(" - [" + script + "*]"));
    EXPECT_EQ(next.next(QStringLiteral("text ")), "Blur(1)Version()");
    files = next.files();
    files.sort();
    EXPECT_EQ(files, QStringList({live + ".lock", live + ".recovery", next.pid() + ".lock",
                                  next.pid() + ".recovery"}));
    EXPECT_TRUE(next.file(live + ".recovery").endsWith("\n\nLive()"));

    next.closeWithoutSaving();
    files = running.files();
    files.sort();
    EXPECT_EQ(files, QStringList({live + ".lock", live + ".recovery"}));
    EXPECT_EQ(home.read("a.avs"), "Version()");
}

} // namespace
} // namespace cw
