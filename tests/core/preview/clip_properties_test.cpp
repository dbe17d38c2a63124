#include "core/preview/clip_properties.h"
#include "core/preview/status_texts.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(ClipProperties, FactsListTheFormatRateAndSoundOnlyWhenThereIsSome)
{
    ClipFacts facts{1920, 1080, 60000, 1001, 600, "YUV420P10", 10, 0, 0};
    const std::vector<PropertyLine> silent = clipFactLines(facts, ",");
    const std::vector<PropertyLine> expected = {
        {"Colour format", "YUV420P10"}, {"Bit depth", "10"},   {"Width", "1920"},
        {"Height", "1080"},             {"Frame rate", "60000/1001 (59,940 fps)"},
        {"Frames", "600"},              {"Duration", "00:00:10.010"}};
    EXPECT_EQ(silent, expected);
    facts.audioRate = 48000;
    facts.audioChannels = 1;
    facts.bitDepth = 32;
    const std::vector<PropertyLine> sound = clipFactLines(facts, ".");
    EXPECT_EQ(sound[1].value, "32 (float)");
    EXPECT_EQ(sound.back(), (PropertyLine{"Audio", "48000 Hz, 1 channel"}));
}

TEST(ClipProperties, TheCommonFramePropertiesComeFirstWithTheirMeaning)
{
    const std::vector<FrameProperty> properties = {{"_Custom", "data", "x"},     {"_PictType", "data", "I"},
                                                   {"_ColorRange", "int", "1"},  {"_Matrix", "int", "1"},
                                                   {"_FieldBased", "int", "7"},  {"_SARNum", "int", "1"},
                                                   {"_Matrix2", "int", "1"}};
    const std::vector<PropertyLine> expected = {{"_Matrix", "1 (BT.709)"}, {"_ColorRange", "1 (limited)"},
                                                {"_FieldBased", "7"},      {"_SARNum", "1"},
                                                {"_PictType", "I"},        {"_Custom", "x"},
                                                {"_Matrix2", "1"}};
    EXPECT_EQ(framePropertyLines(properties), expected);
}

TEST(ClipProperties, TheProposedFrameNameDropsOnlyTheScriptsOwnExtension)
{
    EXPECT_EQ(frameImagePath("/s/clip.avs", 120), "/s/clip-120.png");
    EXPECT_EQ(frameImagePath("/s.d/clip", 1), "/s.d/clip-1.png");
    EXPECT_EQ(frameImagePath("", 7), "Untitled-7.png");
}

} // namespace
} // namespace cw
