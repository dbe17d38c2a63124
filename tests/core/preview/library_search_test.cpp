#include "core/preview/library_search.h"

#include "media/frame_source.h"
#include "core/preview/product_version.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace cw {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using Folders = std::vector<std::string>;

EnvLookup lookupIn(std::map<std::string, std::string> variables)
{
    return [variables = std::move(variables)](const char* name) -> const char* {
        const auto it = variables.find(name);
        return it == variables.end() ? nullptr : it->second.c_str();
    };
}

Folders joined(Folders head, const Folders& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST(AviSynthLibraryFolders, OwnFoldersThenLibraryPathThenLocalLibThenTheLoaders)
{
    TempDir dir;
    dir.write("ld.so.conf", "# comment\ninclude conf.d/*.conf\n/opt/one /opt/two\n");
    dir.write("conf.d/b.conf", "/opt/b # trailing\n/opt/one\n");
    dir.write("conf.d/a.conf", "/opt/a/\ninclude ../ld.so.conf\n");
    const Folders loader = {"/opt/a", "/opt/one", "/opt/two", "/opt/b",
                            "/lib",   "/usr/lib", "/lib64",   "/usr/lib64"};

    const struct {
        std::map<std::string, std::string> env;
        Folders expected;
    } rows[] = {
        {{}, loader},
        {{{"CLIPWRIGHT_AVISYNTH_LIB", "/mine/lib:/more/"},
          {"LD_LIBRARY_PATH", "/env/x::/env/y"},
          {"HOME", "/home/u"}},
         joined({"/mine/lib", "/more", "/env/x", "/env/y", "/home/u/.local/lib"}, loader)},
        // A folder named twice keeps its first place.
        {{{"CLIPWRIGHT_AVISYNTH_LIB", "/home/u/.local/lib/"},
          {"LD_LIBRARY_PATH", "/opt/b"},
          {"HOME", "/home/u"}},
         {"/home/u/.local/lib", "/opt/b", "/opt/a", "/opt/one", "/opt/two", "/lib", "/usr/lib", "/lib64",
          "/usr/lib64"}},
        {{{"HOME", "/"}}, joined({"/.local/lib"}, loader)},
        {{{"HOME", "/home/u/"}}, joined({"/home/u/.local/lib"}, loader)},
        // A home that is not an absolute folder adds nothing.
        {{{"HOME", ""}}, loader},
        {{{"HOME", "relative"}}, loader},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(aviSynthLibraryFolders(lookupIn(row.env), dir.file("ld.so.conf")), row.expected)
            << ::testing::PrintToString(row.env);
    }
}

// The unversioned name in every folder before any versioned one, as the
// version reader looks; the bare names last, for the loader's own search.
TEST(AviSynthLibraryCandidates, UnversionedNameInEveryFolderFirstAndBareNamesLast)
{
    const Folders candidates =
        aviSynthLibraryCandidates(lookupIn({{"HOME", "/home/u"}}), "/nonexistent/ld.so.conf");
    const Folders head(candidates.begin(), candidates.begin() + 6);
    const Folders expectedHead = {"/home/u/.local/lib/libavisynth.so", "/lib/libavisynth.so",
                                  "/usr/lib/libavisynth.so",           "/lib64/libavisynth.so",
                                  "/usr/lib64/libavisynth.so",         "/home/u/.local/lib/libavisynth.so.12"};
    EXPECT_EQ(head, expectedHead);
    const Folders tail(candidates.end() - 5, candidates.end());
    const Folders expectedTail = {"libavisynth.so", "libavisynth.so.12", "libavisynth.so.11",
                                  "libavisynth.so.10", "libavisynth.so.9"};
    EXPECT_EQ(tail, expectedTail);
    EXPECT_EQ(candidates.size(), 5u * 5u + 5u);
}

// What tools/install-avisynth leaves in ~/.local/lib is loaded by the preview
// and named by the status bar, ahead of a library in a loader folder.
TEST(AviSynthLibrarySearch, FindsTheLibraryInstalledUnderHome)
{
    TempDir dir;
    const std::string local = dir.file("home/.local/lib"), system = dir.file("system");
    fs::create_directories(local);
    fs::create_directories(system);
    fs::copy_file(CLIPWRIGHT_FAKE_AVISYNTH, local + "/libavisynth.so.3.7.5");
    fs::create_symlink("libavisynth.so.3.7.5", local + "/libavisynth.so");
    fs::copy_file(CLIPWRIGHT_FAKE_AVISYNTH, system + "/libavisynth.so.9.9.9");
    fs::create_symlink("libavisynth.so.9.9.9", system + "/libavisynth.so");
    const std::string conf = dir.write("ld.so.conf", system + "\n");
    const EnvLookup env = lookupIn({{"HOME", dir.file("home")}});

    EXPECT_EQ(getProductVersion(aviSynthLibraryFolders(env, conf)), "3.7.5.0");

    const std::string script = dir.write("clip.avs", "#fake 8 4 25 1 30\r\nVersion()\r\n");
    fs::remove(system + "/libavisynth.so");
    std::string error;
    OpenFailureKind kind = OpenFailureKind::other;
    const auto source = openAviSynthSource(script, aviSynthLibraryCandidates(env, conf), kind, error);
    ASSERT_NE(source, nullptr) << error;
    EXPECT_EQ(source->facts().frameCount, 30);
}

TEST(AviSynthNotFoundText, NamesTheInstallerInACheckoutElseTheInstallNotes)
{
    const std::string checkout = aviSynthNotFoundText("/src/clipwright");
    EXPECT_NE(checkout.find("/src/clipwright/tools/install-avisynth"), std::string::npos) << checkout;
    EXPECT_EQ(checkout.find("README"), std::string::npos) << checkout;

    const std::string packaged = aviSynthNotFoundText("");
    EXPECT_NE(packaged.find("README.md"), std::string::npos) << packaged;
    EXPECT_EQ(packaged.find("install-avisynth"), std::string::npos) << packaged;

    for (const std::string& text : {checkout, packaged}) {
        EXPECT_EQ(text.rfind("AviSynth+ not found", 0), 0u) << text;
        EXPECT_NE(text.find("CLIPWRIGHT_AVISYNTH_LIB"), std::string::npos) << text;
    }
    // These tests run from the checkout they were built from.
    EXPECT_EQ(sourceCheckoutFolder(), CLIPWRIGHT_SOURCE_DIR);
}

} // namespace
} // namespace cw
