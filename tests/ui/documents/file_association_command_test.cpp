#include "quiet_form.h"

#include <QAction>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace cw {
namespace {

TEST(FileAssociationCommands, EachCommandSaysWhetherItSucceeded)
{
    test::TempDir xdg;
    ::setenv("XDG_DATA_HOME", xdg.file("data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", xdg.file("config home").c_str(), 1);
    {
        test::QuietForm f;
        f.form->command("mnuOptionsRegisterAVS")->trigger();
        EXPECT_NE(xdg.read("data/applications/clipwright.desktop").find("-i %f"), std::string::npos);
        EXPECT_NE(xdg.read("config home/mimeapps.list").find("text/x-avisynth=clipwright.desktop"),
                  std::string::npos);
        f.form->command("mnuOptionsUnRegisterAVS")->trigger();
        f.form->command("mnuOptionsUnRegisterAVS")->trigger();
        EXPECT_EQ(f.shown(), "Information: .avs files successfully registered with Clipwright\n"
                             "Information: .avs files successfully unregistered\n"
                             "Information: .avs files successfully unregistered");
        EXPECT_EQ(xdg.read("data/applications/clipwright.desktop"), "");
        EXPECT_EQ(xdg.read("config home/mimeapps.list").find("text/x-avisynth"), std::string::npos);
        EXPECT_NE(xdg.read("data/mime/packages/clipwright-avs.xml").find("*.avs"), std::string::npos);
    }
    // A failed registration is an error, not a success.
    test::TempDir blocked;
    blocked.write("config home", "a file where the folder should be");
    ::setenv("XDG_CONFIG_HOME", blocked.file("config home").c_str(), 1);
    test::QuietForm f;
    f.form->command("mnuOptionsRegisterAVS")->trigger();
    EXPECT_TRUE(f.shown().startsWith("#error: ") && f.shown().contains("config home"))
        << f.shown().toStdString();
    EXPECT_EQ(f.prompts.shown.size(), 1u);
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(FileAssociationCommands, RegisterSaysWhenTheInstalledPackageAlreadyDidIt)
{
    test::TempDir xdg;
    xdg.write("system/applications/clipwright.desktop",
              "[Desktop Entry]\nExec=\"" + QCoreApplication::applicationFilePath().toStdString() +
                  "\" -i %f\nMimeType=text/x-avisynth;\n");
    ::setenv("XDG_DATA_DIRS", xdg.file("system").c_str(), 1);
    ::setenv("XDG_DATA_HOME", xdg.file("data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", xdg.file("config").c_str(), 1);
    test::QuietForm f;
    f.form->command("mnuOptionsRegisterAVS")->trigger();
    EXPECT_EQ(f.shown(), "Information: .avs files are already registered with Clipwright by its installed "
                         "package; Clipwright is now their default application");
    EXPECT_EQ(xdg.read("config/mimeapps.list"), "[Default Applications]\ntext/x-avisynth=clipwright.desktop\n");
    EXPECT_EQ(xdg.read("data/applications/clipwright.desktop"), "");
    for (const char* name : {"XDG_DATA_DIRS", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) ::unsetenv(name);
}

} // namespace
} // namespace cw
