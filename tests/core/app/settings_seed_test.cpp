#include "core/app/settings_seed.h"

#include "core/base/paths.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(SettingsSeed, AFirstStartCopiesTheSeedByteForByteElseWritesTheBareHeader)
{
    test::TempDir program, user;
    EXPECT_EQ(createSettingsFile(user.file("plain.properties"), program.path()), "");
    EXPECT_EQ(user.read("plain.properties"), "#configuration\r\n");

    const std::string seed = "#configuration\r\navisynth.def.path=3.7\r\n";
    program.write(settingsSeedName, seed);
    EXPECT_EQ(createSettingsFile(user.file("seeded.properties"), program.path()), "");
    EXPECT_EQ(user.read("seeded.properties"), seed);

    const std::string error = createSettingsFile(user.file("missing/folder/conf.properties"), program.path());
    EXPECT_NE(error.find(user.file("missing/folder")), std::string::npos) << error;
}

} // namespace
} // namespace cw
