#include "support/temp_dir.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace cw {
namespace {

// Pipes named like the settings file and like the script to open: the
// program neither waits on them nor replaces them, and says why.
TEST(SpecialFiles, PipesAsSettingsFileAndScriptGetAMessageAndNoHang)
{
    test::TempDir home;
    const std::string settings = home.file("conf.properties");
    const std::string script = home.file("pipe.avs");
    ASSERT_EQ(::mkfifo(settings.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(script.c_str(), 0600), 0);

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CLIPWRIGHT_HOME"), QString::fromStdString(home.path()));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    const QStringList arguments = {QStringLiteral("--exit-after-startup"), QStringLiteral("-i"),
                                   QString::fromStdString(script)};
    process.start(QStringLiteral(CLIPWRIGHT_EXE), arguments);
    const bool finished = process.waitForFinished(20000);
    if (!finished) process.kill();
    ASSERT_TRUE(finished) << "the program hung";
    EXPECT_EQ(process.exitCode(), 0);
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    const std::string expected[] = {
        "#error: unable to load: " + script + " is not a regular file",
        "#error: The settings could not be saved. " + settings + " is not a regular file",
    };
    for (const std::string& line : expected)
        EXPECT_TRUE(errors.contains(QString::fromStdString(line))) << errors.toStdString();
    struct stat st {};
    ASSERT_EQ(::stat(settings.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

} // namespace
} // namespace cw
