// Reading the functions of AviSynth+ through the real frame server and the
// tests' stand-in library, then writing and loading the set made of them.
#include "core/defs/definition_loader.h"
#include "core/defs/installed_set.h"
#include "core/frameserver/frame_server_client.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace cw {
namespace {

// Variables the stand-in library reads, set for the servers started while
// the object lives.
struct FakeSetting {
    FakeSetting(const char* variable, const std::string& value) : m_variable(variable)
    {
        ::setenv(variable, value.c_str(), 1);
    }
    ~FakeSetting() { ::unsetenv(m_variable); }
    const char* m_variable;
};

struct Answer {
    std::optional<InterpreterFunctions> functions;
    std::string error;
};

Answer readFunctions()
{
    FrameServerClient client({CLIPWRIGHT_FRAMESERVER, {CLIPWRIGHT_FAKE_AVISYNTH}});
    Answer answer;
    bool answered = false;
    FrameServerClient::Events events;
    events.functionsListed = [&](const InterpreterFunctions& f) {
        answer.functions = f;
        answered = true;
    };
    events.functionsFailed = [&](const std::string& error) {
        answer.error = error;
        answered = true;
    };
    client.setEvents(events);
    client.requestFunctions();
    EXPECT_TRUE(client.waitUntil([&] { return answered; }, 5000));
    return answer;
}

std::vector<std::string> namesOf(const std::vector<InterpreterFunction>& functions)
{
    std::vector<std::string> names;
    for (const InterpreterFunction& f : functions) names.push_back(f.name + (f.reported ? "" : "?"));
    return names;
}

TEST(FunctionDiscovery, TheServerListsTheInterpretersFunctionsAndTheSetLoadsBack)
{
    test::TempDir home;
    home.write("plugins/tools.avsi", "function Sharpish(clip c, float \"amount\") { c }");
    const FakeSetting folders("FAKE_AVISYNTH_AUTOLOAD_DIRS", home.file("plugins/") + ":" + home.file("none"));
    const Answer answer = readFunctions();
    ASSERT_TRUE(answer.functions) << answer.error;
    const InterpreterFunctions& found = *answer.functions;
    EXPECT_EQ(found.version, "AviSynth+ 3.7.5 (fake)");
    EXPECT_EQ(found.autoloadFolders, (std::vector<std::string>{home.file("plugins/"), home.file("none")}));
    EXPECT_EQ(namesOf(found.internal),
              (std::vector<std::string>{"AddBorders", "Blur", "Trim", "Version", "Oddity", "Hidden?"}));
    EXPECT_EQ(found.internal[2], (InterpreterFunction{"Trim", "ci[end]i[pad]b[cache]b"}));
    EXPECT_EQ(namesOf(found.plugin), (std::vector<std::string>{"FakeSource", "fakeplug_FakeSource", "FakeDenoise",
                                                               "fakeplug_FakeDenoise"}));

    std::string error;
    const DefinitionFolders sets{home.file("def"), {}, true};
    ASSERT_EQ(writeInstalledSet(found, sets, error), "3.7.5 installed") << error;
    const DefinitionModel model = loadDefinitions(home.file("def/3.7.5 installed"));
    std::vector<std::string> plugins;
    for (const CPlugin& p : model.plugins()) plugins.push_back(p.title + ":" + std::to_string(p.filters.size()));
    EXPECT_EQ(plugins, (std::vector<std::string>{"Core:6", "User functions:1", "fakeplug:2"}));
    const CFilter* denoise = model.findFilterByTitle("FakeDenoise");
    ASSERT_NE(denoise, nullptr);
    EXPECT_EQ(denoise->category, "Plugins");
    ASSERT_EQ(denoise->parameters.size(), 4u);
    EXPECT_EQ(denoise->parameters[3].title, "planes...");
    EXPECT_EQ(model.findFilterByTitle("fakeplug_FakeDenoise"), nullptr);
    ASSERT_NE(model.findFilterByTitle("Sharpish"), nullptr);
    EXPECT_EQ(model.findFilterByTitle("Sharpish")->parameters[1].title, "amount");
}

TEST(FunctionDiscovery, APluginThatCrashesOrFailsIsReportedAndNothingIsListed)
{
    {
        const FakeSetting crash("FAKE_AVISYNTH_AUTOLOAD", "crash");
        const Answer answer = readFunctions();
        EXPECT_FALSE(answer.functions);
        EXPECT_NE(answer.error.find("stopped (signal 11"), std::string::npos) << answer.error;
        EXPECT_NE(answer.error.find("while loading the plugins"), std::string::npos) << answer.error;
    }
    const FakeSetting fail("FAKE_AVISYNTH_AUTOLOAD", "fail");
    const Answer answer = readFunctions();
    EXPECT_FALSE(answer.functions);
    EXPECT_EQ(answer.error, "AviSynth+ could not load its autoload plugins: Script error: no plugin wanted to load");
}

} // namespace
} // namespace cw
