#include "ui/winsvc/c_file_dialog.h"

#include "support/ui_fixtures.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(FileDialogMask, BecomesQtFiltersThatIgnoreCaseAndNeedNoDot)
{
    EXPECT_EQ(CFileDialog::nameFilters("Avisynth script (*.avs)|*.avs|All files (*.*)|*.*"),
              (QStringList{"Avisynth script (*.avs) (*.[aA][vV][sS])", "All files (*.*) (*)"}));
    EXPECT_EQ(CFileDialog::nameFilters("Programs|*"), (QStringList{"Programs (*) (*)"}));
    EXPECT_EQ(CFileDialog::nameFilters(""), (QStringList{"All Files (*)"}));
}

TEST(FileDialog, CancelClearsTheRecordAndSetsTheCancelCode)
{
    test::ScriptedFileDialogs runner;
    CFileDialog d;
    d.setDialogMode(1);
    d.Mask = "Avisynth script (*.avs)|*.avs";
    d.title = "Open";
    d.path = "/tmp/";
    EXPECT_EQ(d.filenameText(), "");
    EXPECT_EQ(d.lastError(), 32755);
    EXPECT_TRUE(d.Mask.isEmpty());
    EXPECT_TRUE(d.title.isEmpty());
    EXPECT_TRUE(d.path.isEmpty());
    EXPECT_EQ(d.Flags, 0);
}

TEST(FileDialog, ASaveDialogAcceptsNewNamesAndAsksOnlyWhenTheFlagsSaySo)
{
    test::ScriptedFileDialogs runner;
    runner.choices = {{"/home/u/new.avs"}, {"/home/u/new.avs"}};
    CFileDialog d;
    d.setDialogMode(2);
    d.Flags = 528388;
    d.Extension = "avs";
    EXPECT_EQ(d.filenameText(), "/home/u/new.avs");
    const FileDialogRequest& r = runner.requests.front();
    EXPECT_TRUE(r.save);
    EXPECT_FALSE(r.mustExist);
    EXPECT_FALSE(r.confirmOverwrite);
    EXPECT_EQ(r.defaultSuffix, "avs");

    CFileDialog own;
    own.setDialogMode(2);
    own.filenameText();
    EXPECT_TRUE(runner.requests.back().confirmOverwrite);
}

TEST(FileDialog, ASecondDialogOpensInTheFolderOfTheFirstChoice)
{
    test::ScriptedFileDialogs runner;
    runner.choices = {{"/data/clips/take.one.avs"}, {}};
    CFileDialog d;
    d.setDialogMode(1);
    EXPECT_EQ(d.filenameText(), "/data/clips/take.one.avs");
    EXPECT_EQ(d.path, "/data/clips/");
    EXPECT_EQ(d.FileOffset, 12);
    EXPECT_EQ(d.FileTitle, "take.one.avs");
    EXPECT_EQ(d.Extension, "avs");
    EXPECT_EQ(d.ExtensionOffset, 21);
    EXPECT_TRUE(runner.requests.front().mustExist);

    d.filenameText();
    ASSERT_EQ(runner.requests.size(), 2u); // every read shows the dialog
    EXPECT_EQ(runner.requests.back().directory, "/data/clips/");
}

TEST(FileDialog, MultipleSelectionOnlyWithFlagsSetGivesAnArray)
{
    test::ScriptedFileDialogs runner;
    runner.choices = {{"/a/x.avs", "/a/y.avs"}, {"/a/x.avs", "/a/y.avs"}};
    CFileDialog defaults;
    defaults.setDialogMode(1);
    defaults.Flags = 0;
    defaults.AllowMultiSelect = true;
    EXPECT_EQ(defaults.filename(), QVariant(QString("/a/x.avs")));
    EXPECT_FALSE(runner.requests.back().multiSelect);

    CFileDialog multi;
    multi.setDialogMode(1);
    multi.AllowMultiSelect = true;
    EXPECT_EQ(multi.filename().toStringList(), (QStringList{"/a/x.avs", "/a/y.avs"}));
    EXPECT_TRUE(runner.requests.back().multiSelect);
    EXPECT_TRUE(multi.FileTitle.isEmpty());
}

TEST(FileDialog, AnUnknownModeFailsWithoutShowingAnything)
{
    test::ScriptedFileDialogs runner;
    CFileDialog d;
    d.setDialogMode(5);
    EXPECT_EQ(d.filenameText(), "");
    EXPECT_TRUE(runner.requests.empty());
    EXPECT_EQ(d.lastError(), 32755);
}

} // namespace
} // namespace cw
