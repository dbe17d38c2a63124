#include "definition_files.h"
#include "support/ui_fixtures.h"
#include "ui/app/form1.h"
#include "ui/browser/filter_tree.h"
#include "ui/editor/code_sense.h"

#include <QAction>
#include <QTextEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace cw {
namespace {

using test::filterXml;
using test::pluginXml;

// A main window whose program folder holds the definition set "3.7".
struct BrowserForm : test::FormFixture {
    explicit BrowserForm(const std::string& settings)
        : FormFixture([&settings](const test::TempDir& dir) {
              test::writeDefinitions(
                  dir, "def/3.7",
                  {{"Alpha", pluginXml(filterXml("Blur", "Effects", test::parameterXml("radius", "float"))
                                       + filterXml("Crop", ""))},
                   {"Lonely", pluginXml("")}});
              dir.write("conf.properties", "avisynth.def.path=3.7\r\n" + settings);
          }),
          tree(form->findChild<QTreeWidget*>("TreeView1")), pane(form->findChild<QTextEdit*>("DescriptionBox"))
    {
    }

    QStringList topLevelTexts() const
    {
        QStringList texts;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) texts << tree->topLevelItem(i)->text(0);
        return texts;
    }
    QTreeWidgetItem* node(const QString& text) const
    {
        return tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    }
    // Checked and enabled states of the three Filters commands, upper case when set.
    std::string menuStates() const
    {
        std::string states;
        for (const char* name : {"mnuSortByPlugin", "mnuSortByCategory", "mnuHideUnCategorizedFilters"}) {
            const QAction* a = form->command(QString::fromUtf8(name));
            states += std::string{a->isChecked() ? 'C' : 'c', a->isEnabled() ? 'E' : 'e', ' '};
        }
        return states;
    }
    void trigger(const char* command) { form->command(command)->trigger(); }

    QTreeWidget* tree;
    QTextEdit* pane;
};

TEST(FilterBrowser, TheFiltersMenuSwitchesViewsAndTheHideFlagAndBothAreSaved)
{
    BrowserForm f("");
    EXPECT_EQ(f.topLevelTexts(), QStringList({"Alpha", "Lonely"}));
    EXPECT_EQ(f.menuStates(), "CE cE ce ");
    const struct {
        const char* command;
        QStringList topLevel;
        std::string menu;
    } steps[] = {
        {"mnuSortByCategory", {"???", "Effects"}, "cE CE cE "},
        {"mnuHideUnCategorizedFilters", {"Effects"}, "cE CE CE "},
        {"mnuSortByPlugin", {"Alpha", "Lonely"}, "CE cE Ce "},
        {"mnuSortByPlugin", {"Alpha", "Lonely"}, "CE cE Ce "},
    };
    for (const auto& step : steps) {
        f.trigger(step.command);
        EXPECT_EQ(f.topLevelTexts(), step.topLevel) << step.command;
        EXPECT_EQ(f.menuStates(), step.menu) << step.command;
    }
    EXPECT_NE(f.node("Crop"), nullptr);

    f.form->close();
    EXPECT_NE(f.settingsFile().find("filters.view.mode=1\r\n"), std::string::npos);
    EXPECT_NE(f.settingsFile().find("hide.uncategorized.filters=true\r\n"), std::string::npos);

    BrowserForm saved("filters.view.mode=2\r\nhide.uncategorized.filters=true\r\n");
    EXPECT_EQ(saved.topLevelTexts(), QStringList({"Effects"}));
    EXPECT_EQ(saved.menuStates(), "cE CE CE ");
}

TEST(FilterBrowser, OnlyFilterLeavesAreDescribedAndOnlyLeavesAreInserted)
{
    BrowserForm f("filters.view.mode=2\r\n");
    const auto click = [&f](const char* text) {
        f.pane->setPlainText("before");
        emit f.tree->itemClicked(f.node(text), 0);
        return f.pane->toPlainText();
    };
    const auto doubleClick = [&f](const char* text) {
        emit f.tree->itemDoubleClicked(f.node(text), 0);
        return f.form->codeSense()->text();
    };
    EXPECT_EQ(click("Effects"), "before");
    EXPECT_EQ(click("???"), "before");
    EXPECT_TRUE(click("Blur").startsWith("Blur(radius)\n"));
    EXPECT_EQ(doubleClick("Effects"), "");
    EXPECT_EQ(doubleClick("???"), "");
    EXPECT_EQ(doubleClick("Crop"), "Crop");

    f.trigger("mnuSortByPlugin");
    EXPECT_EQ(click("Lonely"), "before");
    EXPECT_EQ(doubleClick("Alpha"), "Crop");
    EXPECT_EQ(doubleClick("Lonely"), "CropLonely"); // the caret follows each insertion
}

} // namespace
} // namespace cw
