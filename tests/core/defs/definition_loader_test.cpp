#include "core/defs/definition_loader.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace cw {
namespace {

using test::TempDir;

KeyMaker testKeys()
{
    auto state = std::make_shared<unsigned>(1);
    return KeyMaker({10, 20}, [state] {
        *state = *state * 1103515245u + 12345u;
        return static_cast<double>(*state % 100000u) / 100000.0;
    });
}

DefinitionModel load(const std::string& folder)
{
    KeyMaker keys = testKeys();
    return loadDefinitions(folder, keys);
}

std::string pluginXml(const std::string& filters, const std::string& description = "")
{
    return "<?xml version=\"1.0\"?>\n<Plugin><Description>" + description + "</Description><Filters>" + filters
           + "</Filters></Plugin>\n";
}

std::string filterXml(const std::string& name, const std::string& category = "", const std::string& parameters = "")
{
    return "<Filter><Name>" + name + "</Name><Category>" + category + "</Category><Parameters>" + parameters
           + "</Parameters></Filter>";
}

std::vector<std::string> pluginTitles(const DefinitionModel& model)
{
    std::vector<std::string> titles;
    for (const CPlugin& plugin : model.plugins()) titles.push_back(plugin.title);
    return titles;
}

const char* const kFadeBox = R"(<?xml version="1.0" encoding="utf-8"?>
<Plugin>
  <Name>Demo</Name>
  <Helpfile>demo.html</Helpfile>
  <Description>Demonstration filters</Description>
  <Filters>
    <Filter>
      <Name>FadeBox</Name>
      <Category>Effects</Category>
      <Description>Draws a fading box.</Description>
      <Helpfile>fadebox.html</Helpfile>
      <Parameters>
        <Parameter><Name>clip</Name><Type>clip</Type></Parameter>
        <Parameter>
          <Name>strength</Name><Type>int</Type><Min>0</Min><Max>255</Max>
          <Default>128</Default><Optional>True</Optional>
        </Parameter>
        <Parameter>
          <Name>mode</Name><Type>string</Type><Optional>false</Optional>
          <Items><Item>soft</Item><Item>hard</Item></Items>
        </Parameter>
      </Parameters>
    </Filter>
  </Filters>
</Plugin>
)";

TEST(LoadDefinitions, ReadsEveryPropertyOfAFile)
{
    TempDir dir;
    const std::string path = dir.write("2.5/DemoPlugin.xml", kFadeBox);
    const DefinitionModel model = load(dir.file("2.5"));

    ASSERT_EQ(model.plugins().size(), 1u);
    const CPlugin& plugin = model.plugins()[0];
    EXPECT_EQ(plugin.title, "DemoPlugin");
    EXPECT_EQ(plugin.defxml, path);
    EXPECT_EQ(plugin.description, "Demonstration filters");
    EXPECT_EQ(plugin.helpfile, "");
    EXPECT_EQ(plugin.path, "");
    ASSERT_EQ(plugin.filters.size(), 1u);

    const CFilter& filter = plugin.filters[0];
    EXPECT_EQ(filter.title, "FadeBox");
    EXPECT_EQ(filter.category, "Effects");
    EXPECT_EQ(filter.description, "Draws a fading box.");
    EXPECT_EQ(filter.helpfile, "fadebox.html");
    EXPECT_EQ(filter.pluginkey, plugin.key);
    EXPECT_NE(filter.key, plugin.key);
    ASSERT_EQ(filter.parameters.size(), 3u);

    const CParameter& clip = filter.parameters[0];
    EXPECT_EQ(clip.title, "clip");
    EXPECT_EQ(clip.Class, "clip");
    EXPECT_FALSE(clip.isoptional);
    EXPECT_TRUE(clip.items.empty());

    const CParameter& strength = filter.parameters[1];
    EXPECT_EQ(strength.min, "0");
    EXPECT_EQ(strength.max, "255");
    EXPECT_EQ(strength.defaultvalue, "128");
    EXPECT_TRUE(strength.isoptional);

    const CParameter& mode = filter.parameters[2];
    EXPECT_EQ(mode.Class, "string");
    EXPECT_FALSE(mode.isoptional);
    EXPECT_EQ(mode.items, (std::vector<std::string>{"soft", "hard"}));

    EXPECT_EQ(model.filterNames(), std::vector<std::string>{"FadeBox"});
    EXPECT_EQ(model.categories(), std::vector<std::string>{"Effects"});
    EXPECT_EQ(model.findFilterByKey(filter.key), &filter);
    EXPECT_EQ(model.findPluginByKey(plugin.key), &plugin);
}

