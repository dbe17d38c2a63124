#include "core/preview/product_version.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace cw {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(VersionFromLibraryName, TakesUpToFourNumbersAfterSo)
{
    const struct {
        const char* name;
        const char* version;
    } rows[] = {
        {"libavisynth.so.3.7.5", "3.7.5.0"},  {"libavisynth.so.2.5.6.0", "2.5.6.0"},
        {"libavisynth.so.9", "9.0.0.0"},      {"libavisynth.so.1.2.3.4.5", "1.2.3.4"},
        {"libavisynth.so.65535.0", "65535.0.0.0"}, {"libavisynth.so.65536", ""},
        {"libavisynth.so.3.7.5-rc1", "3.7.5.0"}, {"libavisynth.so.007.01", "7.1.0.0"},
        {"libavisynth.so", ""},               {"libavisynth.so.", ""},
        {"libavisynth.so.x.1", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(versionFromLibraryName(row.name), row.version) << row.name;
}

class LibraryFolders : public ::testing::Test {
protected:
    std::string folder(const std::string& name)
    {
        fs::create_directories(dir.file(name));
        return dir.file(name);
    }
    void link(const std::string& target, const std::string& linkPath) { fs::create_symlink(target, dir.file(linkPath)); }
    TempDir dir;
};

// The unversioned link in any folder first, then the highest versioned name.
TEST_F(LibraryFolders, FollowsTheUnversionedLinkElseTheVersionedNames)
{
    const std::string first = folder("first"), second = folder("second"), broken = folder("broken");
    dir.write("second/libavisynth.so.3.7.5", "elf");
    link("libavisynth.so.3.7.5", "second/libavisynth.so.3");
    link("libavisynth.so.3", "second/libavisynth.so");
    dir.write("first/libavisynth.so.9.9.9", "elf");
    link("gone.so.1.2", "broken/libavisynth.so");
    EXPECT_EQ(getProductVersion({broken, first, second}), "3.7.5.0");

    const std::string libs = folder("libs"), plain = folder("plain");
    dir.write("libs/libavisynth.so.3.7.2", "elf");
    dir.write("libs/libavisynth.so.3.10.0", "elf");
    link("libavisynth.so.3.10.0", "libs/libavisynth.so.3");
    link("missing.so.9", "libs/libavisynth.so.9");
    EXPECT_EQ(getProductVersion({plain, dir.file("nowhere"), libs}), "3.10.0.0");

    dir.write("plain/libavisynth.so", "unversioned real file");
    EXPECT_EQ(getProductVersion({broken, plain}), "");
    EXPECT_EQ(getProductVersion({}), "");
}

} // namespace
} // namespace cw
