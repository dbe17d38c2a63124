#include "core/defs/definition_writer.h"

#include "core/defs/definition_loader.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace cw {
namespace {

std::vector<std::string> entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

CPlugin plugin(const std::string& title, const std::string& filter)
{
    CPlugin p;
    p.title = title;
    p.filters.push_back({});
    p.filters.back().title = filter;
    return p;
}

TEST(DefinitionWriter, WhatIsWrittenLoadsBackTheSame)
{
    CPlugin written;
    written.title = "Odd & <named> \xc3\xa9";
    written.description = "Quotes \" and ' and ]]> stay";
    CFilter filter;
    filter.title = "Fade<Box>";
    filter.category = "Effects & more";
    filter.description = "Line one\nline two";
    filter.helpfile = "help.html";
    CParameter p;
    p.title = "mode...";
    p.Class = "string";
    p.isoptional = true;
    p.defaultvalue = "soft";
    p.min = "-1";
    p.max = "1e3";
    p.description = "x < y";
    p.items = {"soft", "", "h\xc3\xa4rd"};
    filter.parameters = {p, CParameter{{}, {}, false, "clip", {}, {}, {}, "clip"}};
    written.filters = {filter, CFilter{}};
    written.filters[1].title = "Plain";

    test::TempDir dir;
    ASSERT_EQ(writeDefinitionSet(dir.path(), "3.7.5 installed", std::vector<CPlugin>{written}), "");
    const DefinitionModel model = loadDefinitions(dir.file("3.7.5 installed"));
    ASSERT_EQ(model.plugins().size(), 1u);
    CPlugin loaded = model.plugins()[0];
    EXPECT_EQ(loaded.title, written.title);
    EXPECT_EQ(loaded.defxml, dir.file("3.7.5 installed/" + written.title + ".xml"));
    loaded.key = loaded.defxml = {};
    for (CFilter& f : loaded.filters) f.key = f.pluginkey = {};
    EXPECT_EQ(loaded, written);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"3.7.5 installed"});
}

TEST(DefinitionWriter, ASetIsReplacedWholeOrNotAtAll)
{
    test::TempDir dir;
    const std::vector<CPlugin> first{plugin("Old", "Blur"), plugin("Kept", "Sharpen")};
    ASSERT_EQ(writeDefinitionSet(dir.path(), "set", first), "");

    const struct {
        const char* what;
        std::vector<CPlugin> plugins;
        bool ok;
    } rows[] = {
        {"a title that is no file name", {plugin("New", "A"), plugin("a/b", "B")}, false},
        {"a title that is empty", {plugin("", "A")}, false},
        {"a good set", {plugin("New", "Levels")}, true},
    };
    for (const auto& row : rows) {
        const std::string error = writeDefinitionSet(dir.path(), "set", row.plugins);
        EXPECT_EQ(error.empty(), row.ok) << row.what << ": " << error;
        const std::vector<std::string> expected =
            row.ok ? std::vector<std::string>{"New.xml"} : std::vector<std::string>{"Kept.xml", "Old.xml"};
        EXPECT_EQ(entries(dir.file("set")), expected) << row.what;
        EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"set"}) << row.what << ": nothing left behind";
    }

    // A file in the set's place is not replaced by a folder.
    dir.write("file/set", "mine");
    EXPECT_NE(writeDefinitionSet(dir.file("file"), "set", first), "");
    EXPECT_EQ(dir.read("file/set"), "mine");
    EXPECT_EQ(entries(dir.file("file")), std::vector<std::string>{"set"});
    EXPECT_NE(writeDefinitionSet(dir.path(), ".hidden", first), "");
}

} // namespace
} // namespace cw
