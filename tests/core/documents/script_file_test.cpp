#include "core/documents/script_file.h"

#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace cw {
namespace {

TEST(ScriptFile, RecognisesAvsByExtensionAndGivesTheMessages)
{
    EXPECT_TRUE(isAvsScript("/s/A.AVS"));
    EXPECT_FALSE(isAvsScript("/s/x.avs/a"));
    EXPECT_FALSE(isAvsScript("/s/avs"));
    EXPECT_EQ(saveChangesQuestion(""), "Save changes to Untitled?");
    EXPECT_EQ(saveChangesQuestion("/s/a.avs"), "Save changes to /s/a.avs?");
    EXPECT_EQ(unableToLoadMessage("/s/a.avs"), "unable to load: /s/a.avs\r\nfile does not exist !");
}

// Open and save, ten times over: the bytes never change, whatever the line
// ends, the encoding, or a missing last line end (which is added once).
TEST(ScriptFile, AnUnchangedScriptSavesToItsOwnBytes)
{
    const struct {
        std::string original;
        std::string saved;
        TextEncoding encoding;
    } rows[] = {
        {"# caf\xE9 \x80\x81\r\nVersion()\r\n", "# caf\xE9 \x80\x81\r\nVersion()\r\n",
         TextEncoding::Windows1252},
        {"a = 1\nBlur(a)\n\n", "a = 1\nBlur(a)\n\n", TextEncoding::Utf8},
        {"# \xE6\x97\xA5\r\nVersion()", "# \xE6\x97\xA5\r\nVersion()\r\n", TextEncoding::Utf8},
        {"Version()", "Version()\r\n", TextEncoding::Utf8},
    };
    for (const auto& row : rows) {
        test::TempDir dir;
        const std::string path = dir.write("a.avs", row.original);
        for (int cycle = 0; cycle < 10; ++cycle) {
            std::optional<DecodedText> text = readScriptFile(path);
            ASSERT_TRUE(text);
            EXPECT_EQ(text->encoding, row.encoding);
            EXPECT_TRUE(writeScriptFile(path, text->utf8, text->encoding, text->lineEnd).ok());
            EXPECT_EQ(dir.read("a.avs"), row.saved) << "cycle " << cycle;
        }
    }
}

TEST(ScriptFile, ReadOnlyScriptIsNotReplacedAndSaysSo)
{
    test::TempDir dir;
    const std::string path = dir.write("a.avs", "old");
    ::chmod(path.c_str(), 0444);
    TextEncoding encoding = TextEncoding::Windows1252;
    const WriteResult result = writeScriptFile(path, "\xE6\x97\xA5", encoding, "\r\n");
    EXPECT_EQ(result.failure, WriteFailure::ReadOnly);
    EXPECT_EQ(result.message, path + ": the file is read-only");
    EXPECT_EQ(encoding, TextEncoding::Windows1252);
    EXPECT_EQ(dir.read("a.avs"), "old");
}

// The same reader serves opening a script and importing a template.
TEST(ScriptFile, APipeOrAFolderNamedLikeAScriptIsRefusedAtOnce)
{
    test::TempDir dir;
    const std::string fifo = dir.file("pipe.avs");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, dir.path()}) {
        const auto outcome = test::runInChild([&] {
            std::string error;
            return readScriptFile(path, &error) ? std::string("read") : error;
        });
        EXPECT_EQ(outcome, "unable to load: " + path + " is not a regular file");
    }
}

TEST(ScriptFile, CharacterOutsideWindows1252MakesTheFileUtf8UnlessTheWriteFails)
{
    test::TempDir dir;
    TextEncoding encoding = TextEncoding::Windows1252;
    const std::string missing = dir.file("missing/a.avs");
    EXPECT_EQ(writeScriptFile(missing, "\xE6\x97\xA5", encoding, "\r\n").message,
              missing + ": No such file or directory");
    EXPECT_EQ(encoding, TextEncoding::Windows1252);
    EXPECT_FALSE(readScriptFile(missing));

    EXPECT_TRUE(writeScriptFile(dir.file("a.avs"), "# \xE6\x97\xA5", encoding, "\n").ok());
    EXPECT_EQ(encoding, TextEncoding::Utf8);
    EXPECT_EQ(dir.read("a.avs"), "# \xE6\x97\xA5\n");
}

} // namespace
} // namespace cw
