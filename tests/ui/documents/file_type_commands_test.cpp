#include "ui/documents/file_type_commands.h"

#include "support/ui_fixtures.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace cw {
namespace {

// The folders of the desktop's standards, all inside one temporary folder.
struct XdgFolders {
    XdgFolders()
    {
        ::setenv("XDG_DATA_DIRS", dir.file("system").c_str(), 1);
        ::setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    }
    ~XdgFolders()
    {
        for (const char* name : {"XDG_DATA_DIRS", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
            ::unsetenv(name);
    }
    test::TempDir dir;
    test::RecordingPrompts prompts;
};

// What the commands write is the core's; here each outcome must reach the user.
TEST(FileTypeCommands, EachCommandSaysWhatItDidAndAFailureIsAnError)
{
    {
        XdgFolders xdg;
        registerAvsFilesCommand();
        EXPECT_NE(xdg.dir.read("config/mimeapps.list").find("text/x-avisynth=clipwright.desktop"),
                  std::string::npos);
        unregisterAvsFilesCommand();
        unregisterAvsFilesCommand();
        EXPECT_EQ(xdg.prompts.lines(), "Information: .avs files successfully registered with Clipwright\n"
                                       "Information: .avs files successfully unregistered\n"
                                       "Information: .avs files successfully unregistered");
    }
    {
        XdgFolders blocked;
        blocked.dir.write("config", "a file where the folder should be");
        registerAvsFilesCommand();
        EXPECT_TRUE(blocked.prompts.lines().startsWith("#error: ") &&
                    blocked.prompts.lines().contains("config"))
            << blocked.prompts.lines().toStdString();
        EXPECT_EQ(blocked.prompts.shown.size(), 1u);
    }
    XdgFolders packaged;
    packaged.dir.write("system/applications/clipwright.desktop",
                       "[Desktop Entry]\nExec=\"" + QCoreApplication::applicationFilePath().toStdString() +
                           "\" -i %f\nMimeType=text/x-avisynth;\n");
    registerAvsFilesCommand();
    EXPECT_EQ(packaged.prompts.lines(),
              "Information: .avs files are already registered with Clipwright by its "
              "installed package; Clipwright is now their default application");
}

} // namespace
} // namespace cw
