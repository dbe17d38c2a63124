#include "core/defs/definition_loader.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace cw {
namespace {

using test::TempDir;

DefinitionModel load(const std::string& folder) { return loadDefinitions(folder); }

std::string pluginXml(const std::string& filters, const std::string& description = "")
{
    return "<Plugin><Description>" + description + "</Description><Filters>" + filters
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

TEST(LoadDefinitions, ReadsEveryPropertyOfAFile)
{
    TempDir dir;
    const std::string path = dir.write("2.5/DemoPlugin.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<Plugin><Name>Demo</Name><Helpfile>demo.html</Helpfile><Description>Demonstration filters</Description>
  <Filters><Filter>
    <Name>FadeBox</Name><Category>Effects</Category><Description>Draws a fading box.</Description>
    <Helpfile>fadebox.html</Helpfile>
    <Parameters>
      <Parameter><Name>clip</Name><Type>clip</Type></Parameter>
      <Parameter><Name>strength</Name><Type>int</Type><Min>0</Min><Max>255</Max>
        <Default>128</Default><Optional>True</Optional></Parameter>
      <Parameter><Name>mode</Name><Type>string</Type><Optional>false</Optional>
        <Items><Item>soft</Item><Item>hard</Item></Items></Parameter>
    </Parameters>
  </Filter></Filters>
</Plugin>)");
    const DefinitionModel model = load(dir.file("2.5"));
    ASSERT_EQ(model.plugins().size(), 1u);
    const CPlugin& plugin = model.plugins()[0];
    EXPECT_EQ(plugin.title, "DemoPlugin");
    EXPECT_EQ(plugin.defxml, path);
    EXPECT_EQ(plugin.description, "Demonstration filters");
    EXPECT_EQ(plugin.helpfile, "") << "a plugin's own help file is not read";
    ASSERT_EQ(plugin.filters.size(), 1u);
    const CFilter& filter = plugin.filters[0];
    EXPECT_EQ(filter.title, "FadeBox");
    EXPECT_EQ(filter.category, "Effects");
    EXPECT_EQ(filter.description, "Draws a fading box.");
    EXPECT_EQ(filter.helpfile, "fadebox.html");
    EXPECT_EQ(filter.pluginkey, plugin.key);
    ASSERT_EQ(filter.parameters.size(), 3u);
    const CParameter& clip = filter.parameters[0];
    const CParameter& strength = filter.parameters[1];
    const CParameter& mode = filter.parameters[2];
    EXPECT_EQ(clip.title, "clip");
    EXPECT_EQ(clip.Class, "clip");
    EXPECT_FALSE(clip.isoptional);
    EXPECT_EQ(strength.min + " " + strength.max + " " + strength.defaultvalue, "0 255 128");
    EXPECT_TRUE(strength.isoptional);
    EXPECT_EQ(mode.items, (std::vector<std::string>{"soft", "hard"}));
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

TEST(LoadDefinitions, SkipsFilesThatAreNotUsablePluginsAndGathersDeeplyNestedText)
{
    TempDir dir;
    std::string open, close;
    for (int i = 0; i < 100000; ++i) {
        open += "<a>";
        close += "</a>";
    }
    std::string junk(64 * 1024, '\0');
    for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>((i * 2654435761u) >> 13);
    const std::string full = pluginXml(filterXml("Lost"));
    dir.write("set/1-lower.xml", "<plugin><Filters>" + filterXml("Lost") + "</Filters></plugin>");
    dir.write("set/2-truncated.xml", full.substr(0, full.size() - 12));
    dir.write("set/3-empty.xml", "");
    dir.write("set/4-junk.xml", junk);
    dir.write("set/5-nested.xml", "<Plugin><Description>" + open);
    dir.write("set/6-huge.xml", "<Plugin><Description>" + std::string(50 * 1024 * 1024, 'x'));
    dir.write("set/7-other-root.xml", "<Filters>" + filterXml("Lost") + "</Filters>");
    const std::string locked = dir.write("set/8-locked.xml", pluginXml(filterXml("Locked")));
    ::chmod(locked.c_str(), 0);
    dir.write("set/9-good.xml", pluginXml(filterXml("Kept"), open + "deep" + close));

    const DefinitionModel model = load(dir.file("set"));
    // A root user reads the locked file anyway; everything else is skipped.
    const std::vector<std::string> expected =
        ::geteuid() == 0 ? std::vector<std::string>{"Kept", "Locked"} : std::vector<std::string>{"Kept"};
    EXPECT_EQ(model.filterNames(), expected);
    EXPECT_EQ(model.plugins().back().description, "deep");
}

// Missing or blank names become "???"; only "true" in any case makes a
// parameter optional; a single-byte file is read as Windows-1252.
TEST(LoadDefinitions, NamesOptionalFlagsAndSingleByteText)
{
    const std::string optionals[] = {"<Optional>TRUE</Optional>", "<Optional> true\n</Optional>", "",
                                     "<Optional>1</Optional>", "<Optional>yes</Optional>", "<Optional>truest</Optional>"};
    std::string parameters = "<Parameter><Type>int</Type></Parameter><Parameter><Name>  </Name></Parameter>";
    for (const std::string& value : optionals) parameters += "<Parameter><Name>x</Name>" + value + "</Parameter>";
    TempDir dir;
    dir.write("p.xml", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>"
                       + pluginXml("<Filter><Name></Name></Filter>" + filterXml("F", "", parameters), "caf\xE9 \x80"));
    const DefinitionModel model = load(dir.path());
    ASSERT_EQ(model.filterNames(), (std::vector<std::string>{"???", "F"}));
    EXPECT_EQ(model.plugins()[0].description, "caf\xC3\xA9 \xE2\x82\xAC");
    std::vector<std::string> titles;
    std::vector<bool> optional;
    for (const CParameter& p : model.plugins()[0].filters[1].parameters) {
        titles.push_back(p.title);
        optional.push_back(p.isoptional);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"???", "???", "x", "x", "x", "x", "x", "x"}));
    EXPECT_EQ(optional, (std::vector<bool>{false, false, true, true, false, false, false, false}));
}

// Fields in any order, the first of a name counting; lists split over
// several elements; names that only look like the loader's are ignored.
TEST(LoadDefinitions, TakesTheFirstOfEachFieldAndEveryListEntry)
{
    TempDir dir;
    dir.write("p.xml", R"(<Plugin><Filters><Filter>
        <Parameters><Parameter>
            <Max>9</Max><Type>int</Type><Names>no</Names><Name>first</Name><Name>second</Name><Nam>no</Nam>
            <Items><Item>a</Item><Itemx>no</Itemx></Items><Optional>true</Optional><Optional>false</Optional>
            <Items><Item>b</Item></Items><Min>1</Min><Min>2</Min><Default>5</Default><Descriptions>no</Descriptions>
        </Parameter><Parameterx><Name>no</Name></Parameterx></Parameters>
        <Category>One</Category><Name>Late</Name><Category>Two</Category>
        <Parameters><Parameter><Name>more</Name></Parameter></Parameters>
        <Helpfile>h</Helpfile><Description>d</Description><Description>e</Description>
    </Filter></Filters><Description>plugin</Description><Filters><Filter><Name>Second</Name></Filter></Filters>
    <Description>not this</Description></Plugin>)");
    const DefinitionModel model = load(dir.path());
    ASSERT_EQ(model.plugins().size(), 1u);
    const CPlugin& plugin = model.plugins()[0];
    EXPECT_EQ(plugin.description, "plugin");
    ASSERT_EQ(plugin.filters.size(), 2u);
    const CFilter& filter = plugin.filters[0];
    EXPECT_EQ(filter.title + "|" + filter.category + "|" + filter.description + "|" + filter.helpfile, "Late|One|d|h");
    ASSERT_EQ(filter.parameters.size(), 2u);
    const CParameter& p = filter.parameters[0];
    EXPECT_EQ(p.title + "|" + p.Class + "|" + p.min + "|" + p.max + "|" + p.defaultvalue + "|" + p.description,
              "first|int|1|9|5|");
    EXPECT_TRUE(p.isoptional);
    EXPECT_EQ(p.items, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(filter.parameters[1].title, "more");
    EXPECT_EQ(model.filterNames(), (std::vector<std::string>{"Late", "Second"}));
}

TEST(LoadDefinitions, EmptySetNameReadsTheDefFolderItself)
{
    TempDir dir;
    dir.write("def/Top.xml", pluginXml(filterXml("Top")));
    dir.write("def/2.6/Inner.xml", pluginXml(filterXml("Inner")));
    EXPECT_EQ(load(definitionSetFolder(dir.file("def"), "")).filterNames(), std::vector<std::string>{"Top"});
    EXPECT_EQ(load(definitionSetFolder(dir.file("def"), "2.6")).filterNames(), std::vector<std::string>{"Inner"});
    EXPECT_TRUE(load(dir.file("def/missing")).plugins().empty());
}

TEST(LoadDefinitions, AReloadForgetsDeletedFilesAndOldKeys)
{
    TempDir dir;
    dir.write("a.xml", pluginXml(filterXml("Alpha", "First")));
    const std::string gone = dir.write("b.xml", pluginXml(filterXml("Beta", "Second")));
    const DefinitionModel before = load(dir.path());
    ASSERT_EQ(before.plugins().size(), 2u);
    const std::string oldKey = before.findFilterByTitle("Alpha")->key;

    std::filesystem::remove(gone);
    const DefinitionModel after = load(dir.path());
    EXPECT_EQ(pluginTitles(after), std::vector<std::string>{"a"});
    EXPECT_EQ(after.filterNames(), std::vector<std::string>{"Alpha"});
    EXPECT_EQ(after.categories(), std::vector<std::string>{"First"});
    const std::string newKey = after.findFilterByTitle("Alpha")->key;
    EXPECT_TRUE(newKey == oldKey || after.findFilterByKey(oldKey) == nullptr);
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
