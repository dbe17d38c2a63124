#include "core/base/text_file.h"

#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cw {
namespace {

TEST(WriteTextFile, AppendsTheLineEndReplacesWholeFilesAndReadsBack)
{
    test::TempDir dir;
    const auto path = dir.file("a.avs");
    EXPECT_EQ(writeTextFile(path, "Blur(1.0)"), "");
    EXPECT_EQ(dir.read("a.avs"), "Blur(1.0)\r\n");
    EXPECT_EQ(writeTextFile(path, std::string("a\0b", 3), "\n"), "");
    EXPECT_EQ(dir.read("a.avs"), std::string("a\0b\n", 4));
    EXPECT_EQ(readFileBytes(path), std::string("a\0b\n", 4));
    EXPECT_FALSE(readFileBytes(dir.file("nope")).has_value());
    EXPECT_FALSE(readFileBytes(dir.path()).has_value());
    EXPECT_EQ(readFileBytes(dir.write("empty", "")), std::string());
}

TEST(WriteTextFile, KeepsLinksAndPermissionBitsAndLeavesNoTemporaryFiles)
{
    test::TempDir dir;
    const auto target = dir.write("real.avs", "old");
    ::chmod(target.c_str(), 0640);
    const auto link = dir.file("link.avs");
    ASSERT_EQ(::symlink("real.avs", link.c_str()), 0);

    EXPECT_EQ(writeTextFile(link, "new"), "");
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(dir.read("real.avs"), "new\r\n");
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    std::size_t entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.exists() ? 1 : 0;
    EXPECT_EQ(entries, 2u);
}

TEST(WriteTextFile, FailureNamesThePathAndTheReason)
{
    test::TempDir dir;
    const auto path = dir.file("missing-folder/a.avs");
    const auto error = writeTextFile(path, "x");
    EXPECT_NE(error.find(path), std::string::npos);
    EXPECT_NE(error.find("No such file or directory"), std::string::npos);
}

} // namespace
} // namespace cw
