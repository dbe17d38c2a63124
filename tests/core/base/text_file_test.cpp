#include "core/base/text_file.h"

#include "core/base/paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

#include <csignal>
#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace cw {
namespace {

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

struct stat statOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

TEST(WriteTextFile, EndsWithOneLineEndWithoutAddingASecond)
{
    const struct {
        std::string text;
        const char* lineEnd;
        std::string written;
    } rows[] = {
        {"Blur(1.0)", "\r\n", "Blur(1.0)\r\n"},
        {"a\r\nb\r\n", "\r\n", "a\r\nb\r\n"},
        {"a\n", "\r\n", "a\n"},
        {"a\r", "\r\n", "a\r"},
        {"a\r\n\r\n", "\n", "a\r\n\r\n"},
        {std::string("a\0b", 3), "\n", std::string("a\0b\n", 4)},
        {"", "\r\n", "\r\n"},
    };
    test::TempDir dir;
    const auto path = dir.file("a.avs");
    for (const auto& row : rows) {
        EXPECT_EQ(writeTextFile(path, row.text, row.lineEnd), "");
        EXPECT_EQ(readFileBytes(path), row.written);
    }
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.avs"});
}

TEST(ReadFileBytes, ReadsOnlyRegularFilesAndNeverWaitsOnAPipe)
{
    test::TempDir dir;
    const auto fifo = dir.file("pipe.avs");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        std::string error;
    } rows[] = {
        {dir.write("empty", ""), ""},
        {fifo, fifo + " is not a regular file"},
        {"/dev/zero", "/dev/zero is not a regular file"},
        {dir.path(), dir.path() + " is not a regular file"},
        {dir.file("nope"), dir.file("nope") + ": No such file or directory"},
    };
    for (const auto& row : rows) {
        const auto outcome = test::runInChild([&] {
            std::string error;
            const auto bytes = readFileBytes(row.path, &error);
            return bytes ? "read " + *bytes : error;
        });
        EXPECT_EQ(outcome, row.error.empty() ? "read " : row.error) << row.path;
    }
}

TEST(WriteFile, FollowsAndKeepsLinksKeepsPermissionBitsAndLeavesNoTemporaryFiles)
{
    test::TempDir dir;
    const auto target = dir.write("real.avs", "old");
    ::chmod(target.c_str(), 0640);
    const auto link = dir.file("link.avs");
    ASSERT_EQ(::symlink("real.avs", link.c_str()), 0);

    EXPECT_EQ(writeTextFile(link, "new"), "");
    EXPECT_TRUE(S_ISLNK(statOf(link).st_mode));
    EXPECT_EQ(dir.read("real.avs"), "new\r\n");
    EXPECT_EQ(statOf(target).st_mode & 07777, 0640u);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"link.avs", "real.avs"}));
}

TEST(WriteFile, ReadOnlyFilesAndSpecialFilesAreRefusedAndLeftAsTheyAre)
{
    test::TempDir dir;
    const auto readOnly = dir.write("ro.avs", "old");
    ::chmod(readOnly.c_str(), 0444);
    const auto linkToReadOnly = dir.file("link.avs");
    ASSERT_EQ(::symlink("ro.avs", linkToReadOnly.c_str()), 0);
    const auto fifo = dir.file("pipe.avs");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto folder = dir.file("folder.avs");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);

    const struct {
        std::string path;
        WriteFailure failure;
        std::string message;
    } rows[] = {
        {readOnly, WriteFailure::ReadOnly, readOnly + ": the file is read-only"},
        {linkToReadOnly, WriteFailure::ReadOnly, linkToReadOnly + ": the file is read-only"},
        {fifo, WriteFailure::Other, fifo + " is not a regular file"},
        {folder, WriteFailure::Other, folder + " is not a regular file"},
    };
    for (const auto& row : rows) {
        const auto outcome = test::runInChild([&] {
            const WriteResult result = writeFile(row.path, "new\r\n");
            return std::to_string(static_cast<int>(result.failure)) + " " + result.message;
        });
        EXPECT_EQ(outcome, std::to_string(static_cast<int>(row.failure)) + " " + row.message);
    }
    EXPECT_EQ(dir.read("ro.avs"), "old");
    EXPECT_EQ(statOf(readOnly).st_mode & 07777, 0444u);
    EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode));
    EXPECT_EQ(namesIn(dir.path()),
              (std::vector<std::string>{"folder.avs", "link.avs", "pipe.avs", "ro.avs"}));
}

TEST(WriteFile, EveryHardLinkSeesTheNewText)
{
    test::TempDir dir;
    const auto first = dir.write("a.avs", "old text");
    const auto second = dir.file("b.avs");
    ASSERT_EQ(::link(first.c_str(), second.c_str()), 0);
    const ino_t inode = statOf(first).st_ino;

    for (const std::string text : {"a longer new text\r\n", "short\r\n"}) {
        EXPECT_EQ(writeFileAtomically(second, text), "");
        EXPECT_EQ(dir.read("a.avs"), text);
        EXPECT_EQ(dir.read("b.avs"), text);
        EXPECT_EQ(statOf(first).st_ino, inode);
    }
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"a.avs", "b.avs"}));
}

