#include "core/documents/script_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

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

TEST(ScriptFile, Windows1252ScriptComesBackWithTheSameBytesPlusALineEnd)
{
    test::TempDir dir;
    const std::string original = "# caf\xE9 \x80\x81\r\nVersion()\r\n";
    const std::string path = dir.write("a.avs", original);
    std::optional<DecodedText> text = readScriptFile(path);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->encoding, TextEncoding::Windows1252);
    EXPECT_EQ(writeScriptFile(path, text->utf8, text->encoding, text->lineEnd), "");
    EXPECT_EQ(dir.read("a.avs"), original + "\r\n");
    EXPECT_EQ(text->encoding, TextEncoding::Windows1252);
}

TEST(ScriptFile, CharacterOutsideWindows1252MakesTheFileUtf8UnlessTheWriteFails)
{
    test::TempDir dir;
    TextEncoding encoding = TextEncoding::Windows1252;
    const std::string missing = dir.file("missing/a.avs");
    EXPECT_NE(writeScriptFile(missing, "\xE6\x97\xA5", encoding, "\r\n").find(missing), std::string::npos);
    EXPECT_EQ(encoding, TextEncoding::Windows1252);
    EXPECT_FALSE(readScriptFile(missing));

    EXPECT_EQ(writeScriptFile(dir.file("a.avs"), "# \xE6\x97\xA5", encoding, "\n"), "");
    EXPECT_EQ(encoding, TextEncoding::Utf8);
    EXPECT_EQ(dir.read("a.avs"), "# \xE6\x97\xA5\n");
}

} // namespace
} // namespace cw
