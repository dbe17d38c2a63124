#include "core/app/recent_files.h"


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

} // namespace
} // namespace cw
