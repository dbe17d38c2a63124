#include "ui/defs/definition_sets.h"

#include "core/config/settings.h"

#include "support/ui_fixtures.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <filesystem>

namespace cw {
namespace {

std::string plugin(const std::string& filter)
{
    return "<Plugin><Filters><Filter><Name>" + filter + "</Name></Filter></Filters></Plugin>";
}

// A program folder whose settings file holds `settings`, read and applied
// as start-up does.
struct Sets {
    explicit Sets(const std::string& settingsText,
                  const std::function<void(const test::TempDir&)>& prepare = {})
    {
        if (prepare) prepare(home);
        home.write("conf.properties", settingsText);
        settings.read();
        sets.attachMenu(&menu);
        sets.readChosenSet();
        sets.buildMenu();
        sets.load();
    }
    QStringList captions() const
    {
        QStringList out;
        for (const QAction* a : menu.actions())
            out << a->text() + (a->isChecked() ? "*" : "");
        return out;
    }
    std::vector<std::string> filters() const { return sets.model().filterNames(); }

    test::TempDir home;
    test::RecordingPrompts prompts;
    Settings settings{home.path(), home.file("conf.properties")};
    QMenu menu;
    DefinitionSets sets{settings};
};

void writeSets(const test::TempDir& home)
{
    home.write("def/2.0/A.xml", plugin("Old"));
    home.write("def/2.6/A.xml", plugin("Newer"));
    home.write("def/2.5/A.xml", plugin("Blur"));
    home.write("def/2.5/B.xml", plugin("Sharpen"));
}

TEST(DefinitionSets, ListsTheSetsInNameOrderAndAChoiceIsStoredAtOnceAndLoaded)
{
    Sets s("avisynth.def.path=2.5\r\n", writeSets);
    EXPECT_EQ(s.captions(), (QStringList{"2.0", "2.5*", "2.6"}));
    EXPECT_EQ(s.filters(), (std::vector<std::string>{"Blur", "Sharpen"}));
    EXPECT_TRUE(s.prompts.shown.empty());

    QSignalSpy changed(&s.sets, &DefinitionSets::modelChanged);
    s.menu.actions().at(2)->trigger();
    EXPECT_EQ(s.captions(), (QStringList{"2.0", "2.5", "2.6*"}));
    EXPECT_EQ(s.home.read("conf.properties"), "avisynth.def.path=2.6\r\n");
    EXPECT_EQ(s.filters(), (std::vector<std::string>{"Newer"}));
    EXPECT_EQ(s.sets.definitionSet(), "2.6");
    EXPECT_EQ(changed.count(), 1);

    // Reloading reads the chosen set anew.
    std::filesystem::remove(s.home.file("def/2.6/A.xml"));
    s.sets.load();
    EXPECT_TRUE(s.filters().empty());
    EXPECT_EQ(changed.count(), 2);
}

TEST(DefinitionSets, AMissingSetIsReportedOnceAndAnEmptyOneReadsTheDefFolder)
{
    Sets missing("avisynth.def.path=2.5 \r\n", writeSets);
    EXPECT_EQ(missing.prompts.lines(),
              "Information: avisynth definition is not set, choose a version in Definitions menu");
    EXPECT_EQ(missing.captions(), (QStringList{"2.0", "2.5", "2.6"}));
    EXPECT_TRUE(missing.sets.definitionSet().isEmpty());

    Sets loose("", [](const test::TempDir& home) { home.write("def/Loose.xml", plugin("Direct")); });
    EXPECT_TRUE(loose.prompts.shown.empty());
    EXPECT_EQ(loose.filters(), (std::vector<std::string>{"Direct"}));
    // Without set folders, or without def/ at all, only the design-time item remains.
    EXPECT_EQ(loose.captions(), (QStringList{"DEF"}));
    EXPECT_EQ(Sets("").captions(), (QStringList{"DEF"}));
}

} // namespace
} // namespace cw
