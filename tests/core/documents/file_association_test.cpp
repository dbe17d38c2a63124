#include "core/documents/file_association.h"

#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace cw {
namespace {

// Reads the program back out of an Exec line the way launchers do: the
// string escapes first, then the quoting, then the "%%" field code.
std::string programOfExecLine(const std::string& exec, std::string& rest)
{
    std::string unescaped;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '\\' || i + 1 == exec.size()) {
            unescaped += exec[i];
            continue;
        }
        const char c = exec[++i];
        unescaped += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
    }
    EXPECT_EQ(unescaped.front(), '"');
    std::string program;
    std::size_t i = 1;
    for (; i < unescaped.size() && unescaped[i] != '"'; ++i) {
        if (unescaped[i] == '\\' && std::string("\"`$\\").find(unescaped[i + 1]) != std::string::npos) ++i;
        program += unescaped[i];
    }
    rest = unescaped.substr(i + 1);
    for (std::size_t p = program.find("%%"); p != std::string::npos; p = program.find("%%", p + 1))
        program.erase(p, 1);
    return program;
}

TEST(DesktopExecProgram, EscapesForEveryLayer)
{
    EXPECT_EQ(desktopExecProgram("/opt/clip wright/clipwright"), R"("/opt/clip wright/clipwright")");
    EXPECT_EQ(desktopExecProgram(R"(/a"b`c$d\e%f)"), R"("/a\\"b\\`c\\$d\\\\e%%f")");
    for (const std::string path : {"/opt/My Programs/clipwright", "/o\"p", "/o`p", "/o$HOME", "/o\\p", "/o%f",
                                   "/o%%p", "/o\np\tq", "/o\\\"$`% p"}) {
        std::string rest;
        EXPECT_EQ(programOfExecLine(desktopExecProgram(path) + " -i %f", rest), path);
        EXPECT_EQ(rest, " -i %f");
    }
}

struct MimeappsCase {
    const char* before;
    const char* after;
};

class WithDefaultApplication : public testing::TestWithParam<MimeappsCase> {};

TEST_P(WithDefaultApplication, SetsOnlyThatDefault)
{
    EXPECT_EQ(withDefaultApplication(GetParam().before, "text/x-avisynth", "clipwright.desktop"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WithDefaultApplication,
    testing::Values(
        MimeappsCase{"", "[Default Applications]\ntext/x-avisynth=clipwright.desktop\n"},
        MimeappsCase{"[Added Associations]\ntext/plain=ed.desktop;",
                     "[Added Associations]\ntext/plain=ed.desktop;\n\n"
                     "[Default Applications]\ntext/x-avisynth=clipwright.desktop\n"},
        MimeappsCase{"[Default Applications]\ntext/plain=ed.desktop\n\n[Added Associations]\nx/y=z.desktop\n",
                     "[Default Applications]\ntext/plain=ed.desktop\ntext/x-avisynth=clipwright.desktop\n\n"
                     "[Added Associations]\nx/y=z.desktop\n"},
        MimeappsCase{"# mine\r\n[Default Applications]\r\ntext/x-avisynth = other.desktop\r\nb/c=d\r\n"
                     "text/x-avisynth=third.desktop\r\n",
                     "# mine\r\n[Default Applications]\r\ntext/x-avisynth=clipwright.desktop\r\nb/c=d\r\n"},
        MimeappsCase{"[Default Applications]\ntext/x-avisynth=clipwright.desktop\n",
                     "[Default Applications]\ntext/x-avisynth=clipwright.desktop\n"},
        MimeappsCase{"[Added Associations]\ntext/x-avisynth=other.desktop;\n[Default Applications]\n",
                     "[Added Associations]\ntext/x-avisynth=other.desktop;\n[Default Applications]\n"
                     "text/x-avisynth=clipwright.desktop\n"}));

class WithoutDefaultApplication : public testing::TestWithParam<MimeappsCase> {};

TEST_P(WithoutDefaultApplication, TakesOutOnlyOurEntry)
{
    EXPECT_EQ(withoutDefaultApplication(GetParam().before, "text/x-avisynth", "clipwright.desktop"),
              GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WithoutDefaultApplication,
    testing::Values(
        MimeappsCase{"", ""},
        MimeappsCase{"[Default Applications]\ntext/x-avisynth=clipwright.desktop\nb/c=d\n",
                     "[Default Applications]\nb/c=d\n"},
        MimeappsCase{"[Default Applications]\r\ntext/x-avisynth=a.desktop;clipwright.desktop;b.desktop;\r\n",
                     "[Default Applications]\r\ntext/x-avisynth=a.desktop;b.desktop;\r\n"},
        MimeappsCase{"[Default Applications]\ntext/x-avisynth=other.desktop",
                     "[Default Applications]\ntext/x-avisynth=other.desktop"},
        MimeappsCase{"[Added Associations]\ntext/x-avisynth=clipwright.desktop;\n",
                     "[Added Associations]\ntext/x-avisynth=clipwright.desktop;\n"},
        MimeappsCase{"[Default Applications]\r\nb/c=d\r\ntext/x-avisynth=clipwright.desktop",
                     "[Default Applications]\r\nb/c=d"}));

class Registration : public testing::Test {
protected:
    Registration()
        : m_vars{{"HOME", m_home.path()},
                 {"XDG_DATA_HOME", m_home.file("my data")},
                 {"XDG_CONFIG_HOME", m_home.file("my config")}}
    {
    }

    EnvLookup env() const
    {
        return [this](const char* name) -> const char* {
            const auto it = m_vars.find(name);
            return it == m_vars.end() ? nullptr : it->second.c_str();
        };
    }

    std::string read(const std::string& relative) const { return m_home.read(relative); }
    bool exists(const std::string& relative) const { return std::filesystem::exists(m_home.file(relative)); }

    test::TempDir m_home;
    std::map<std::string, std::string> m_vars;
};

TEST_F(Registration, WritesTheThreeFilesAndKeepsOtherDefaults)
{
    m_home.write("my config/mimeapps.list", "[Default Applications]\ntext/plain=ed.desktop\n");
    const std::string exe = m_home.file("my programs/clip$wright");
    ASSERT_EQ(registerAvsFiles(exe, env()), "");
    ASSERT_EQ(registerAvsFiles(exe, env()), "");

    const std::string package = read("my data/mime/packages/clipwright-avs.xml");
    EXPECT_NE(package.find("<mime-type type=\"text/x-avisynth\">"), std::string::npos);
    EXPECT_NE(package.find("<comment>AviSynth script</comment>"), std::string::npos);
    EXPECT_NE(package.find("<glob pattern=\"*.avs\"/>"), std::string::npos);

    EXPECT_EQ(read("my data/applications/clipwright.desktop"),
              "[Desktop Entry]\nType=Application\nName=Clipwright\n"
              "Exec=" + desktopExecProgram(exe) + " -i %f\nMimeType=text/x-avisynth;\nTerminal=false\n");
    EXPECT_EQ(read("my config/mimeapps.list"),
              "[Default Applications]\ntext/plain=ed.desktop\ntext/x-avisynth=clipwright.desktop\n");

    if (std::filesystem::exists("/usr/bin/update-mime-database")) {
        EXPECT_NE(read("my data/mime/globs2").find("text/x-avisynth:*.avs"), std::string::npos);
    }
}

TEST_F(Registration, UnregisteringKeepsTheTypeAndSucceedsTwice)
{
    ASSERT_EQ(registerAvsFiles("/usr/bin/clipwright", env()), "");
    EXPECT_EQ(unregisterAvsFiles(env()), "");
    EXPECT_EQ(unregisterAvsFiles(env()), "");
    EXPECT_FALSE(exists("my data/applications/clipwright.desktop"));
    EXPECT_TRUE(exists("my data/mime/packages/clipwright-avs.xml"));
    EXPECT_EQ(read("my config/mimeapps.list"), "[Default Applications]\n");
}

TEST_F(Registration, NothingRegisteredUnregistersWithoutCreatingFiles)
{
    EXPECT_EQ(unregisterAvsFiles(env()), "");
    EXPECT_FALSE(exists("my config"));
}

TEST_F(Registration, FallsBackToHomeAndIgnoresRelativeFolders)
{
    m_vars["XDG_DATA_HOME"] = "relative/data";
    m_vars.erase("XDG_CONFIG_HOME");
    ASSERT_EQ(registerAvsFiles("/usr/bin/clipwright", env()), "");
    EXPECT_TRUE(exists(".local/share/applications/clipwright.desktop"));
    EXPECT_TRUE(exists(".config/mimeapps.list"));

    m_vars.clear();
    EXPECT_NE(registerAvsFiles("/usr/bin/clipwright", env()), "");
    EXPECT_NE(unregisterAvsFiles(env()), "");
}

TEST_F(Registration, ReportsTheFileThatCannotBeWritten)
{
    m_home.write("my config", "a file where a folder belongs");
    const std::string error = registerAvsFiles("/usr/bin/clipwright", env());
    EXPECT_NE(error.find(m_home.file("my config")), std::string::npos) << error;

    m_vars["XDG_CONFIG_HOME"] = m_home.file("conf");
    m_home.write("conf/mimeapps.list/x", "a folder where the file belongs");
    const std::string mimeappsError = registerAvsFiles("/usr/bin/clipwright", env());
    EXPECT_NE(mimeappsError.find(m_home.file("conf/mimeapps.list")), std::string::npos) << mimeappsError;
    EXPECT_NE(unregisterAvsFiles(env()), "");
}

TEST_F(Registration, RefusesAPathThatIsNotUtf8)
{
    EXPECT_NE(registerAvsFiles("/opt/caf\xE9/clipwright", env()), "");
    EXPECT_FALSE(exists("my data/applications/clipwright.desktop"));
}

} // namespace
} // namespace cw
