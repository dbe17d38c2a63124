#include "core/controls/slider_model.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

using E = SliderEvent;

// The preview's slider: horizontal, 11 by 21 thumb, 111 pixels wide, so
// the travel is 100 pixels.
SliderModel previewSlider(int max = 10)
{
    SliderModel s;
    s.setOrientation(SliderModel::horizontal);
    s.setSurfaceSize(111, 21);
    s.setMax(max);
    return s;
}

TEST(SliderModel, ValueEventsAndTheirOrder)
{
    SliderModel s = previewSlider();
    EXPECT_EQ(s.setValue(0), SliderEvents{}) << "same as the last value";
    EXPECT_EQ(s.setValue(4), (SliderEvents{E::ValueChanged}));
    EXPECT_EQ(s.thumb().x, 40);
    EXPECT_EQ(s.setValue(10), (SliderEvents{E::ValueChanged, E::ArrivedLast}));
    EXPECT_EQ(s.setValue(0), (SliderEvents{E::ValueChanged, E::ArrivedFirst}));
    EXPECT_EQ(s.setMin(-5), (SliderEvents{E::ValueChanged, E::ArrivedFirst}));
    EXPECT_EQ(s.value(), -5);
    s.setValue(2);
    EXPECT_EQ(s.setMin(2), SliderEvents{}) << "the value already was the new minimum";
    EXPECT_EQ(s.range(), 8);

    s.setMax(2147483647); // the whole integer range does not overflow
    s.setMin(-2147483647 - 1);
    EXPECT_EQ(s.range(), 4294967295LL);
    s.setValue(2147483647);
    EXPECT_DOUBLE_EQ(s.thumb().x, 100);
}

TEST(SliderModel, InvalidSettingsThrow380AndChangeNothing)
{
    SliderModel s = previewSlider();
    s.setValue(3);
    const auto expect380 = [&](auto change) {
        try {
            change();
            ADD_FAILURE() << "no error";
        } catch (const SliderError& e) {
            EXPECT_EQ(e.number(), 380);
        }
        EXPECT_EQ(s.min(), 0);
        EXPECT_EQ(s.max(), 10);
        EXPECT_EQ(s.value(), 3);
    };
    for (int v : {11, -1}) expect380([&] { s.setValue(v); });
    for (int m : {0, -4}) expect380([&] { s.setMax(m); });
    for (int m : {10, 12}) expect380([&] { s.setMin(m); });
}

TEST(SliderModel, PressOffTheThumbCentresItAndADragStopsAtTheEnds)
{
    SliderModel s = previewSlider();
    // Pointer at 60.5: thumb left 55 of 100, value 5.5 rounds to even 6.
    EXPECT_EQ(s.press(60.5, 10, true), (SliderEvents{E::ValueChanged, E::MouseDown}));
    EXPECT_EQ(s.value(), 6);
    EXPECT_EQ(s.thumb().x, 60) << "snapped to the value";
    // 45 + 5.5 centre: 4.5 rounds to 4.
    EXPECT_EQ(s.move(50.5, 10), (SliderEvents{E::ValueChanged}));
    EXPECT_EQ(s.value(), 4);
    EXPECT_EQ(s.release(50.5, 10, true), (SliderEvents{E::Click, E::MouseUp}));
    EXPECT_FALSE(s.dragging());

    s = previewSlider(1000);
    s.setValue(500);
    EXPECT_EQ(s.press(52, 3, true), (SliderEvents{E::MouseDown})) << "grabbed on the thumb";
    EXPECT_EQ(s.move(400, 3), (SliderEvents{E::ValueChanged, E::ArrivedLast}));
    EXPECT_EQ(s.value(), 1000);
    EXPECT_EQ(s.move(-300, 3), (SliderEvents{E::ValueChanged, E::ArrivedFirst}));
    EXPECT_EQ(s.thumb().x, 0);
    EXPECT_EQ(s.release(-300, 3, true), (SliderEvents{E::MouseUp})) << "outside: no Click";

    s.setSurfaceSize(11, 21); // a thumb as long as the surface cannot move
    EXPECT_EQ(s.press(5, 5, true), (SliderEvents{E::MouseDown}));
    EXPECT_EQ(s.move(50, 5), SliderEvents{});
    EXPECT_EQ(s.value(), 0);
}

TEST(SliderModel, DisabledOrOtherButtonsOnlyClickAndWhileHeldThePolledPositionLeavesTheValueAlone)
{
    SliderModel s = previewSlider();
    s.setEnabled(false);
    EXPECT_EQ(s.press(80, 10, true), SliderEvents{});
    EXPECT_EQ(s.move(90, 10), SliderEvents{});
    EXPECT_EQ(s.release(80, 10, true), (SliderEvents{E::Click}));
    s.setEnabled(true);
    EXPECT_EQ(s.press(80, 10, false), SliderEvents{});
    EXPECT_EQ(s.release(80, 10, false), SliderEvents{});
    EXPECT_EQ(s.value(), 0);

    s.press(85.5, 10, true);
    EXPECT_EQ(s.setPolledValue(2), SliderEvents{});
    EXPECT_EQ(s.value(), 8);
    s.release(85.5, 10, true);
    EXPECT_EQ(s.value(), 8) << "the release takes the dragged value";
    EXPECT_EQ(s.setPolledValue(2), (SliderEvents{E::ValueChanged}));
    // Code setting the value during a drag changes it but the thumb stays.
    s.press(25.5, 10, true);
    EXPECT_EQ(s.setValue(9), (SliderEvents{E::ValueChanged}));
    EXPECT_EQ(s.thumb().x, 20);
}

TEST(SliderModel, GeometryOfBothOrientations)
{
    SliderModel s;
    s.setSurfaceSize(11, 200); // vertical: thumb at the bottom; turned, at the start
    EXPECT_EQ(s.thumb().y, 179);
    s.setOrientation(SliderModel::horizontal);
    EXPECT_EQ(s.thumb().x, 0);
    EXPECT_EQ(s.thumb().y, 0);

    s = SliderModel{};
    s.setSurfaceSize(21, 121); // thumb 11 x 21: travel 100, minimum at the bottom
    EXPECT_EQ(s.thumb().y, 100);
    s.setValue(10);
    EXPECT_EQ(s.thumb().y, 0);
    s.press(5, 30.5 + 10.5, true); // off the thumb: centred, top 30 -> value 7
    EXPECT_EQ(s.value(), 7);
    EXPECT_EQ(s.valueTipGeometry(1000, 500, 50, 14), (SliderTipGeometry{1000 + 0 - 56, 500 + 30 + 2, 54, 17}));

    s = previewSlider();
    EXPECT_EQ(s.rail(), (SliderRail{4, 8, 108, 12}));
    s.setValue(5);
    EXPECT_EQ(s.valueTipText(), "Frame 5");
    // Centred above the thumb at 50: 50 + (11 - 40 - 4) / 2 = 33.5, to even.
    EXPECT_EQ(s.valueTipGeometry(200, 300, 40, 13), (SliderTipGeometry{200 + 34, 300 - 18, 44, 16}));
    EXPECT_EQ(s.fittedSurfaceSize(0, 50).x, 11);
    EXPECT_EQ(s.fittedSurfaceSize(300, 50).y, 21);
    s.setThumbSize(12, 20);
    EXPECT_EQ(s.rail(), (SliderRail{4, 8, 107, 12}));
}

} // namespace
} // namespace cw
