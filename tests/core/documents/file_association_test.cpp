#include "core/documents/file_association.h"

#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace cw {
namespace {

// Each layer the launcher strips: string escapes, then quoting, then "%%".
TEST(FileAssociation, ExecProgramEscapesForEveryLayer)
{
    const struct {
        const char* path;
        const char* exec;
    } rows[] = {
        {"/opt/clip wright/clipwright", R"("/opt/clip wright/clipwright")"},
        {R"(/a"b`c$d\e%f)", R"("/a\\"b\\`c\\$d\\\\e%%f")"},
        {"/o\np\tq\rr", R"("/o\np\tq\rr")"},
    };
    for (const auto& row : rows) EXPECT_EQ(desktopExecProgram(row.path), row.exec) << row.path;
}

TEST(FileAssociation, MimeappsSetsAndTakesOutOnlyOurDefault)
{
    const struct {
        const char* before;
        const char* after;
    } adding[] = {
        {"", "[Default Applications]\ntext/x-avisynth=clipwright.desktop\n"},
        {"[Added Associations]\ntext/plain=ed.desktop;",
         "[Added Associations]\ntext/plain=ed.desktop;\n\n[Default Applications]\ntext/x-avisynth=clipwright.desktop\n"},
        {"[Default Applications]\ntext/plain=ed.desktop\n\n[Added Associations]\nx/y=z.desktop\n",
         "[Default Applications]\ntext/plain=ed.desktop\ntext/x-avisynth=clipwright.desktop\n\n"
         "[Added Associations]\nx/y=z.desktop\n"},
        {"# mine\r\n[Default Applications]\r\ntext/x-avisynth = other.desktop\r\nb/c=d\r\ntext/x-avisynth=third.desktop\r\n",
         "# mine\r\n[Default Applications]\r\ntext/x-avisynth=clipwright.desktop\r\nb/c=d\r\n"},
        {"[Default Applications]\ntext/x-avisynth=clipwright.desktop\n",
         "[Default Applications]\ntext/x-avisynth=clipwright.desktop\n"},
        {"[Added Associations]\ntext/x-avisynth=other.desktop;\n[Default Applications]\n",
         "[Added Associations]\ntext/x-avisynth=other.desktop;\n[Default Applications]\ntext/x-avisynth=clipwright.desktop\n"},
    }, removing[] = {
        {"", ""},
        {"[Default Applications]\ntext/x-avisynth=clipwright.desktop\nb/c=d\n", "[Default Applications]\nb/c=d\n"},
        {"[Default Applications]\r\ntext/x-avisynth=a.desktop;clipwright.desktop;b.desktop;\r\n",
         "[Default Applications]\r\ntext/x-avisynth=a.desktop;b.desktop;\r\n"},
        {"[Default Applications]\ntext/x-avisynth=other.desktop", "[Default Applications]\ntext/x-avisynth=other.desktop"},
        {"[Added Associations]\ntext/x-avisynth=clipwright.desktop;\n",
         "[Added Associations]\ntext/x-avisynth=clipwright.desktop;\n"},
        {"[Default Applications]\r\nb/c=d\r\ntext/x-avisynth=clipwright.desktop", "[Default Applications]\r\nb/c=d"},
    };
    for (const auto& row : adding)
        EXPECT_EQ(withDefaultApplication(row.before, "text/x-avisynth", "clipwright.desktop"), row.after);
    for (const auto& row : removing)
        EXPECT_EQ(withoutDefaultApplication(row.before, "text/x-avisynth", "clipwright.desktop"), row.after);
}

class Registration : public testing::Test {
protected:
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
    std::map<std::string, std::string> m_vars{
        {"HOME", m_home.path()}, {"XDG_DATA_HOME", m_home.file("my data")}, {"XDG_CONFIG_HOME", m_home.file("my config")}};
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
    EXPECT_EQ(unregisterAvsFiles(env()), "");
    EXPECT_FALSE(exists("my config")) << "nothing registered: no files made";
    ASSERT_EQ(registerAvsFiles("/usr/bin/clipwright", env()), "");
    EXPECT_EQ(unregisterAvsFiles(env()), "");
    EXPECT_EQ(unregisterAvsFiles(env()), "");
    EXPECT_FALSE(exists("my data/applications/clipwright.desktop"));
    EXPECT_TRUE(exists("my data/mime/packages/clipwright-avs.xml"));
    EXPECT_EQ(read("my config/mimeapps.list"), "[Default Applications]\n");
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

TEST_F(Registration, RefusesAPathNotInUtf8AndReportsTheFileThatCannotBeWritten)
{
    EXPECT_NE(registerAvsFiles("/opt/caf\xE9/clipwright", env()), "");
    EXPECT_FALSE(exists("my data/applications/clipwright.desktop"));

    m_home.write("my config", "a file where a folder belongs");
    const std::string error = registerAvsFiles("/usr/bin/clipwright", env());
    EXPECT_NE(error.find(m_home.file("my config")), std::string::npos) << error;

    m_vars["XDG_CONFIG_HOME"] = m_home.file("conf");
    m_home.write("conf/mimeapps.list/x", "a folder where the file belongs");
    const std::string mimeappsError = registerAvsFiles("/usr/bin/clipwright", env());
    EXPECT_NE(mimeappsError.find(m_home.file("conf/mimeapps.list")), std::string::npos) << mimeappsError;
    EXPECT_NE(unregisterAvsFiles(env()), "");
}

class PackagedRegistration : public Registration {
protected:
    PackagedRegistration()
    {
        m_exe = m_home.write("usr/lib/clipwright/clipwright", "");
        std::filesystem::permissions(m_exe, std::filesystem::perms::owner_all);
        std::filesystem::create_directories(m_home.file("usr/bin"));
        std::filesystem::create_symlink("../lib/clipwright/clipwright", m_home.file("usr/bin/clipwright"));
        m_vars["PATH"] = m_home.file("nowhere") + ":" + m_home.file("usr/bin");
        m_vars["XDG_DATA_DIRS"] = m_home.file("opt/share") + ":" + m_home.file("usr/share");
    }

