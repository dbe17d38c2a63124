#include "ui/app/form1.h"
#include "ui/browser/filter_tree.h"
#include "ui/editor/code_sense.h"

#include "definition_files.h"
#include "support/ui_fixtures.h"

#include <QAction>
#include <QTextEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace cw {
namespace {

using test::filterXml;
using test::parameterXml;
using test::pluginXml;

// A main window whose program folder holds the definition set "3.7".
struct BrowserForm {
    explicit BrowserForm(const std::string& settings)
    {
        test::writeDefinitions(home, "def/3.7",
                               {{"Alpha", pluginXml(filterXml("Blur", "Effects", parameterXml("radius", "float"))
                                                    + filterXml("Crop", ""))},
                                {"Lonely", pluginXml("")}});
        home.write("conf.properties", "avisynth.def.path=3.7\r\n" + settings);
        ::setenv("CLIPWRIGHT_HOME", home.path().c_str(), 1);
        form = std::make_unique<Form1>(QStringList{QStringLiteral("clipwright")});
        tree = form->findChild<QTreeWidget*>("TreeView1");
        pane = form->findChild<QTextEdit*>("DescriptionBox");
    }
    ~BrowserForm()
    {
        form.reset();
        ::unsetenv("CLIPWRIGHT_HOME");
    }

    QStringList topLevelTexts() const
    {
        QStringList texts;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) texts << tree->topLevelItem(i)->text(0);
        return texts;
    }
    QTreeWidgetItem* node(const QString& text) const
    {
        const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }
    // Checked and enabled states of the three Filters commands, "cE" style:
    // upper case when set.
    std::string menuStates() const
    {
        std::string states;
        for (const char* name : {"mnuSortByPlugin", "mnuSortByCategory", "mnuHideUnCategorizedFilters"}) {
            const QAction* a = form->command(QString::fromUtf8(name));
            states += a->isChecked() ? 'C' : 'c';
            states += a->isEnabled() ? 'E' : 'e';
            states += ' ';
        }
        return states;
    }

    test::TempDir home;
    test::RecordingPrompts prompts;
    std::unique_ptr<Form1> form;
    QTreeWidget* tree = nullptr;
    QTextEdit* pane = nullptr;
};

TEST(FilterBrowser, TheFiltersMenuSwitchesViewsAndTheHideFlagAndBothAreSaved)
{
    BrowserForm f("");
    EXPECT_EQ(f.topLevelTexts(), QStringList({"Alpha", "Lonely"}));
    EXPECT_EQ(f.menuStates(), "CE cE ce ");

    f.form->command("mnuSortByCategory")->trigger();
    EXPECT_EQ(f.topLevelTexts(), QStringList({"???", "Effects"}));
    EXPECT_EQ(f.menuStates(), "cE CE cE ");

    f.form->command("mnuHideUnCategorizedFilters")->trigger();
    EXPECT_EQ(f.topLevelTexts(), QStringList({"Effects"}));
    EXPECT_EQ(f.menuStates(), "cE CE CE ");

    f.form->command("mnuSortByPlugin")->trigger();
    EXPECT_EQ(f.topLevelTexts(), QStringList({"Alpha", "Lonely"}));
    EXPECT_NE(f.node("Crop"), nullptr);
    EXPECT_EQ(f.menuStates(), "CE cE Ce ");

    f.form->command("mnuSortByPlugin")->trigger();
    EXPECT_EQ(f.menuStates(), "CE cE Ce ");

    f.form->close();
    const std::string settings = f.home.read("conf.properties");
    EXPECT_NE(settings.find("filters.view.mode=1\r\n"), std::string::npos);
    EXPECT_NE(settings.find("hide.uncategorized.filters=true\r\n"), std::string::npos);
}

TEST(FilterBrowser, StartsInTheSavedViewWithTheSavedHideFlag)
{
    BrowserForm f("filters.view.mode=2\r\nhide.uncategorized.filters=true\r\n");
    EXPECT_EQ(f.topLevelTexts(), QStringList({"Effects"}));
    EXPECT_EQ(f.menuStates(), "cE CE CE ");
}

TEST(FilterBrowser, AClickOnAFilterDescribesItAndNothingElseDoes)
{
    BrowserForm f("filters.view.mode=2\r\n");
    f.pane->setPlainText("before");
    for (const char* other : {"Effects", "???"}) {
        emit f.tree->itemClicked(f.node(other), 0);
        EXPECT_EQ(f.pane->toPlainText(), "before") << other;
    }
    emit f.tree->itemClicked(f.node("Blur"), 0);
    EXPECT_TRUE(f.pane->toPlainText().startsWith("Blur(radius)\n")) << f.pane->toPlainText().toStdString();

    f.form->command("mnuSortByPlugin")->trigger();
    f.pane->setPlainText("before");
    emit f.tree->itemClicked(f.node("Lonely"), 0);
    EXPECT_EQ(f.pane->toPlainText(), "before");
}

TEST(FilterBrowser, ADoubleClickInsertsALeafsTextOnly)
{
    BrowserForm f("filters.view.mode=2\r\n");
    const auto doubleClick = [&f](const char* text) {
        emit f.tree->itemDoubleClicked(f.node(text), 0);
        return f.form->codeSense()->text();
    };
    EXPECT_EQ(doubleClick("Effects"), "");
    EXPECT_EQ(doubleClick("???"), "");
    EXPECT_EQ(doubleClick("Crop"), "Crop");

    f.form->command("mnuSortByPlugin")->trigger();
    EXPECT_EQ(doubleClick("Alpha"), "Crop");
    EXPECT_EQ(doubleClick("Lonely"), "LonelyCrop");
}

} // namespace
} // namespace cw
