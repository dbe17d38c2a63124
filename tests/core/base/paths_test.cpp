#include "core/base/paths.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace cw {
namespace {

EnvLookup envOf(const std::map<std::string, std::string>& vars)
{
    return [vars](const char* name) -> const char* {
        const auto it = vars.find(name);
        return it == vars.end() ? nullptr : it->second.c_str();
    };
}

TEST(Paths, ExtensionExistenceAndProgramFolder)
{
    EXPECT_EQ(fileExtension("/home/u/Script.AVS"), "avs");
    EXPECT_EQ(fileExtension("/home/u/a.xml.xml"), "xml");
    EXPECT_EQ(fileExtension("/home/my.folder/noext"), "folder/noext"); // the last dot anywhere in the path
    EXPECT_EQ(fileExtension("trailing."), "");
    test::TempDir dir;
    const auto file = dir.write("f", "x");
    EXPECT_TRUE(fileExists(file));
    EXPECT_FALSE(folderExists(file));
    EXPECT_TRUE(folderExists(dir.path()));
    EXPECT_FALSE(fileExists(dir.path()));
    EXPECT_FALSE(fileExists(""));
    EXPECT_EQ(programFolder(envOf({{"CLIPWRIGHT_HOME", "/opt/cw"}})), "/opt/cw");
    EXPECT_FALSE(programFolder(envOf({})).empty());
}

TEST(Paths, AnInstalledCopyKeepsTheSettingsInTheUsersFolderEvenWhenItCouldWriteItsOwn)
{
    test::TempDir program, config;
    const EnvLookup env = envOf({{"XDG_CONFIG_HOME", config.path()}, {"HOME", "/nonexistent"}});
    EXPECT_EQ(settingsFolder(program.path(), env), program.path());

    program.write(settingsSeedName, "#configuration\r\n");
    EXPECT_EQ(settingsFolder(program.path(), env), config.file("clipwright"));
    EXPECT_TRUE(folderExists(config.file("clipwright")));
    EXPECT_EQ(settingsFolder(program.path(), envOf({{"HOME", config.path()}})), config.file(".config/clipwright"));
}

TEST(TempFolder, PrefersTempThenTmpThenAPrivateFolderOfThisUser)
{
    test::TempDir a, b;
    EXPECT_EQ(chooseTempFolder(envOf({{"TEMP", a.path()}, {"TMP", b.path()}})), a.path());
    EXPECT_EQ(chooseTempFolder(envOf({{"TEMP", a.path() + "/missing"}, {"TMP", b.path()}})), b.path());

    const auto folder = chooseTempFolder(envOf({{"TMPDIR", a.path()}}));
    EXPECT_EQ(folder, a.path() + "/clipwright-" + std::to_string(::getuid()));
    // A folder that others may write into is closed before use.
    ::chmod(folder.c_str(), 0777);
    EXPECT_EQ(chooseTempFolder(envOf({{"TMPDIR", a.path()}})), folder);
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

} // namespace
} // namespace cw
