#include "core/config/properties_manager.h"

#include "support/temp_dir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>
#include <sys/stat.h>

namespace cw {
namespace {

class PropertiesFile : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string path = dir.file("conf.properties");
    CPropertiesManager pm;
};

TEST_F(PropertiesFile, MissingFileReadsEmptyAndFirstWriteCreatesIt)
{
    EXPECT_EQ(pm.readPropertie(path, "external.player"), "");
    EXPECT_EQ(pm.writePropertie(path, "Splitter1.Tile.Percent", "25"), "");
    EXPECT_EQ(dir.read("conf.properties"), "splitter1.tile.percent=25\r\n");
}

TEST_F(PropertiesFile, WriteSortsWholeLinesIgnoringCaseAndKeepsOtherLines)
{
    dir.write("conf.properties", "zeta=1\r\n#configuration\r\n\r\nno equals here\r\nMixed.Key=v\r\n");
    pm.writePropertie(path, "alpha", "2");
    EXPECT_EQ(dir.read("conf.properties"),
              "\r\n#configuration\r\nalpha=2\r\nMixed.Key=v\r\nno equals here\r\nzeta=1\r\n");
    // The key with capitals is not the lower-case key the program uses.
    EXPECT_EQ(pm.readPropertie(path, "mixed.key"), "");
    EXPECT_EQ(pm.readPropertie(path, "Mixed.Key"), "v");
}

TEST_F(PropertiesFile, ShutdownWritesGiveTheDocumentedFirstRunFile)
{
    dir.write("conf.properties", "#configuration\r\n");
    pm.writePropertie(path, "splitter1.tile.percent", "25");
    pm.writePropertie(path, "splitter2.tile.percent", "80");
    pm.writePropertie(path, "hide.uncategorized.filters", "false");
    pm.writePropertie(path, "filters.view.mode", "1");
    EXPECT_EQ(dir.read("conf.properties"), "#configuration\r\nfilters.view.mode=1\r\n"
                                           "hide.uncategorized.filters=false\r\n"
                                           "splitter1.tile.percent=25\r\nsplitter2.tile.percent=80\r\n");
}

TEST_F(PropertiesFile, ValuesKeepEveryEqualsSignAndBlanks)
{
    pm.writePropertie(path, "external.player", "/opt/a=b/player  ");
    EXPECT_EQ(pm.readPropertie(path, "external.player"), "/opt/a=b/player  ");
    dir.write("conf.properties", "external.player =x\r\n");
    EXPECT_EQ(pm.readPropertie(path, "external.player"), "");
}

TEST_F(PropertiesFile, DuplicateKeysReplaceOnlyTheFirstAndReadTheFirstAfterSorting)
{
    dir.write("conf.properties", "k=b\r\nk=a\r\n");
    pm.writePropertie(path, "k", "z");
    EXPECT_EQ(dir.read("conf.properties"), "k=a\r\nk=z\r\n");
    EXPECT_EQ(pm.readPropertie(path, "k"), "a");
}

TEST_F(PropertiesFile, EqualLinesKeepTheirOrderAndLfFilesAreRead)
{
    std::vector<std::string> lines{"b", "A", "a", "_x", "B"};
    CPropertiesManager::sortCol(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"_x", "A", "a", "b", "B"}));

    dir.write("conf.properties", "x=1\ny=2");
    EXPECT_EQ(pm.readPropertie(path, "y"), "2");
}

TEST_F(PropertiesFile, CommentsAreAppendedOrPlacedBeforeEveryOccurrence)
{
    EXPECT_EQ(pm.writeComment(path, "never created"), "");
    EXPECT_FALSE(std::ifstream(path).good());

    dir.write("conf.properties", "a.key=1\r\nb=a.key\r\n");
    pm.writeKeyComment(path, "a.key", "note");
    EXPECT_EQ(dir.read("conf.properties"), "#note\r\na.key=1\r\nb=#note\r\na.key\r\n");
    pm.writeComment(path, "end");
    EXPECT_EQ(dir.read("conf.properties").substr(dir.read("conf.properties").size() - 6), "#end\r\n");
}

TEST_F(PropertiesFile, FailedWriteLeavesTheOldFileWhole)
{
    if (::geteuid() == 0) {
        // root writes through any mode bits; a missing folder fails for everyone.
        const std::string gone = dir.file("no/such/folder/conf.properties");
        EXPECT_NE(pm.writePropertie(gone, "a", "1").find("No such file"), std::string::npos);
        return;
    }
    dir.write("conf.properties", "#configuration\r\n");
    ::chmod(dir.path().c_str(), 0500);
    const auto reason = pm.writePropertie(path, "a", "1");
    ::chmod(dir.path().c_str(), 0700);
    EXPECT_NE(reason.find(path), std::string::npos);
    EXPECT_EQ(dir.read("conf.properties"), "#configuration\r\n");
}

} // namespace
} // namespace cw
