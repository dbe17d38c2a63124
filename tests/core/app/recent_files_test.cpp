#include "core/app/recent_files.h"

#include "core/config/properties_manager.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(RecentFiles, FifthScriptDropsTheOldest)
{
    RecentFiles files;
    for (const char* name : {"/s/1.avs", "/s/2.avs", "/s/3.avs", "/s/4.avs", "/s/5.avs"})
        EXPECT_TRUE(updateRecentFiles(files, name));
    EXPECT_EQ(files, (RecentFiles{"/s/5.avs", "/s/4.avs", "/s/3.avs", "/s/2.avs"}));
}

TEST(RecentFiles, ListedPathKeepsItsPlaceButCaseMakesANewEntry)
{
    RecentFiles files{"/s/4.avs", "/s/3.avs", "/s/2.avs", ""};
    EXPECT_FALSE(updateRecentFiles(files, "/s/2.avs"));
    EXPECT_FALSE(updateRecentFiles(files, ""));
    EXPECT_EQ(files, (RecentFiles{"/s/4.avs", "/s/3.avs", "/s/2.avs", ""}));

    EXPECT_FALSE(isRecentFile(files, "/S/2.avs"));
    EXPECT_TRUE(updateRecentFiles(files, "/S/2.avs"));
    EXPECT_EQ(files, (RecentFiles{"/S/2.avs", "/s/4.avs", "/s/3.avs", "/s/2.avs"}));
}

struct MenuCase {
    RecentFiles files;
    bool enabled;
    bool separator;
    std::array<bool, 4> items;
};

class RecentFilesMenuRules : public testing::TestWithParam<MenuCase> {};

TEST_P(RecentFilesMenuRules, ShowsOnlyPaths)
{
    const MenuCase& c = GetParam();
    const RecentFilesMenu menu = recentFilesMenu(c.files);
    EXPECT_EQ(menu.submenuEnabled, c.enabled);
    if (!c.enabled) return; // the ui leaves the items as they were
    EXPECT_EQ(menu.separatorVisible, c.separator);
    EXPECT_EQ(menu.itemVisible, c.items);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecentFilesMenuRules,
    testing::Values(MenuCase{{"", "", "", ""}, false, false, {}},
                    MenuCase{{"", "", "", "/s/4.avs"}, false, false, {}},
                    MenuCase{{"/s/1.avs", "", "", ""}, true, true, {true, false, false, false}},
                    MenuCase{{"a.avs", "/s/2.avs", "b.avs", "/s/4.avs"}, true, false, {false, true, false, true}},
                    MenuCase{{"", "", "/s/3.avs", ""}, true, false, {false, false, true, false}},
                    MenuCase{{"C:\\s\\1.avs", "", "", ""}, true, false, {false, false, false, false}}));

TEST(RecentFiles, SavesOnlyFilledSlotsAndLoadsThemBack)
{
    test::TempDir dir;
    const std::string conf = dir.write("conf.properties", "recent.file.2=/old/2.avs\r\nrecent.file.4=/old/4.avs\r\n");
    CPropertiesManager properties;

    EXPECT_EQ(saveRecentFiles(properties, conf, {"/s/1.avs", "", "/s/3.avs", ""}), "");
    EXPECT_EQ(loadRecentFiles(properties, conf), (RecentFiles{"/s/1.avs", "/old/2.avs", "/s/3.avs", "/old/4.avs"}));
    EXPECT_EQ(loadRecentFiles(properties, dir.file("missing.properties")), RecentFiles{});
}

TEST(RecentFiles, SaveReportsAFailure)
{
    test::TempDir dir;
    CPropertiesManager properties;
    const std::string error = saveRecentFiles(properties, dir.file("no/such/folder/conf.properties"),
                                              {"/s/1.avs", "", "", ""});
    EXPECT_NE(error, "");
}

} // namespace
} // namespace cw
