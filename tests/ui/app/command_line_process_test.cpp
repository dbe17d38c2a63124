#include "support/temp_dir.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace cw {
namespace {

struct ProcessRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// The real executable. Without a display and with the X11 platform asked
// for, any attempt to open a window would fail the run.
ProcessRun runClipwright(const QStringList& arguments, const QString& home = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    if (!home.isEmpty()) {
        env.insert(QStringLiteral("CLIPWRIGHT_HOME"), home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(CLIPWRIGHT_EXE), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

TEST(CommandLineProcess, HelpAndVersionAnswerOnStandardOutputWithoutADisplay)
{
    for (const char* help : {"--help", "-h"}) {
        const ProcessRun run = runClipwright({QStringLiteral("-i"), QStringLiteral("a.avs"), QString::fromLatin1(help)});
        EXPECT_EQ(run.exitCode, 0) << help;
        EXPECT_TRUE(run.out.startsWith("Usage: clipwright [OPTION]... [SCRIPT]\n")) << run.out.toStdString();
        EXPECT_EQ(run.err, "");
    }

    const ProcessRun run = runClipwright({QStringLiteral("--version")});
    EXPECT_EQ(run.exitCode, 0);
    const QStringList lines = run.out.split('\n');
    ASSERT_EQ(lines.size(), 5) << run.out.toStdString();
    EXPECT_EQ(lines[0], "Clipwright 0.3");
    EXPECT_EQ(lines[1], QStringLiteral("Qt ") + qVersion());
    EXPECT_TRUE(lines[2].startsWith("QScintilla 2.")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith("FFmpeg ") && lines[3].contains("libavcodec ")) << lines[3].toStdString();
    EXPECT_EQ(run.err, "");
}

TEST(CommandLineProcess, AnUnknownOptionIsRefusedWithStatus2)
{
    test::TempDir dir;
    const QString script = QString::fromStdString(dir.write("a.avs", "Version()"));
    const ProcessRun run = runClipwright({QStringLiteral("-I"), script});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.startsWith("clipwright: unknown option '-I'\nUsage: clipwright")) << run.err.toStdString();
}

TEST(CommandLineProcess, APlainFileArgumentIsOpened)
{
    test::TempDir home, scripts;
    const QString script = QString::fromStdString(scripts.write("my script.avs", "Version()"));
    const ProcessRun run = runClipwright({script, QStringLiteral("--exit-after-startup")},
                                  QString::fromStdString(home.path()));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_NE(home.read("conf.properties").find("recent.file.1=" + script.toStdString() + "\r\n"), std::string::npos)
        << home.read("conf.properties");
}

} // namespace
} // namespace cw