TEST(WriteFile, OwnerAndGroupAreKept)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files to other users";
    test::TempDir dir;
    ::chmod(dir.path().c_str(), 0777);

    // Root can give the new file back to its owner.
    const auto rootSaves = dir.write("nobody.avs", "old");
    ASSERT_EQ(::chown(rootSaves.c_str(), 65534, 65534), 0);
    ::chmod(rootSaves.c_str(), 0640);
    EXPECT_EQ(writeFileAtomically(rootSaves, "new"), "");

    // A user saving another user's group-writable file cannot, so the text
    // goes in place instead of making the file theirs.
    const auto userSaves = dir.write("shared.avs", "old");
    ASSERT_EQ(::chown(userSaves.c_str(), 1234, 65534), 0);
    ::chmod(userSaves.c_str(), 0664);
    const auto outcome = test::runInChild([&] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            return std::string("cannot become another user");
        return writeFileAtomically(userSaves, "new");
    });
    EXPECT_EQ(outcome, "");

    for (const auto& [path, uid, mode] : {std::tuple{rootSaves, 65534u, 0640u}, {userSaves, 1234u, 0664u}}) {
        const struct stat st = statOf(path);
        EXPECT_EQ(st.st_uid, uid) << path;
        EXPECT_EQ(st.st_gid, 65534u) << path;
        EXPECT_EQ(st.st_mode & 07777, mode) << path;
    }
    EXPECT_EQ(dir.read("nobody.avs"), "new");
    EXPECT_EQ(dir.read("shared.avs"), "new");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"nobody.avs", "shared.avs"}));
}

// A file size limit makes every write past it fail, as a full disk would.
TEST(WriteFile, AWriteThatFailsMidwayLeavesTheOldTextWhole)
{
    test::TempDir dir;
    const auto plain = dir.write("plain.avs", "old text");
    const auto linked = dir.write("linked.avs", "old text");
    ASSERT_EQ(::link(linked.c_str(), dir.file("other.avs").c_str()), 0);

    for (const auto& path : {plain, linked}) {
        const auto outcome = test::runInChild([&] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{100, 100};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            return writeFileAtomically(path, std::string(1000, 'x'));
        });
        EXPECT_EQ(outcome, path + ": File too large");
    }
    EXPECT_EQ(dir.read("plain.avs"), "old text");
    EXPECT_EQ(dir.read("linked.avs"), "old text");
    EXPECT_EQ(dir.read("other.avs"), "old text");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"linked.avs", "other.avs", "plain.avs"}));
}

// The finished copy fits on the disk, but growing the linked file to the new
// size does not: the save must stop before overwriting the old text.
TEST(WriteFile, AFullDiskStopsAnInPlaceSaveBeforeTheOldTextIsTouched)
{
    test::TempDir dir;
    const auto disk = dir.file("disk");
    ASSERT_EQ(::mkdir(disk.c_str(), 0700), 0);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small disk here";
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{disk};

    const std::string old(8192, 'o');
    const auto first = dir.write("disk/a.avs", old);
    ASSERT_EQ(::link(first.c_str(), (disk + "/b.avs").c_str()), 0);
    struct statvfs fs {};
    ASSERT_EQ(::statvfs(disk.c_str(), &fs), 0);
    const std::string text(fs.f_bavail * fs.f_frsize, 'n');
    ASSERT_GT(text.size(), old.size());

    const std::string error = writeFileAtomically(disk + "/b.avs", text);
    EXPECT_EQ(error, disk + "/b.avs: No space left on device");
    EXPECT_EQ(dir.read("disk/a.avs"), old);
    EXPECT_EQ(dir.read("disk/b.avs"), old);
    EXPECT_EQ(namesIn(disk), (std::vector<std::string>{"a.avs", "b.avs"}));
}

// The preview script: a shared TEMP is passed over, and even in the private
// folder a link under the script's name is replaced, never written through.
TEST(WriteFile, PreviewScriptNeverFollowsAPlantedLink)
{
    test::TempDir shared, tmpdir, victims;
    ASSERT_EQ(::chmod(shared.path().c_str(), 01777), 0);
    const auto victim = victims.write("victim", "20 bytes of the user");
    ASSERT_EQ(::symlink(victim.c_str(), shared.file("preview.avs").c_str()), 0);

    const TempFolder chosen = chooseTempFolder([&](const char* name) -> const char* {
        const std::string var = name;
        return var == "TEMP" ? shared.path().c_str() : var == "TMPDIR" ? tmpdir.path().c_str() : nullptr;
    });
    ASSERT_EQ(chosen.path, tmpdir.path() + "/clipwright-" + std::to_string(::getuid()));
    const std::string script = chosen.path + "/preview.avs";
    ASSERT_EQ(::symlink(victim.c_str(), script.c_str()), 0);

    EXPECT_EQ(writeTextFile(script, "Version()", "\r\n", WriteMode::Replace), "");
    EXPECT_EQ(victims.read("victim"), "20 bytes of the user");
    EXPECT_TRUE(S_ISLNK(statOf(shared.file("preview.avs")).st_mode));
    EXPECT_TRUE(S_ISREG(statOf(script).st_mode));
    EXPECT_EQ(readFileBytes(script), "Version()\r\n");
}

TEST(WriteFile, FailureNamesThePathAndTheReason)
{
    test::TempDir dir;
    const auto path = dir.file("missing-folder/a.avs");
    const WriteResult result = writeFile(path, "x");
    EXPECT_EQ(result.failure, WriteFailure::Other);
    EXPECT_EQ(result.message, path + ": No such file or directory");
}

} // namespace
} // namespace cw
