#include "core/documents/document_state.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(DocumentState, TitleMarksUnsavedChangesOfAnUntitledOrNamedScript)
{
    DocumentState doc;
    EXPECT_EQ(doc.title("App"), "App - [Untitled]");
    doc.setModified(true);
    EXPECT_EQ(doc.title("App"), "App - [Untitled*]");
    EXPECT_EQ(doc.saveChangesQuestion(), "Save changes to Untitled?");
    EXPECT_TRUE(doc.saveNeedsPath(true));

    doc.saved("/s/a.avs");
    EXPECT_EQ(doc.title("App"), "App - [/s/a.avs]");
    EXPECT_FALSE(doc.saveChangesQuestion());
    EXPECT_FALSE(doc.saveNeedsPath(true));
    EXPECT_TRUE(doc.saveNeedsPath(false)); // the file vanished
    doc.setModified(true);
    EXPECT_EQ(doc.title("App"), "App - [/s/a.avs*]");
    EXPECT_EQ(doc.saveChangesQuestion(), "Save changes to /s/a.avs?");
}

// Saving under a new name does not add to the recent files; loading does.
TEST(DocumentState, OnlyLoadingFeedsTheRecentFiles)
{
    DocumentState doc;
    doc.setRecentFiles({"/s/1.avs", "", "", ""});
    doc.saved("/s/new.avs");
    EXPECT_EQ(doc.recentFiles(), (RecentFiles{"/s/1.avs", "", "", ""}));
    doc.setModified(true);
    EXPECT_TRUE(doc.loaded("/s/2.avs"));
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.currentFile(), "/s/2.avs");
    EXPECT_FALSE(doc.loaded("/s/1.avs"));
    EXPECT_EQ(doc.recentFiles(), (RecentFiles{"/s/2.avs", "/s/1.avs", "", ""}));
    doc.forgetFile();
    EXPECT_EQ(doc.title("App"), "App - [Untitled]");
}

} // namespace
} // namespace cw
