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

// The real executable. Without a home folder it runs with the X11 platform
// and no display, so any attempt to open a window fails the run.
ProcessRun runClipwright(const QStringList& arguments, const test::TempDir* home = nullptr)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    if (home) {
        env.insert(QStringLiteral("CLIPWRIGHT_HOME"), QString::fromStdString(home->path()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(CLIPWRIGHT_EXE), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(Program, HelpVersionAndUnknownOptionsAreAnsweredWithoutADisplay)
{
    for (const char* help : {"--help", "-h"}) {
        const ProcessRun run =
            runClipwright({QStringLiteral("-i"), QStringLiteral("a.avs"), QString::fromLatin1(help)});
        EXPECT_EQ(run.exitCode, 0) << help;
        EXPECT_TRUE(run.out.startsWith("Usage: clipwright [OPTION]... [SCRIPT]\n")) << run.out.toStdString();
        EXPECT_EQ(run.err, "");
    }

    ProcessRun run = runClipwright({QStringLiteral("--version")});
    EXPECT_EQ(run.exitCode, 0);
    const QStringList lines = run.out.split('\n');
    ASSERT_EQ(lines.size(), 5) << run.out.toStdString();
    EXPECT_EQ(lines[0], "Clipwright 0.3");
    EXPECT_EQ(lines[1], QStringLiteral("Qt ") + qVersion());
    EXPECT_TRUE(lines[2].startsWith("QScintilla 2.")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith("FFmpeg ") && lines[3].contains("libavcodec ")) << lines[3].toStdString();
    EXPECT_EQ(run.err, "");

    test::TempDir dir;
    run = runClipwright({QStringLiteral("-I"), QString::fromStdString(dir.write("a.avs", "Version()"))});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.startsWith("clipwright: unknown option '-I'\nUsage: clipwright"))
        << run.err.toStdString();
}

// The first run creates the settings file, reports that no definition set
// is chosen, opens the script it was given and writes the settings on close.
TEST(Program, AFirstRunOpensItsScriptAndFillsTheSettingsFile)
{
    test::TempDir home, scripts;
    const std::string script = scripts.write("my script.avs", "Version()");
    const ProcessRun run =
        runClipwright({QString::fromStdString(script), QStringLiteral("--exit-after-startup")}, &home);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(home.read("conf.properties"),
              "#configuration\r\nfilters.view.mode=1\r\nhide.uncategorized.filters=false\r\n"
              "recent.file.1=" +
                  script + "\r\nsplitter1.tile.percent=25\r\nsplitter2.tile.percent=80\r\n");
    EXPECT_EQ(run.err.count(QStringLiteral(
                  "Information: avisynth definition is not set, choose a version in Definitions menu")),
              1);
}

TEST(Program, AnUnwritableSettingsFileIsReportedAndTheProgramStillCloses)
{
    test::TempDir home;
    // root may write anywhere, but nobody can replace a folder with a file.
    home.write("conf.properties/keep", "");
    const ProcessRun run = runClipwright({QStringLiteral("--exit-after-startup")}, &home);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err.count(QStringLiteral("#error: The settings could not be saved.")), 1);
}

} // namespace
} // namespace cw
