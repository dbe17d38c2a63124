#include "support/ui_fixtures.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace cw {
namespace {

std::string plugin(const std::string& filter)
{
    return "<Plugin><Filters><Filter><Name>" + filter + "</Name></Filter></Filters></Plugin>";
}

QStringList captions(const Form1& form)
{
    QStringList out;
    for (QAction* a : form.menu("mnuDefinitions")->actions()) out << a->text() + (a->isChecked() ? "*" : "");
    return out;
}

struct SetFolders : test::FormFixture {
    explicit SetFolders(const std::string& settings)
        : test::FormFixture([&settings](const test::TempDir& dir) {
              dir.write("def/2.0/A.xml", plugin("Old"));
              dir.write("def/2.6/A.xml", plugin("Newer"));
              dir.write("def/2.5/A.xml", plugin("Blur"));
              dir.write("def/2.5/B.xml", plugin("Sharpen"));
              dir.write("conf.properties", settings);
          })
    {
    }
};

TEST(DefinitionsMenu, ListsTheSetsInNameOrderAndChecksTheCurrentOne)
{
    SetFolders f("avisynth.def.path=2.5\r\n");
    EXPECT_EQ(captions(*f.form), (QStringList{"2.0", "2.5*", "2.6"}));
    EXPECT_EQ(f.form->definitions().model().filterNames(), (std::vector<std::string>{"Blur", "Sharpen"}));
    EXPECT_TRUE(f.prompts.shown.empty());
}

TEST(DefinitionsMenu, ChoosingASetStoresItAtOnceAndLoadsIt)
{
    SetFolders f("avisynth.def.path=2.5\r\n");
    f.form->menu("mnuDefinitions")->actions().at(2)->trigger();
    EXPECT_EQ(captions(*f.form), (QStringList{"2.0", "2.5", "2.6*"}));
    EXPECT_EQ(f.settingsFile(), "avisynth.def.path=2.6\r\n");
    EXPECT_EQ(f.form->definitions().model().filterNames(), (std::vector<std::string>{"Newer"}));
    EXPECT_EQ(f.form->definitions().definitionSet(), "2.6");
}

TEST(DefinitionsMenu, ReloadRereadsTheCurrentSet)
{
    SetFolders f("avisynth.def.path=2.5\r\n");
    std::filesystem::remove(f.home.file("def/2.5/B.xml"));
    f.form->command("mnuOptionsReloadDef")->trigger();
    EXPECT_EQ(f.form->definitions().model().filterNames(), (std::vector<std::string>{"Blur"}));
}

TEST(DefinitionsMenu, AMissingSetIsReportedOnceAndNothingIsChecked)
{
    SetFolders f("avisynth.def.path=2.5 \r\n");
    ASSERT_EQ(f.prompts.shown.size(), 1u);
    EXPECT_EQ(f.prompts.shown[0].title, "Information");
    EXPECT_EQ(f.prompts.shown[0].text, "avisynth definition is not set, choose a version in Definitions menu");
    EXPECT_EQ(captions(*f.form), (QStringList{"2.0", "2.5", "2.6"}));
    EXPECT_TRUE(f.form->definitions().definitionSet().isEmpty());
}

TEST(DefinitionsMenu, WithoutSetsOnlyTheDesignTimeItemRemains)
{
    test::FormFixture f;
    EXPECT_EQ(captions(*f.form), (QStringList{"DEF"}));
}

TEST(DefinitionsMenu, AnEmptySettingReadsTheDefFolderItself)
{
    test::FormFixture f([](const test::TempDir& home) { home.write("def/Loose.xml", plugin("Direct")); });
    EXPECT_TRUE(f.prompts.shown.empty());
    EXPECT_EQ(f.form->definitions().model().filterNames(), (std::vector<std::string>{"Direct"}));
}

TEST(StatusBar, ShowsTheVersionOfTheInterpreterLibraryFound)
{
    test::TempDir libs;
    libs.write("libavisynth.so.2.5.6", "");
    ASSERT_EQ(::symlink("libavisynth.so.2.5.6", libs.file("libavisynth.so").c_str()), 0);
    const char* previous = std::getenv("LD_LIBRARY_PATH");
    const std::string saved = previous ? previous : "";
    ::setenv("LD_LIBRARY_PATH", libs.path().c_str(), 1);
    test::FormFixture f;
    if (previous)
        ::setenv("LD_LIBRARY_PATH", saved.c_str(), 1);
    else
        ::unsetenv("LD_LIBRARY_PATH");
    EXPECT_EQ(f.form->findChild<QLabel*>("StatusBar1")->text(), "Detected avisynth version: 2.5.6.0");
}

} // namespace
} // namespace cw
