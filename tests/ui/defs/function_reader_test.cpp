#include "ui/defs/function_reader.h"

#include "core/config/settings.h"
#include "ui/defs/definition_sets.h"

#include "support/ui_fixtures.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace cw {
namespace {

std::string plugin(const std::string& filter)
{
    return "<Plugin><Filters><Filter><Name>" + filter + "</Name></Filter></Filters></Plugin>";
}

// The Definitions menu as the main window builds it, over a program folder
// and a user's data folder, with a reader on the stand-in frame server.
struct Reader {
    explicit Reader(const std::string& settingsText, const std::function<void(Reader&)>& prepare = {})
    {
        if (prepare) prepare(*this);
        home.write("conf.properties", settingsText);
        settings.read();
        menu.addSeparator();
        reader.attachMenu(menu.addAction(QString()));
        sets.attachMenu(&menu);
        sets.readChosenSet();
        sets.buildMenu();
        sets.load();
        reader.setFrameServerOptions({CLIPWRIGHT_FRAMESERVER, {CLIPWRIGHT_FAKE_AVISYNTH}});
    }
    QStringList captions() const
    {
        QStringList out;
        for (const QAction* a : menu.actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isChecked() ? "*" : ""));
        return out;
    }

    test::TempDir home, data;
    test::RecordingPrompts prompts;
    Settings settings{home.path(), home.file("conf.properties"), data.path()};
    QMenu menu;
    QWidget window;
    DefinitionSets sets{settings};
    FunctionReader reader{sets, settings, window};
};

TEST(FunctionReader, TheSetReadIsWrittenListedAndChosen)
{
    Reader r("avisynth.def.path=3.7\r\n", [](Reader& fresh) {
        fresh.home.write("def/3.7/Core.xml", "<Plugin><Filters><Filter><Name>Trim</Name><Category>Timeline"
                                             "</Category></Filter></Filters></Plugin>");
        fresh.data.write("def/Mine/A.xml", plugin("Own"));
        fresh.data.write("def/.3.8 installed.a1b2c3/A.xml", plugin("Half"));
    });
    EXPECT_EQ(r.captions(), (QStringList{"3.7*", "Mine", "-", "Read Functions from AviSynth+"}));

    r.reader.readFunctions();
    EXPECT_TRUE(r.prompts.shown.empty()) << r.prompts.lines().toStdString();
    EXPECT_EQ(r.captions(), (QStringList{"3.7", "3.7.5 installed*", "Mine", "-", "Read Functions from AviSynth+"}));
    EXPECT_EQ(r.home.read("conf.properties"), "avisynth.def.path=3.7.5 installed\r\n");
    std::vector<std::string> plugins;
    for (const CPlugin& p : r.sets.model().plugins()) plugins.push_back(p.title + ":" + std::to_string(p.filters.size()));
    EXPECT_EQ(plugins, (std::vector<std::string>{"Core:6", "fakeplug:2"}));
    EXPECT_EQ(r.sets.model().findFilterByTitle("Trim")->category, "Timeline");
    EXPECT_EQ(r.sets.model().findFilterByTitle("fakeplug_FakeDenoise"), nullptr);

    // Another version installed: the next start says so and offers to read again.
    EXPECT_EQ(r.reader.checkVersion("3.7.5.0"), "");
    EXPECT_NE(r.reader.checkVersion("3.7.6.0").indexOf("read from AviSynth+ 3.7.5"), -1);
    EXPECT_EQ(r.captions().last(), "Read Functions from AviSynth+ Again");
}

// An installed copy writes into the user's folder, whose set of a name wins
// over the program's; a server that crashes leaves that set as it was.
TEST(FunctionReader, ACrashLeavesTheSetAsItWas)
{
    Reader r("avisynth.def.path=3.7.5 installed\r\n", [](Reader& fresh) {
        fresh.home.write(settingsSeedName, "");
        fresh.home.write("def/3.7.5 installed/A.xml", plugin("Bundled"));
        fresh.data.write("def/3.7.5 installed/A.xml", plugin("Earlier"));
    });
    EXPECT_EQ(r.sets.model().filterNames(), std::vector<std::string>{"Earlier"});

    ::setenv("FAKE_AVISYNTH_AUTOLOAD", "crash", 1);
    r.reader.readFunctions();
    ::unsetenv("FAKE_AVISYNTH_AUTOLOAD");
    EXPECT_TRUE(r.prompts.lines().startsWith("#error: The functions of AviSynth+ could not be read.\r\nThe frame "
                                             "server stopped (signal 11"))
        << r.prompts.lines().toStdString();
    EXPECT_EQ(r.data.read("def/3.7.5 installed/A.xml"), plugin("Earlier"));
    EXPECT_EQ(r.sets.model().filterNames(), std::vector<std::string>{"Earlier"});

    r.prompts.shown.clear();
    r.reader.readFunctions();
    EXPECT_TRUE(r.prompts.shown.empty()) << r.prompts.lines().toStdString();
    EXPECT_FALSE(std::filesystem::exists(r.data.file("def/3.7.5 installed/A.xml")));
    EXPECT_EQ(r.home.read("def/3.7.5 installed/A.xml"), plugin("Bundled"));
    EXPECT_NE(r.sets.model().findFilterByTitle("FakeDenoise"), nullptr);
}

} // namespace
} // namespace cw
