#include "core/editor/colour_scheme.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

TEST(ColourScheme, EveryDarkColourReadsOnItsPaper)
{
    const Rgb text{238, 238, 236};
    // From black to a paper as light as a dark desktop's gets.
    const Rgb papers[] = {{0, 0, 0}, {30, 30, 30}, {42, 42, 42}, {61, 61, 61}, {80, 80, 80}};
    for (const Rgb paper : papers) {
        const EditorColours dark = darkEditorColours(paper, text);
        const Rgb colours[] = {dark.keywords, dark.strings, dark.comments, dark.lineNumbers,
                               darkTipColours(paper, text).highlight};
        for (const Rgb colour : colours)
            EXPECT_GE(contrastRatio(colour, paper), minimumTextContrast)
                << paper.red << ": " << colour.red << "," << colour.green << "," << colour.blue;
    }
}

} // namespace
} // namespace cw
