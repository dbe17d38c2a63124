#include "core/config/settings.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(Settings, AMissingFileIsCreatedAndGivesEveryDefault)
{
    test::TempDir dir;
    Settings settings(dir.path(), dir.file("conf.properties"));
    settings.read();
    EXPECT_EQ(settings.viewMode(), 1);
    EXPECT_FALSE(settings.hideUncategorized());
    EXPECT_EQ(settings.tilePercent1(), 25);
    EXPECT_EQ(settings.tilePercent2(), 80);
    EXPECT_EQ(settings.definitionSet(), "");
    EXPECT_EQ(settings.recentFiles(), RecentFiles{});

    EXPECT_EQ(settings.createWhenMissing(), "");
    EXPECT_EQ(dir.read("conf.properties"), "#configuration\r\n");
    EXPECT_EQ(settings.definitionFolders().program, dir.path() + "/def");
}

// An installed copy starts each user with its read-only seed, byte for byte.
TEST(Settings, AFirstStartCopiesTheProgramFoldersSeed)
{
    test::TempDir program, user;
    const std::string seed = "#configuration\r\navisynth.def.path=3.7\r\n";
    program.write(settingsSeedName, seed);
    Settings seeded(program.path(), user.file("conf.properties"));
    EXPECT_EQ(seeded.createWhenMissing(), "");
    EXPECT_EQ(user.read("conf.properties"), seed);

    Settings unwritable(program.path(), user.file("missing/folder/conf.properties"));
    const std::string error = unwritable.createWhenMissing();
    EXPECT_NE(error.find(user.file("missing/folder")), std::string::npos) << error;
}

TEST(Settings, ReadsEveryValueFromOneReadWithItsFallbacks)
{
    test::TempDir dir;
    const std::string file = dir.write("conf.properties",
                                       "#configuration\r\n"
                                       "external.player=/opt/a=b/player\r\n"
                                       "filters.view.mode=2\r\n"
                                       "hide.uncategorized.filters=True\r\n"
                                       "avisynth.def.path=3.7\r\n"
                                       "splitter1.tile.percent=4\r\n"
                                       "splitter2.tile.percent=60\r\n"
                                       "recent.file.2=/s/2.avs\r\n"
                                       "recent.file.4=/s/4.avs\r\n"
                                       "Recent.file.1=/s/ignored.avs\r\n");
    Settings settings(dir.path(), file);
    settings.read();
    EXPECT_EQ(settings.externalPlayer(), "/opt/a=b/player");
    EXPECT_EQ(settings.viewMode(), 2);
    EXPECT_FALSE(settings.hideUncategorized());
    EXPECT_EQ(settings.definitionSet(), "3.7");
    EXPECT_EQ(settings.tilePercent1(), 25);
    EXPECT_EQ(settings.tilePercent2(), 60);
    EXPECT_EQ(settings.recentFiles(), (RecentFiles{"", "/s/2.avs", "", "/s/4.avs"}));
}

// The closing writes leave a sorted file whose empty recent slots keep
// whatever line the file had for them.
TEST(Settings, OnCloseWritesTheClosingValuesSortedAndReportsAFailure)
{
    test::TempDir dir;
    Settings settings(dir.path(), dir.write("conf.properties", "#configuration\r\nrecent.file.2=/old/2.avs\r\n"));
    EXPECT_EQ(settings.writeOnClose({{"/s/1.avs", "", "/s/3.avs", ""}, 30, 75, true, 2}), "");
    EXPECT_EQ(dir.read("conf.properties"), "#configuration\r\n"
                                           "filters.view.mode=2\r\n"
                                           "hide.uncategorized.filters=true\r\n"
                                           "recent.file.1=/s/1.avs\r\n"
                                           "recent.file.2=/old/2.avs\r\n"
                                           "recent.file.3=/s/3.avs\r\n"
                                           "splitter1.tile.percent=30\r\n"
                                           "splitter2.tile.percent=75\r\n");

    Settings unwritable(dir.path(), dir.file("no/such/folder/conf.properties"));
    EXPECT_NE(unwritable.writeOnClose({}), "");
    EXPECT_NE(unwritable.writeDefinitionSet("3.7"), "");
}

} // namespace
} // namespace cw

namespace cw {
namespace {

// A script's bookmarks live under a hash of its path, only while it has any;
// the reload choice and the source filter read back with their defaults.
TEST(Settings, PreviewChoicesRoundTripAndEmptyBookmarksLeaveNoLine)
{
    test::TempDir dir;
    const std::string file = dir.write("conf.properties", "#configuration\r\n");
    Settings settings(dir.path(), file);
    settings.read();
    EXPECT_FALSE(settings.keepFrameOnReload());
    EXPECT_EQ(settings.sourceFilter(), "FFVideoSource");
    EXPECT_EQ(settings.bookmarks("/s/a.avs"), BookmarkSet{});
    EXPECT_EQ(settings.writeBookmarks("/s/a.avs", {}), "");
    EXPECT_EQ(dir.read("conf.properties"), "#configuration\r\n");

    EXPECT_EQ(settings.writeBookmarks("/s/a.avs", {300, 12, 40}), "");
    EXPECT_EQ(settings.writeBookmarks("/s/b c.avs", {0}), "");
    EXPECT_EQ(settings.writeKeepFrameOnReload(true), "");
    dir.write("conf.properties", dir.read("conf.properties") + "source.filter=LWLibavVideoSource\r\n" +
                                     bookmarksKey("/s/bad.avs") + "=x,,7,-3,\r\n");
    Settings again(dir.path(), file);
    again.read();
    EXPECT_EQ(again.bookmarks("/s/a.avs"), (BookmarkSet{12, 40, 300}));
    EXPECT_EQ(again.bookmarks("/s/b c.avs"), BookmarkSet{0});
    EXPECT_EQ(again.bookmarks("/s/bad.avs"), BookmarkSet{7});
    EXPECT_EQ(again.bookmarks("/s/A.avs"), BookmarkSet{});
    EXPECT_TRUE(again.keepFrameOnReload());
    EXPECT_EQ(again.sourceFilter(), "LWLibavVideoSource");
    EXPECT_NE(dir.read("conf.properties").find(bookmarksKey("/s/a.avs") + "=12,40,300\r\n"), std::string::npos);

    EXPECT_EQ(again.writeBookmarks("/s/a.avs", {}), "");
    EXPECT_EQ(dir.read("conf.properties").find(bookmarksKey("/s/a.avs")), std::string::npos);
    EXPECT_EQ(bookmarksKey("/s/a.avs"), bookmarksKey("/s/a.avs"));
    EXPECT_EQ(bookmarksKey("/s/a.avs").size(), std::string("preview.bookmarks.").size() + 16);
}

} // namespace
} // namespace cw
