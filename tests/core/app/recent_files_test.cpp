#include "core/app/recent_files.h"

#include "core/config/properties_manager.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(RecentFiles, NewestFirstFifthDropsTheOldestListedKeepsItsPlaceCaseCounts)
{
    RecentFiles files;
    for (const char* name : {"/s/1.avs", "/s/2.avs", "/s/3.avs", "/s/4.avs", "/s/5.avs"})
        EXPECT_TRUE(updateRecentFiles(files, name));
    EXPECT_EQ(files, (RecentFiles{"/s/5.avs", "/s/4.avs", "/s/3.avs", "/s/2.avs"}));
    EXPECT_FALSE(updateRecentFiles(files, "/s/3.avs"));
    EXPECT_FALSE(updateRecentFiles(files, ""));
    EXPECT_EQ(files, (RecentFiles{"/s/5.avs", "/s/4.avs", "/s/3.avs", "/s/2.avs"}));
    EXPECT_FALSE(isRecentFile(files, "/S/2.avs"));
    EXPECT_TRUE(updateRecentFiles(files, "/S/2.avs"));
    EXPECT_EQ(files, (RecentFiles{"/S/2.avs", "/s/5.avs", "/s/4.avs", "/s/3.avs"}));
}

TEST(RecentFiles, MenuShowsOnlyPaths)
{
    const struct {
        RecentFiles files;
        bool enabled;
        bool separator;
        std::array<bool, 4> items;
    } rows[] = {
        {{"", "", "", ""}, false, false, {}},
        {{"", "", "", "/s/4.avs"}, false, false, {}},
        {{"/s/1.avs", "", "", ""}, true, true, {true, false, false, false}},
        {{"a.avs", "/s/2.avs", "b.avs", "/s/4.avs"}, true, false, {false, true, false, true}},
        {{"", "", "/s/3.avs", ""}, true, false, {false, false, true, false}},
        {{"C:\\s\\1.avs", "", "", ""}, true, false, {false, false, false, false}},
    };
    for (const auto& row : rows) {
        const RecentFilesMenu menu = recentFilesMenu(row.files);
        EXPECT_EQ(menu.submenuEnabled, row.enabled) << row.files[0];
        if (!row.enabled) continue; // the ui leaves the items as they were
        EXPECT_EQ(menu.separatorVisible, row.separator) << row.files[0];
        EXPECT_EQ(menu.itemVisible, row.items) << row.files[0];
    }
}

TEST(RecentFiles, SavesOnlyFilledSlotsLoadsThemBackAndReportsAFailure)
{
    test::TempDir dir;
    const std::string conf = dir.write("conf.properties", "recent.file.2=/old/2.avs\r\nrecent.file.4=/old/4.avs\r\n");
    CPropertiesManager properties;

    EXPECT_EQ(saveRecentFiles(properties, conf, {"/s/1.avs", "", "/s/3.avs", ""}), "");
    EXPECT_EQ(loadRecentFiles(properties, conf), (RecentFiles{"/s/1.avs", "/old/2.avs", "/s/3.avs", "/old/4.avs"}));
    EXPECT_EQ(loadRecentFiles(properties, dir.file("missing.properties")), RecentFiles{});
    EXPECT_NE(saveRecentFiles(properties, dir.file("no/such/folder/conf.properties"), {"/s/1.avs", "", "", ""}), "");
}

} // namespace
} // namespace cw
