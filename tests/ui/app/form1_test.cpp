#include "ui/controls/ctl_splitter_ex.h"
#include "ui/editor/code_sense.h"

#include "support/ui_fixtures.h"

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(MainWindow, StartsUntitledWithItsPanesAtTheSavedPercentages)
{
    test::FormFixture f;
    Form1& form = *f.form;
    form.resize(1000, 700);
    form.show();
    QCoreApplication::processEvents();
    form.refreshTitle();
    EXPECT_EQ(form.windowTitle(), form.appTitle() + " - [Untitled]");
    EXPECT_TRUE(form.appTitle().startsWith("Clipwright 0.3"));

    auto* tree = form.findChild<QTreeWidget*>("TreeView1");
    auto* description = form.findChild<QTextEdit*>("DescriptionBox");
    const int clientWidth = form.centralWidget()->width();
    const int clientHeight = form.centralWidget()->height();
    EXPECT_NEAR(tree->width(), clientWidth * 0.25, 1.0);
    EXPECT_EQ(form.codeSense()->x(), tree->width() + 7);
    EXPECT_EQ(form.codeSense()->x() + form.codeSense()->width(), clientWidth);
    EXPECT_NEAR(form.splitter1()->height(), clientHeight * 0.80, 1.0);
    EXPECT_EQ(description->y(), form.splitter1()->height() + 7);
    EXPECT_EQ(description->palette().color(QPalette::Base), QColor(255, 255, 231));
    EXPECT_EQ(form.findChild<QLabel*>("StatusBar1")->text(), "Detected avisynth version: ");
    EXPECT_EQ(tree->accessibleName(), "Filters");
    EXPECT_EQ(form.codeSense()->accessibleName(), "Script");
    EXPECT_EQ(description->accessibleName(), "Description");
}

TEST(MainWindow, ResizingRelaysThePanesButNotWhileMinimized)
{
    test::FormFixture f("splitter1.tile.percent=50\r\nsplitter2.tile.percent=60\r\n");
    Form1& form = *f.form;
    form.resize(800, 600);
    form.show();
    QCoreApplication::processEvents();
    auto* tree = form.findChild<QTreeWidget*>("TreeView1");
    EXPECT_NEAR(tree->width(), form.centralWidget()->width() * 0.5, 1.0);

    form.resize(1200, 600);
    QCoreApplication::processEvents();
    EXPECT_NEAR(tree->width(), form.centralWidget()->width() * 0.5, 1.0);

    const int before = tree->width();
    form.showMinimized();
    form.resize(400, 300);
    QCoreApplication::processEvents();
    if (form.isMinimized()) {
        EXPECT_EQ(tree->width(), before);
    }
}

TEST(MainWindow, DraggingTheVerticalBarMovesTheTreeAndEditorOnly)
{
    test::FormFixture f;
    Form1& form = *f.form;
    form.resize(1000, 700);
    form.show();
    QCoreApplication::processEvents();
    auto* tree = form.findChild<QTreeWidget*>("TreeView1");
    auto* description = form.findChild<QTextEdit*>("DescriptionBox");
    const QRect descriptionBefore = description->geometry();

    ctlSplitterEx* s1 = form.splitter1();
    const int y = s1->height() / 2;
    QTest::mousePress(s1, Qt::LeftButton, {}, QPoint(tree->width() + 3, y));
    QTest::mouseMove(s1, QPoint(s1->width() / 2, y));
    QTest::mouseRelease(s1, Qt::LeftButton, {}, QPoint(s1->width() / 2, y));
    EXPECT_EQ(s1->GetTilePercent(), 50);
    EXPECT_NEAR(tree->width(), s1->width() / 2.0, 1.0);
    EXPECT_EQ(description->geometry(), descriptionBefore);
    form.close();
    EXPECT_NE(f.settingsFile().find("splitter1.tile.percent=50\r\n"), std::string::npos);
}

TEST(MainWindow, TheHideFlagKeepsItsCheckMarkButIsGreyedInThePluginView)
{
    test::FormFixture f("hide.uncategorized.filters=true\r\n");
    QAction* hide = f.form->command("mnuHideUnCategorizedFilters");
    EXPECT_TRUE(hide->isChecked());
    EXPECT_FALSE(hide->isEnabled());
    EXPECT_TRUE(f.form->command("mnuSortByPlugin")->isChecked());
    EXPECT_FALSE(f.form->command("mnuSortByCategory")->isChecked());

    test::FormFixture byCategory("filters.view.mode=2\r\n");
    EXPECT_TRUE(byCategory.form->command("mnuHideUnCategorizedFilters")->isEnabled());
    EXPECT_TRUE(byCategory.form->command("mnuSortByCategory")->isChecked());
}

} // namespace
} // namespace cw
