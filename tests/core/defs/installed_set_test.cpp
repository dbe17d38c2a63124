#include "core/defs/installed_set.h"

#include "core/config/settings.h"
#include "core/defs/definition_loader.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace cw {
namespace {

TEST(InstalledSet, VersionsAndSetNames)
{
    EXPECT_EQ(interpreterVersion("AviSynth+ 3.7.5 (x86_64)"), "3.7.5");
    EXPECT_EQ(interpreterVersion("AviSynth+ 3.7.3 r4003 (r4003, master, x86_64)"), "3.7.3");
    EXPECT_EQ(interpreterVersion("AviSynth+ (dev)"), "");
    EXPECT_EQ(installedSetName("3.7.5"), "3.7.5 installed");
    EXPECT_EQ(installedSetVersion("3.7.5 installed"), "3.7.5");
    EXPECT_EQ(installedSetVersion("3.7"), "");

    const struct {
        const char* a;
        const char* b;
        bool differ;
    } versions[] = {{"3.7.5", "3.7.5.0", false}, {"3.7.5", "3.7.6.0", true}, {"3.7", "3.7.0.0", false},
                    {"AviSynth+", "3.7.5.0", false}, {"3.7.5", "", false}};
    for (const auto& row : versions) EXPECT_EQ(versionsDiffer(row.a, row.b), row.differ) << row.a << " " << row.b;

    const std::vector<std::string> sets{"2.6", "3.7", "3.7.5 installed", "Mine", "10.0 installed"};
    EXPECT_EQ(bundledSetFor("3.7.5", sets), "3.7");
    EXPECT_EQ(bundledSetFor("3.8.1", sets), "3.7");
    EXPECT_EQ(bundledSetFor("2.6.1", sets), "2.6");
    EXPECT_EQ(bundledSetFor("", {"2.6", "2.10"}), "2.10");
    EXPECT_EQ(bundledSetFor("3.7.5", {"Mine", "3.7.5 installed"}), "");
}

// "Title: Name(param, [optional], ...)@category" per filter.
std::vector<std::string> described(const std::vector<CPlugin>& plugins)
{
    std::vector<std::string> out;
    for (const CPlugin& plugin : plugins) {
        std::string line = plugin.title + ":";
        for (const CFilter& f : plugin.filters) {
            line += " " + f.title + "(";
            for (std::size_t i = 0; i < f.parameters.size(); ++i) {
                const CParameter& p = f.parameters[i];
                line += (i ? ", " : "") + (p.isoptional ? "[" + p.title + "]" : p.title) + " " + p.Class;
            }
            line += ")@" + f.category;
        }
        out.push_back(line);
    }
    return out;
}

// Trim as the bundled set writes it (from its first overload), Blur in other
// letter case and without a newer argument, and a plugin's filter.
DefinitionModel bundledModel(const test::TempDir& dir)
{
    const auto parameter = [](const std::string& name, const std::string& type, bool optional,
                              const std::string& extra = "") {
        return "<Parameter><Name>" + name + "</Name><Type>" + type + "</Type><Optional>" +
               (optional ? "true" : "false") + "</Optional>" + extra + "</Parameter>";
    };
    const auto filter = [](const std::string& name, const std::string& category, const std::string& parameters) {
        return "<Filter><Name>" + name + "</Name><Category>" + category + "</Category><Description>" + name +
               " described.</Description><Parameters>" + parameters + "</Parameters></Filter>";
    };
    dir.write("bundled/Core.xml",
              "<Plugin><Filters>" +
                  filter("Trim", "Timeline",
                         parameter("clip", "clip", false) + parameter("first_frame", "int", false) +
                             parameter("last_frame", "int", false) + parameter("pad", "bool", true) +
                             parameter("cache", "bool", true)) +
                  filter("BLUR", "Filters",
                         parameter("clip", "clip", false) + parameter("amount", "float", false) +
                             parameter("amountv", "float", true, "<Min>-1</Min>") + parameter("mmx", "bool", true)) +
                  "</Filters></Plugin>");
    const std::string writer =
        filter("ImageWriter", "Export", parameter("clip", "clip", false) + parameter("file", "string", true));
    dir.write("bundled/ImageSeq.xml", "<Plugin><Filters>" + writer + "</Filters></Plugin>");
    return loadDefinitions(dir.file("bundled"));
}

InterpreterFunctions found()
{
    InterpreterFunctions f;
    f.version = "AviSynth+ 3.7.5 (x86_64)";
    f.internal = {{"Trim", "ci[end]i[pad]b[cache]b"},
                  {"Blur", "cf[]f[mmx]b[new]i"},
                  {"Version", ""},
                  {"Oddity", "c%"},
                  {"Hidden", "", false},
                  {"AddBorders", "ciiii[color]i"}};
    f.plugin = {{"FakeSource", "[source]s"},      {"fakeplug_FakeSource", "[source]s"},
                {"FakeDenoise", "c[strength]f+"},  {"fakeplug_FakeDenoise", "c[strength]f+"},
                {"ImageWriter", "c[file]s"},       {"ImageSeq_ImageWriter", "c[file]s"},
                {"Tool", "c"},                     {"Core_Tool", "c"},
                {"Loner", "i"}};
    return f;
}

TEST(InstalledSet, TheInterpreterPluginsAndScriptsMakeOnePluginEachMergedWithTheBundledSet)
{
    const std::vector<AutoloadScript> scripts{
        {"/a/a.avsi", "function MyBlur(clip c, float \"r\") { c }\nfunction Twice(c) { c }"},
        {"/b/b.avsi", "function myblur(clip c) { c }"}};
    test::TempDir dir;
    const std::vector<CPlugin> plugins = installedSetPlugins(found(), bundledModel(dir), scripts);
    const std::vector<std::string> expected{
        "Core: AddBorders(arg1 clip, arg2 int, arg3 int, arg4 int, arg5 int, [color] int)@"
        " Blur(clip clip, amount float, [amountv] float, [mmx] bool, [new] int)@Filters"
        " Hidden()@ Oddity()@"
        " Trim(clip clip, first_frame int, last_frame int, [pad] bool, [cache] bool, [end] int)@Timeline"
        " Version()@",
        "fakeplug: FakeDenoise(arg1 clip, [strength...] float)@Plugins FakeSource([source] string)@Plugins",
        "ImageSeq: ImageWriter(clip clip, [file] string)@Export",
        "Core (2): Tool(arg1 clip)@Plugins",
        "Plugins: Loner(arg1 int)@Plugins",
        "User functions: myblur(c clip)@User functions Twice(c val)@User functions"};
    EXPECT_EQ(described(plugins), expected);

    const CFilter& blur = plugins[0].filters[1];
    EXPECT_EQ(blur.description, "BLUR described.");
    EXPECT_EQ(blur.parameters[2].min, "-1");
    EXPECT_NE(plugins[0].filters[2].description.find("does not say"), std::string::npos);
    EXPECT_NE(plugins[0].filters[3].description.find("\"c%\""), std::string::npos);
    EXPECT_EQ(plugins[5].filters[0].description, "Defined in /b/b.avsi.");
}

// The program folder of an installed copy is never written: the set goes to
// the user's folder, taking the descriptions of the program's own set.
TEST(InstalledSet, WrittenIntoTheUsersFolderWhenTheProgramsIsNotToBeWritten)
{
    test::TempDir program, user;
    program.write("def/3.7/Core.xml", "<Plugin><Filters><Filter><Name>Trim</Name><Category>Timeline</Category>"
                                      "</Filter></Filters></Plugin>");
    program.write("def/2.6/A.xml", "<Plugin/>");
    program.write(settingsSeedName, "");
    user.write("scripts/x.avsi", "function Mine() {}");
    InterpreterFunctions f = found();
    f.autoloadFolders = {user.file("scripts/"), user.file("missing")};
    const DefinitionFolders folders =
        Settings(program.path(), user.file("conf.properties"), user.path()).definitionFolders();
    EXPECT_FALSE(folders.programWritable);

    std::string error;
    EXPECT_EQ(writeInstalledSet(f, folders, error), "3.7.5 installed");
    EXPECT_EQ(error, "");
    EXPECT_EQ(folders.setFolder("3.7.5 installed"), user.file("def/3.7.5 installed"));
    EXPECT_FALSE(std::filesystem::exists(program.file("def/3.7.5 installed")));
    EXPECT_EQ(folders.setNames(), (std::vector<std::string>{"2.6", "3.7", "3.7.5 installed"}));

    const DefinitionModel loaded = loadDefinitions(user.file("def/3.7.5 installed"));
    std::vector<std::string> titles;
    for (const CPlugin& p : loaded.plugins()) titles.push_back(p.title);
    EXPECT_EQ(titles,
              (std::vector<std::string>{"Core (2)", "Core", "ImageSeq", "Plugins", "User functions", "fakeplug"}));
    EXPECT_EQ(loaded.findFilterByTitle("Trim")->category, "Timeline");
    EXPECT_EQ(loaded.findFilterByTitle("Mine")->category, "User functions");
}

} // namespace
} // namespace cw
