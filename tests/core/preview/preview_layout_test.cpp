#include "core/preview/preview_layout.h"

#include <gtest/gtest.h>

#include <limits>

namespace cw {
namespace {

TEST(PreviewLayout, PlacesTheControlsFromTheDesignInTwipsWithAMinimumWindow)
{
    const PreviewLayout l = previewLayout(640, 480);
    EXPECT_EQ(l.frameVideo, (PixelRect{5, 5, 640, 480}));
    EXPECT_EQ(l.windowWidth, 657);  // (9600 + 260) / 15
    EXPECT_EQ(l.windowHeight, 575); // (7200 + 1425) / 15
    EXPECT_EQ(l.clientWidth, 649);
    EXPECT_EQ(l.clientHeight, 547);
    EXPECT_EQ(l.slider, (PixelRect{5, 505, 499, 30}));
    EXPECT_EQ(l.previousButton, (PixelRect{511, 500, 26, 26}));
    EXPECT_EQ(l.nextButton, (PixelRect{537, 500, 26, 26}));
    EXPECT_EQ(l.okButton, (PixelRect{570, 500, 73, 26}));

    // Small and sizeless videos keep the minimum window.
    const PreviewLayout small = previewLayout(100, 50);
    EXPECT_EQ(small.windowWidth, 600);  // 9000 twips
    EXPECT_EQ(small.windowHeight, 250); // 3750 twips
    EXPECT_EQ(small.frameVideo, (PixelRect{5, 5, 100, 50}));
    const PreviewLayout none = previewLayout(0, 0);
    EXPECT_EQ(none.videoWidth, 600);
    EXPECT_EQ(none.videoHeight, 250);
    EXPECT_EQ(none.frameVideo, (PixelRect{5, 5, 600, 250}));
    EXPECT_EQ(none.windowWidth, 617);
    EXPECT_EQ(none.windowHeight, 345);
}

// A 4K clip on a 1400x900 screen: the video shrinks, its aspect kept, so the
// window and its controls fit; a clip that fits is never enlarged.
TEST(PreviewLayout, AClipLargerThanTheScreenIsShownScaledDown)
{
    const PreviewLayout l = previewLayout(3840, 2160, 1400, 900);
    EXPECT_EQ(l.videoWidth, 3840);
    EXPECT_EQ(l.videoHeight, 2160);
    EXPECT_LE(l.windowWidth, 1400);
    EXPECT_LE(l.windowHeight, 900);
    EXPECT_NEAR(double(l.frameVideo.width) / l.frameVideo.height, 16.0 / 9.0, 0.01);
    EXPECT_EQ(l.frameVideo.width, 1382); // 1400 pixels less the frame's 260 twips
    EXPECT_LE(l.okButton.left + l.okButton.width, l.clientWidth);
    EXPECT_LE(l.slider.top + l.slider.height, l.clientHeight);

    EXPECT_EQ(previewLayout(640, 480, 1400, 900).frameVideo, previewLayout(640, 480).frameVideo);
}

TEST(PreviewLayout, ClampFrameHoldsStepsWithinTheClip)
{
    constexpr std::int64_t big = std::numeric_limits<std::int64_t>::max();
    struct Row {
        std::int64_t pos;
        std::int32_t length;
        std::optional<std::int32_t> frame;
    } rows[] = {
        {-1, 10, 0}, {0, 10, 0}, {9, 10, 9}, {10, 10, 9}, {big, 10, 9}, {-big, 10, 0},
        {1, 1, 0},   {-1, 1, 0}, {0, 0, std::nullopt},     {-2, -1, std::nullopt},
    };
    for (const Row& r : rows) EXPECT_EQ(clampFrame(r.pos, r.length), r.frame) << r.pos << " of " << r.length;
}

TEST(PreviewLayout, AResizedWindowGivesTheVideoTheDifferenceAndKeepsTheRowsAtTheEdges)
{
    const PreviewLayout designed = previewLayout(640, 480);
    EXPECT_EQ(designed.toolRow.top, std::max(designed.slider.top + designed.slider.height,
                                             designed.okButton.top + designed.okButton.height) + 4);
    EXPECT_EQ(designed.rowsBottom, designed.toolRow.top + designed.toolRow.height + 4);
    EXPECT_EQ(arrangedFor(designed, designed.clientWidth, designed.rowsBottom).slider, designed.slider);

    const PreviewLayout wider = arrangedFor(designed, designed.clientWidth + 100, designed.rowsBottom + 50);
    EXPECT_EQ(wider.frameVideo, (PixelRect{5, 5, 740, 530}));
    EXPECT_EQ(wider.slider.width, designed.slider.width + 100);
    EXPECT_EQ(wider.slider.top, designed.slider.top + 50);
    EXPECT_EQ(wider.okButton.left, designed.okButton.left + 100);
    EXPECT_EQ(wider.toolRow.top, designed.toolRow.top + 50);

    // Never smaller than a visible video area and slider.
    const PixelRect least = minimumClientArea(designed);
    const PreviewLayout tiny = arrangedFor(designed, 10, 10);
    EXPECT_EQ(tiny.frameVideo.height, 16);
    EXPECT_GE(tiny.frameVideo.width, 16);
    EXPECT_GE(tiny.slider.width, 40);
    EXPECT_EQ(tiny.clientWidth, least.width);
    EXPECT_EQ(tiny.rowsBottom, least.height);
}

TEST(StepKeys, AHeldKeyStepsOnceAPollEveryTapCountsAndFocusLossForgets)
{
    StepKeys keys;
    EXPECT_EQ(keys.poll(StepKeys::Right), 0);

    keys.press(StepKeys::Right, false);
    EXPECT_EQ(keys.poll(StepKeys::Right), 1);
    EXPECT_EQ(keys.poll(StepKeys::Right), 1);
    EXPECT_EQ(keys.step(StepKeys::Right), 1);
    // The step a press chose holds while the key repeats.
    keys.press(StepKeys::Right, false, 30);
    keys.press(StepKeys::Right, true);
    EXPECT_EQ(keys.step(StepKeys::Right), 30);
    keys.press(StepKeys::Right, false);
    EXPECT_EQ(keys.step(StepKeys::Right), 1);
    EXPECT_EQ(keys.step(StepKeys::PageUp), -10);
    keys.poll(StepKeys::Right);
    // The keyboard's repeat arrives as release and press pairs: still one a poll.
    keys.release(StepKeys::Right, true);
    keys.press(StepKeys::Right, true);
    keys.release(StepKeys::Right, true);
    keys.press(StepKeys::Right, true);
    EXPECT_EQ(keys.poll(StepKeys::Right), 1);
    keys.release(StepKeys::Right, false);
    EXPECT_EQ(keys.poll(StepKeys::Right), 0);

    // Quick taps between two polls are not lost.
    for (int i = 0; i < 3; ++i) {
        keys.press(StepKeys::Left, false);
        keys.release(StepKeys::Left, false);
    }
    EXPECT_EQ(keys.poll(StepKeys::Left), 3);
    EXPECT_EQ(keys.poll(StepKeys::Left), 0);
    EXPECT_EQ(keys.poll(StepKeys::Right), 0);

    // Losing the keyboard forgets held and tapped keys.
    keys.press(StepKeys::Left, false);
    keys.release(StepKeys::Left, false);
    keys.press(StepKeys::Right, false);
    keys.forgetAll();
    EXPECT_EQ(keys.poll(StepKeys::Left), 0);
    EXPECT_EQ(keys.poll(StepKeys::Right), 0);
}

} // namespace
} // namespace cw