TEST(LoadDefinitions, TakesXmlFilesInNameOrderAndTitlesThem)
{
    TempDir dir;
    dir.write("set/C.XML", pluginXml(filterXml("Third")));
    dir.write("set/b.txt", pluginXml(filterXml("Ignored")));
    dir.write("set/a.xml.xml", pluginXml(filterXml("Second")));
    dir.write("set/A.xml", pluginXml(filterXml("First")));
    dir.write("set/noext", pluginXml(filterXml("Ignored")));
    dir.write("set/sub/D.xml", pluginXml(filterXml("Ignored")));
    std::filesystem::create_directories(dir.file("set/folder.xml"));

    const DefinitionModel model = load(dir.file("set"));
    EXPECT_EQ(pluginTitles(model), (std::vector<std::string>{"A", "C.XML", "a"}));
    EXPECT_EQ(model.filterNames(), (std::vector<std::string>{"First", "Second", "Third"}));
}

TEST(LoadDefinitions, SkipsFilesThatAreNotUsablePlugins)
{
    TempDir dir;
    std::string nested;
    for (int i = 0; i < 100000; ++i) nested += "<a>";
    std::string junk(64 * 1024, '\0');
    for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>((i * 2654435761u) >> 13);
    const std::string full = pluginXml(filterXml("Lost"));

    dir.write("set/1-lower.xml", "<plugin><Filters>" + filterXml("Lost") + "</Filters></plugin>");
    dir.write("set/2-truncated.xml", full.substr(0, full.size() - 12));
    dir.write("set/3-empty.xml", "");
    dir.write("set/4-junk.xml", junk);
    dir.write("set/5-nested.xml", "<Plugin><Description>" + nested);
    dir.write("set/6-huge.xml", "<Plugin><Description>" + std::string(50 * 1024 * 1024, 'x'));
    dir.write("set/7-other-root.xml", "<Filters>" + filterXml("Lost") + "</Filters>");
    const std::string locked = dir.write("set/8-locked.xml", pluginXml(filterXml("Locked")));
    ::chmod(locked.c_str(), 0);
    dir.write("set/9-good.xml", pluginXml(filterXml("Kept")));

    const DefinitionModel model = load(dir.file("set"));
    // A root user reads the locked file anyway; everything else is skipped.
    const std::vector<std::string> expected =
        ::geteuid() == 0 ? std::vector<std::string>{"Kept", "Locked"} : std::vector<std::string>{"Kept"};
    EXPECT_EQ(model.filterNames(), expected);
    EXPECT_EQ(model.plugins().size(), expected.size());
}

TEST(LoadDefinitions, DeeplyNestedTextIsGathered)
{
    TempDir dir;
    std::string open, close;
    for (int i = 0; i < 100000; ++i) {
        open += "<a>";
        close = "</a>" + close;
    }
    dir.write("set/deep.xml", "<Plugin><Description>" + open + "deep" + close + "</Description></Plugin>");
    const DefinitionModel model = load(dir.file("set"));
    ASSERT_EQ(model.plugins().size(), 1u);
    EXPECT_EQ(model.plugins()[0].description, "deep");
}

TEST(LoadDefinitions, MissingOrEmptyNamesBecomeQuestionMarks)
{
    TempDir dir;
    dir.write("set/p.xml",
              pluginXml("<Filter><Name></Name></Filter><Filter><Category>C</Category>"
                        "<Parameters><Parameter><Type>int</Type></Parameter>"
                        "<Parameter><Name>  </Name></Parameter></Parameters></Filter>"));
    const DefinitionModel model = load(dir.file("set"));
    ASSERT_EQ(model.plugins().size(), 1u);
    const auto& filters = model.plugins()[0].filters;
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].title, "???");
    EXPECT_EQ(filters[1].title, "???");
    EXPECT_EQ(filters[1].parameters[0].title, "???");
    EXPECT_EQ(filters[1].parameters[1].title, "???");
    EXPECT_EQ(model.filterNames(), (std::vector<std::string>{"???", "???"}));
}

TEST(LoadDefinitions, OnlyTrueInAnyCaseMakesAParameterOptional)
{
    const struct {
        const char* element;
        bool optional;
    } rows[] = {
        {"<Optional>true</Optional>", true},  {"<Optional>TRUE</Optional>", true},
        {"<Optional>True</Optional>", true},  {"<Optional> true\n</Optional>", true},
        {"<Optional>1</Optional>", false},    {"<Optional>yes</Optional>", false},
        {"<Optional></Optional>", false},     {"", false},
        {"<Optional>truest</Optional>", false},
    };
    for (const auto& row : rows) {
        TempDir dir;
        dir.write("p.xml", pluginXml(filterXml("F", "", std::string("<Parameter><Name>x</Name>") + row.element
                                                              + "</Parameter>")));
        const DefinitionModel model = load(dir.path());
        ASSERT_EQ(model.plugins().size(), 1u);
        EXPECT_EQ(model.plugins()[0].filters[0].parameters[0].isoptional, row.optional) << row.element;
    }
}

TEST(LoadDefinitions, DuplicatesAcrossFilesAllLoad)
{
    TempDir dir;
    dir.write("p1.xml", pluginXml(filterXml("Blur", "Color") + filterXml("Sharpen", "")));
    dir.write("p2.xml", pluginXml(filterXml("Blur", "color")));
    const DefinitionModel model = load(dir.path());
    EXPECT_EQ(model.filterNames(), (std::vector<std::string>{"Blur", "Blur", "Sharpen"}));
    EXPECT_EQ(model.categories(), (std::vector<std::string>{"Color", "color"}));
    EXPECT_EQ(model.findFilterByTitle("Blur")->pluginkey, model.plugins()[0].key);
}

