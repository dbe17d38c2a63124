#include "support/temp_dir.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace cw {
namespace {

struct RunResult {
    int exitCode;
    QString errors;
};

RunResult runUnattended(const test::TempDir& home)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CLIPWRIGHT_HOME"), QString::fromStdString(home.path()));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(CLIPWRIGHT_EXE), {QStringLiteral("--exit-after-startup")});
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

TEST(Startup, FirstRunCreatesAndThenFillsTheSettingsFile)
{
    test::TempDir home;
    const RunResult run = runUnattended(home);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(home.read("conf.properties"),
              "#configuration\r\nfilters.view.mode=1\r\nhide.uncategorized.filters=false\r\n"
              "splitter1.tile.percent=25\r\nsplitter2.tile.percent=80\r\n");
    EXPECT_EQ(run.errors.count(QStringLiteral(
                  "Information: avisynth definition is not set, choose a version in Definitions menu")),
              1);
}

TEST(Startup, UnusableValuesFallBackAndCustomLinesSurvive)
{
    test::TempDir home;
    home.write("def/2.6/x.txt", "");
    home.write("conf.properties", "# mine\r\nsplitter1.tile.percent=4\r\nsplitter2.tile.percent=abc\r\n"
                                  "filters.view.mode=2\r\nhide.uncategorized.filters=True\r\n"
                                  "avisynth.def.path=2.6\r\nExtra.Key=kept\r\n");
    const RunResult run = runUnattended(home);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.errors.contains(QStringLiteral("avisynth definition is not set")));
    EXPECT_EQ(home.read("conf.properties"),
              "# mine\r\navisynth.def.path=2.6\r\nExtra.Key=kept\r\nfilters.view.mode=2\r\n"
              "hide.uncategorized.filters=false\r\nsplitter1.tile.percent=25\r\nsplitter2.tile.percent=80\r\n");
}

TEST(Startup, AnUnwritableSettingsFileIsReportedAndTheProgramStillCloses)
{
    test::TempDir home;
    // root may write anywhere, but nobody can replace a folder with a file.
    home.write("conf.properties/keep", "");
    const RunResult run = runUnattended(home);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors.count(QStringLiteral("#error: The settings could not be saved.")), 1);
}

} // namespace
} // namespace cw
