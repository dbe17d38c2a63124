#include "support/ui_fixtures.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace cw {
namespace {

struct Item {
    const char* name;
    const char* caption;
    const char* shortcut;
};

struct MenuRow {
    const char* name;
    const char* caption;
    std::vector<Item> items;
};

// The whole bar, top to bottom; "-" marks a separator.
const std::vector<MenuRow> expectedBar = {
    {"mnuFile", "File",
     {{"mnuFileOpen", "Open", "Ctrl+O"},
      {"mnuFileSave", "Save", "Ctrl+S"},
      {"mnuFileSaveAs", "Save As...", "F12"},
      {"sep1", "-", ""},
      {"mnuEditInsertTemplate", "Import...", ""},
      {"mnuExportSelectionAsScriptTemplate", "Export Selection As...", ""},
      {"mnuFileRFsep", "-", ""},
      {"mnuRecentFiles", "Recent files", ""},
      {"sep6", "-", ""},
      {"mnuExit", "Exit", ""}}},
    {"mnuPopup", "Edit",
     {{"mnuPopupUndo", "Undo", "Ctrl+Z"},
      {"mnuPopupRedo", "Redo", "Ctrl+Y"},
      {"sep3", "-", ""},
      {"mnuPopupCut", "Cut", "Ctrl+X"},
      {"mnuPopupCopy", "Copy", "Ctrl+C"},
      {"mnuPopupPaste", "Paste", "Ctrl+V"},
      {"mnuPopupSelectAll", "Select All", "Ctrl+A"},
      {"sep4", "-", ""},
      {"mnuCommentBlock", "Comment Block", ""},
      {"mnuUncommentBlock", "Uncomment Block", ""},
      {"sep12", "-", ""},
      {"mnuMakeSelectionLowercase", "Make Selection Lowercase", "Ctrl+U"},
      {"mnuMakeSelectionUppercase", "Make Selection Uppercase", ""},
      {"sep9", "-", ""},
      {"mnuInsertFilePath", "Insert File Path...", ""}}},
    {"mnuSearch", "Search",
     {{"mnuSearchFind", "Find", "Ctrl+F"},
      {"mnuFindNext", "Find Next", "F3"},
      {"mnuFindPrev", "Find Prev     ", "Shift+F3"},
      {"mnuSearchReplace", "Replace", "Ctrl+R"},
      {"sep10", "-", ""},
      {"mnuGotoLine", "Goto Line", "Ctrl+G"}}},
    {"mnuOptions", "Options",
     {{"mnuOptionsReloadDef", "Reload Definitions Files", ""},
      {"sep2", "-", ""},
      {"mnuOptionsRegisterAVS", "Register .avs files", ""},
      {"mnuOptionsUnRegisterAVS", "Unregister .avs files", ""}}},
    {"mnuFilters", "Filters",
     {{"mnuSortByPlugin", "View by Plugin", ""},
      {"mnuSortByCategory", "View by Category", ""},
      {"sep11", "-", ""},
      {"mnuHideUnCategorizedFilters", "Hide Uncategorized Filters", ""}}},
    {"mnuDefinitions", "Definitions", {{"mnuDefKey", "DEF", ""}}},
    {"mnuPreview", "Preview",
     {{"mnuInternalPreview", "Internal Preview", "F5"},
      {"mnuExternalPreview", "External Preview", "F6"},
      {"sep5", "-", ""},
      {"mnuChooseExternalPlayer", "Set External Player...", ""}}},
    {"mnuHelp", "Help", {{"mnuHelpWebSite", "Web site", ""}, {"mnuHelpAbout", "About", ""}}},
};

TEST(MenuBar, HoldsEveryItemWithItsNameCaptionOrderSeparatorAndShortcut)
{
    test::FormFixture f;
    const QList<QAction*> top = f.form->menuBar()->actions();
    ASSERT_EQ(top.size(), static_cast<qsizetype>(expectedBar.size() + 1));
    for (std::size_t m = 0; m < expectedBar.size(); ++m) {
        const MenuRow& row = expectedBar[m];
        QMenu* menu = top[static_cast<qsizetype>(m)]->menu();
        ASSERT_NE(menu, nullptr) << row.name;
        EXPECT_EQ(menu->objectName(), row.name);
        EXPECT_EQ(menu->title(), row.caption);
        const QList<QAction*> items = menu->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(row.items.size())) << row.name;
        for (std::size_t i = 0; i < row.items.size(); ++i) {
            const Item& want = row.items[i];
            QAction* got = items[static_cast<qsizetype>(i)];
            EXPECT_EQ(got->objectName(), want.name) << row.name << " #" << i;
            if (QString(want.caption) == "-")
                EXPECT_TRUE(got->isSeparator()) << want.name;
            else
                EXPECT_EQ(got->text(), want.caption) << want.name;
            EXPECT_EQ(got->shortcut(), QKeySequence(want.shortcut)) << want.name;
        }
    }
    QAction* back = top.last();
    EXPECT_EQ(back->objectName(), "mnuBackToOpener");
    EXPECT_EQ(back->text(), "Back to opener");
    EXPECT_EQ(back->menu(), nullptr);
}

TEST(MenuBar, RecentFilesHoldFourEmptyItemsAndEditIsTheEditorsContextMenu)
{
    test::FormFixture f;
    QMenu* recent = f.form->menu("mnuRecentFiles");
    ASSERT_NE(recent, nullptr);
    ASSERT_EQ(recent->actions().size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(recent->actions()[i]->objectName(), QString("mnuFileRF%1").arg(i + 1));
        EXPECT_TRUE(recent->actions()[i]->text().isEmpty());
    }
    EXPECT_EQ(f.form->menu("mnuPopup")->title(), "Edit");
}

TEST(MenuBar, AboutIsBuiltFromTheTitleLineEachTime)
{
    test::FormFixture f;
    f.form->command("mnuHelpAbout")->trigger();
    ASSERT_EQ(f.prompts.shown.size(), 2u); // the start-up notice, then About
    const auto& about = f.prompts.shown.back();
    EXPECT_EQ(about.icon, PromptService::Icon::Application);
    EXPECT_EQ(about.title, "About");
    EXPECT_TRUE(about.text.startsWith(f.form->appTitle() + "\r\n"));
    EXPECT_TRUE(about.text.endsWith("All rights reserved."));
}

} // namespace
} // namespace cw