TEST(LoadDefinitions, EmptySetNameReadsTheDefFolderItself)
{
    TempDir dir;
    dir.write("def/Top.xml", pluginXml(filterXml("Top")));
    dir.write("def/2.6/Inner.xml", pluginXml(filterXml("Inner")));
    EXPECT_EQ(definitionSetFolder(dir.file("def"), ""), dir.file("def"));
    EXPECT_EQ(definitionSetFolder(dir.file("def"), "2.6"), dir.file("def/2.6"));
    EXPECT_EQ(load(definitionSetFolder(dir.file("def"), "")).filterNames(), std::vector<std::string>{"Top"});
    EXPECT_EQ(load(definitionSetFolder(dir.file("def"), "2.6")).filterNames(), std::vector<std::string>{"Inner"});
    EXPECT_TRUE(load(dir.file("def/missing")).plugins().empty());
}

TEST(LoadDefinitions, AReloadForgetsDeletedFilesAndOldKeys)
{
    TempDir dir;
    dir.write("a.xml", pluginXml(filterXml("Alpha", "First")));
    const std::string gone = dir.write("b.xml", pluginXml(filterXml("Beta", "Second")));
    KeyMaker keys = KeyMaker::fromSystemClock();
    const DefinitionModel before = loadDefinitions(dir.path(), keys);
    ASSERT_EQ(before.plugins().size(), 2u);
    const std::string oldKey = before.findFilterByTitle("Alpha")->key;

    std::filesystem::remove(gone);
    const DefinitionModel after = loadDefinitions(dir.path());
    EXPECT_EQ(pluginTitles(after), std::vector<std::string>{"a"});
    EXPECT_EQ(after.filterNames(), std::vector<std::string>{"Alpha"});
    EXPECT_EQ(after.categories(), std::vector<std::string>{"First"});
    EXPECT_EQ(after.findFilterByTitle("Beta"), nullptr);
    if (after.findFilterByTitle("Alpha")->key != oldKey) {
        EXPECT_EQ(after.findFilterByKey(oldKey), nullptr);
    }
}

TEST(LoadDefinitions, SingleByteFilesAreReadAsWindows1252)
{
    TempDir dir;
    dir.write("p.xml", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><Plugin><Description>caf\xE9 \x80"
                       "</Description></Plugin>");
    const DefinitionModel model = load(dir.path());
    ASSERT_EQ(model.plugins().size(), 1u);
    EXPECT_EQ(model.plugins()[0].description, "caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(ReadElementText, GathersTextAndCdataOfDescendantsTrimmed)
{
    const struct {
        const char* xml;
        bool required;
        const char* text;
    } rows[] = {
        {"<e>  plain\t</e>", false, "plain"},
        {"<e>\n a <b>bold</b> <![CDATA[<raw>]]>\n</e>", false, "a bold <raw>"},
        {"<e><!-- note --><?pi x?>kept</e>", false, "kept"},
        {"<e>&lt;&amp;&#x41;</e>", false, "<&A"},
        {"<e attr=\"no\"/>", false, ""},
        {"<e> \r\n </e>", true, "???"},
        {"<e/>", true, "???"},
    };
    for (const auto& row : rows) {
        pugi::xml_document document;
        ASSERT_TRUE(document.load_string(row.xml, pugi::parse_default | pugi::parse_ws_pcdata));
        EXPECT_EQ(readElementText(document.child("e"), row.required), row.text) << row.xml;
    }
    EXPECT_EQ(readElementText(pugi::xml_node(), false), "");
    EXPECT_EQ(readElementText(pugi::xml_node(), true), "???");
}

TEST(ReadTextFile, ReturnsBytesOrTheErrorText)
{
    TempDir dir;
    dir.write("s.avs", "Blur(1)\r\n\xE9");
    dir.write("empty.avs", "");
    EXPECT_EQ(readTextFile(dir.file("s.avs")), "Blur(1)\r\n\xE9");
    EXPECT_EQ(readTextFile(dir.file("empty.avs")), "");
    EXPECT_EQ(readTextFile("/no/x.avs"), "#error: file '/no/x.avs' does not exists!#");
    EXPECT_EQ(readTextFile(dir.path()), "#error: file '" + dir.path() + "' does not exists!#");
}

TEST(ListDefinitionSets, ListsSubfoldersByName)
{
    TempDir dir;
    for (const char* name : {"2.6/x.xml", "2.0/x.xml", "2.5 /x.xml", "B/x", "a/x"}) dir.write(std::string("def/") + name, "");
    dir.write("def/loose.xml", "");
    EXPECT_EQ(listDefinitionSets(dir.file("def")), (std::vector<std::string>{"2.0", "2.5 ", "2.6", "B", "a"}));
    EXPECT_TRUE(listDefinitionSets(dir.file("none")).empty());
}

} // namespace
} // namespace cw