    void installEntry(const std::string& body) const
    {
        m_home.write("usr/share/applications/clipwright.desktop", "[Desktop Entry]\nType=Application\n" + body);
    }

    std::string m_exe;
};

TEST_F(PackagedRegistration, CountsOnlyAnEntryInTheSystemFoldersThatStartsThisProgram)
{
    const std::string mime = "MimeType=text/plain;text/x-avisynth;\n";
    const struct {
        const char* name;
        std::string entry; // "" installs none
        bool registered;
    } rows[] = {
        {"found on PATH through its link", "Exec=clipwright -i %f\n" + mime, true},
        {"absolute and quoted", "Exec=\"" + m_home.file("usr/bin/clipwright") + "\" %f\n" + mime, true},
        {"no entry", "", false},
        {"another type", "Exec=clipwright %f\nMimeType=text/plain;\n", false},
        {"another program", "Exec=clipwright-old %f\n" + mime, false},
        {"keys of another group", "[Desktop Action x]\nExec=clipwright\n" + mime, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove_all(m_home.file("usr/share"));
        if (!row.entry.empty()) installEntry(row.entry);
        EXPECT_EQ(isRegisteredByPackage(m_exe, env()), row.registered);
    }

    // An Exec line written with every escape reads back as the path it names.
    const std::string odd = m_home.file("odd $dir%/clip \"wright\\");
    std::filesystem::create_directories(m_home.file("odd $dir%"));
    std::filesystem::create_symlink(m_exe, odd);
    installEntry("Exec=" + desktopExecProgram(odd) + " -i %f\n" + mime);
    EXPECT_TRUE(isRegisteredByPackage(m_exe, env()));

    installEntry("Exec=clipwright -i %f\n" + mime);
    EXPECT_FALSE(isRegisteredByPackage(m_home.write("build/clipwright", ""), env())) << "a build elsewhere";
    m_vars["XDG_DATA_DIRS"] = m_home.file("opt/share");
    EXPECT_FALSE(isRegisteredByPackage(m_exe, env())) << "a prefix the desktop does not search";
}

TEST_F(PackagedRegistration, MakesThePackagedEntryTheDefaultAndDropsTheUsersOwn)
{
    installEntry("Exec=clipwright -i %f\nMimeType=text/x-avisynth;\n");
    ASSERT_EQ(registerAvsFiles("/home/me/build/clipwright", env()), "");
    m_home.write("my config/mimeapps.list", "[Default Applications]\ntext/x-avisynth=other.desktop\nb/c=d\n");

    ASSERT_TRUE(isRegisteredByPackage(m_exe, env()));
    EXPECT_EQ(makePackagedEntryDefault(env()), "");
    EXPECT_FALSE(exists("my data/applications/clipwright.desktop"));
    EXPECT_EQ(read("my config/mimeapps.list"),
              "[Default Applications]\ntext/x-avisynth=clipwright.desktop\nb/c=d\n");
    EXPECT_EQ(makePackagedEntryDefault(env()), "");

    m_vars.clear();
    EXPECT_NE(makePackagedEntryDefault(env()), "");
}

} // namespace
} // namespace cw
