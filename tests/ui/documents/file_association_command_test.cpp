#include "quiet_form.h"

#include <QAction>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace cw {
namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class FileAssociationCommands : public testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("XDG_DATA_HOME", (m_xdg.path() + "/data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (m_xdg.path() + "/config home").c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_CONFIG_HOME");
    }
    std::string desktopEntry() const { return m_xdg.file("data/applications/clipwright.desktop"); }
    std::string mimeapps() const { return readAll(m_xdg.file("config home/mimeapps.list")); }

    test::TempDir m_xdg;
};

TEST_F(FileAssociationCommands, RegisterThenUnregisterTwiceEachSaySo)
{
    test::QuietForm f;
    for (const char* name : {"mnuOptionsRegisterAVS", "mnuOptionsUnRegisterAVS", "mnuOptionsUnRegisterAVS"}) {
        f.form->command(name)->trigger();
        if (std::string(name) == "mnuOptionsRegisterAVS") {
            EXPECT_NE(readAll(desktopEntry()).find("-i %f"), std::string::npos);
            EXPECT_NE(mimeapps().find("text/x-avisynth=clipwright.desktop"), std::string::npos);
        }
    }
    ASSERT_EQ(f.prompts.shown.size(), 3u);
    const char* expected[] = {".avs files successfully registered with Clipwright",
                              ".avs files successfully unregistered", ".avs files successfully unregistered"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(f.prompts.shown[i].title, "Information");
        EXPECT_EQ(f.prompts.shown[i].text, expected[i]);
    }
    EXPECT_EQ(readAll(desktopEntry()), "");
    EXPECT_EQ(mimeapps().find("text/x-avisynth"), std::string::npos);
    EXPECT_NE(readAll(m_xdg.file("data/mime/packages/clipwright-avs.xml")).find("*.avs"), std::string::npos);
}

TEST_F(FileAssociationCommands, AFailedRegistrationIsAnErrorNotASuccess)
{
    m_xdg.write("config home", "a file where the folder should be");
    test::QuietForm f;
    f.form->command("mnuOptionsRegisterAVS")->trigger();
    ASSERT_EQ(f.prompts.shown.size(), 1u);
    EXPECT_EQ(f.prompts.shown[0].title, "#error");
    EXPECT_TRUE(f.prompts.shown[0].text.contains("config home")) << f.prompts.shown[0].text.toStdString();
}

} // namespace
} // namespace cw
