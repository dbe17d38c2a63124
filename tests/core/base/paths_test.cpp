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
    EXPECT_EQ(chooseTempFolder(envOf({{"TEMP", a.path()}, {"TMP", b.path()}})).path, a.path());
    EXPECT_EQ(chooseTempFolder(envOf({{"TEMP", a.path() + "/missing"}, {"TMP", b.path()}})).path, b.path());

    const TempFolder own = chooseTempFolder(envOf({{"TMPDIR", a.path()}}));
    EXPECT_EQ(own.path, a.path() + "/clipwright-" + std::to_string(::getuid()));
    EXPECT_EQ(tempFolderNotice(own), "");
    // A folder that others may write into is closed before use.
    ::chmod(own.path.c_str(), 0777);
    EXPECT_EQ(chooseTempFolder(envOf({{"TMPDIR", a.path()}})).path, own.path);
    struct stat st {};
    ASSERT_EQ(::stat(own.path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(TempFolder, FoldersOthersCanWriteToOrOwnArePassedOver)
{
    test::TempDir tmpdir, mine;
    const std::string own = tmpdir.path() + "/clipwright-" + std::to_string(::getuid());
    const struct {
        const char* name;
        mode_t mode;
        bool otherOwner;
    } rows[] = {
        {"shared like /tmp", 01777, false},
        {"group-writable", 0770, false},
        {"writable by all", 0777, false},
        {"another user's", 0700, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempDir shared;
        ASSERT_EQ(::chmod(shared.path().c_str(), row.mode), 0);
        if (row.otherOwner && (::geteuid() != 0 || ::chown(shared.path().c_str(), 65534, 65534) != 0))
            continue;

        const TempFolder alone =
            chooseTempFolder(envOf({{"TEMP", shared.path()}, {"TMPDIR", tmpdir.path()}}));
        EXPECT_EQ(alone.path, own);
        EXPECT_EQ(alone.passedOver, shared.path());
        EXPECT_EQ(tempFolderNotice(alone),
                  shared.path() + " is shared with other users: temporary files go to " + own);

        const TempFolder next = chooseTempFolder(
            envOf({{"TEMP", shared.path()}, {"TMP", mine.path()}, {"TMPDIR", tmpdir.path()}}));
        EXPECT_EQ(next.path, mine.path());
        EXPECT_EQ(next.passedOver, shared.path());
    }
}

TEST(TempFolder, ALinkPlantedAsThePrivateFolderIsRefused)
{
    test::TempDir tmpdir, elsewhere;
    const std::string own = tmpdir.path() + "/clipwright-" + std::to_string(::getuid());
    ASSERT_EQ(::symlink(elsewhere.path().c_str(), own.c_str()), 0);
    const TempFolder chosen = chooseTempFolder(envOf({{"TMPDIR", tmpdir.path()}}));
    EXPECT_EQ(chosen.path, "");
    EXPECT_EQ(tempFolderNotice(chosen), "");
}

} // namespace
} // namespace cw
