#include "ui/browser/filter_browser.h"

#include "core/defs/script_functions.h"

#include "support/definition_files.h"

#include <QAction>
#include <QSignalSpy>
#include <QTextEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace cw {
namespace {

using test::filterXml;
using test::pluginXml;

// The tree, the pane and the Filters menu's three items over a small set.
struct Browser {
    Browser()
    {
        browser.attachMenu(&byPlugin, &byCategory, &hide);
        browser.refreshFilterTree();
    }

    QStringList topLevelTexts() const
    {
        QStringList texts;
        for (int i = 0; i < tree.topLevelItemCount(); ++i)
            texts << tree.topLevelItem(i)->text(0);
        return texts;
    }
    QTreeWidgetItem* node(const QString& text) const
    {
        return tree.findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    }
    // Checked and enabled states of the three items, upper case when set.
    std::string menuStates() const
    {
        std::string states;
        for (const QAction* a : {&byPlugin, &byCategory, &hide})
            states += std::string{a->isChecked() ? 'C' : 'c', a->isEnabled() ? 'E' : 'e', ' '};
        return states;
    }

    DefinitionModel model = test::loadSet(
        {{"Alpha", pluginXml(filterXml("Blur", "Effects", test::parameterXml("radius", "float")) +
                             filterXml("Crop", ""))},
         {"Lonely", pluginXml("")}});
    QTreeWidget tree;
    QTextEdit pane;
    DefinitionModel script;
    QAction byPlugin, byCategory, hide;
    FilterBrowser browser{tree, pane, model, script};
};

TEST(FilterBrowser, TheFiltersMenuSwitchesViewsAndTheHideFlag)
{
    Browser b;
    EXPECT_EQ(b.topLevelTexts(), QStringList({"Alpha", "Lonely"}));
    EXPECT_EQ(b.menuStates(), "CE cE ce ");
    const struct {
        QAction* item;
        QStringList topLevel;
        std::string menu;
    } steps[] = {
        {&b.byCategory, {"???", "Effects"}, "cE CE cE "},
        {&b.hide, {"Effects"}, "cE CE CE "},
        // The flag keeps its check mark but is greyed in the plugin view.
        {&b.byPlugin, {"Alpha", "Lonely"}, "CE cE Ce "},
        {&b.byPlugin, {"Alpha", "Lonely"}, "CE cE Ce "},
    };
    for (const auto& step : steps) {
        step.item->trigger();
        EXPECT_EQ(b.topLevelTexts(), step.topLevel) << step.menu;
        EXPECT_EQ(b.menuStates(), step.menu);
    }
    EXPECT_NE(b.node("Crop"), nullptr);
    EXPECT_EQ(b.browser.viewMode(), 1);
    EXPECT_TRUE(b.browser.hideUncategorized());

    // The stored view and flag, as start-up gives them.
    Browser stored;
    stored.browser.setViewMode(2);
    stored.browser.setHideUncategorized(true);
    stored.browser.refreshFilterTree();
    EXPECT_EQ(stored.topLevelTexts(), QStringList({"Effects"}));
    EXPECT_EQ(stored.menuStates(), "cE CE CE ");
}

TEST(FilterBrowser, OnlyFilterLeavesAreDescribedAndOnlyLeavesAreChosen)
{
    Browser b;
    b.byCategory.trigger();
    QSignalSpy chosen(&b.browser, &FilterBrowser::nameChosen);
    const auto click = [&b](const char* text) {
        b.pane.setPlainText("before");
        emit b.tree.itemClicked(b.node(text), 0);
        return b.pane.toPlainText();
    };
    const auto doubleClick = [&](const char* text) {
        emit b.tree.itemDoubleClicked(b.node(text), 0);
        QStringList names;
        for (const QList<QVariant>& args : chosen)
            names << args.at(0).toString();
        return names.join(' ');
    };
    EXPECT_EQ(click("Effects"), "before");
    EXPECT_EQ(click("???"), "before");
    EXPECT_TRUE(click("Blur").startsWith("Blur(radius)\n"));
    EXPECT_EQ(doubleClick("Effects"), "");
    EXPECT_EQ(doubleClick("???"), "");
    EXPECT_EQ(doubleClick("Crop"), "Crop");

    b.byPlugin.trigger();
    EXPECT_EQ(click("Lonely"), "before");
    EXPECT_EQ(doubleClick("Alpha"), "Crop");
    EXPECT_EQ(doubleClick("Lonely"), "Crop Lonely"); // a plugin without filters is a leaf too
}

TEST(FilterBrowser, TheScriptsOwnFunctionsComeFirstInEitherViewAndFollowTheScript)
{
    Browser b;
    b.script = thisScriptModel(findScriptFunctions("function Mine(clip c, int \"n\") { c }"));
    b.browser.refreshScriptNode();
    EXPECT_EQ(b.topLevelTexts(), QStringList({"This script", "Alpha", "Lonely"}));
    b.tree.topLevelItem(0)->setExpanded(true);

    b.script = thisScriptModel(findScriptFunctions("function Mine(clip c) {}\nfunction Yours() {}"));
    b.browser.refreshScriptNode();
    ASSERT_EQ(b.tree.topLevelItem(0)->childCount(), 2);
    EXPECT_TRUE(b.tree.topLevelItem(0)->isExpanded());
    b.pane.clear();
    emit b.tree.itemClicked(b.node("Mine"), 0);
    EXPECT_TRUE(b.pane.toPlainText().startsWith("Mine(c)\n")) << b.pane.toPlainText().toStdString();

    b.byCategory.trigger();
    EXPECT_EQ(b.topLevelTexts(), QStringList({"This script", "???", "Effects"}));
    b.script = DefinitionModel();
    b.browser.refreshScriptNode();
    EXPECT_EQ(b.topLevelTexts(), QStringList({"???", "Effects"}));
}

} // namespace
} // namespace cw
