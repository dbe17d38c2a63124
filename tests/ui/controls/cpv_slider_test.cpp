#include "ui/controls/cpv_slider.h"
#include "ui/controls/frm_value_tip.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace cw {
namespace {

// A horizontal slider 0..10 on a 111-pixel surface: 100 pixels of travel,
// so value v has its thumb at 10 v.
struct SliderFixture {
    SliderFixture()
    {
        host.resize(300, 100);
        slider = new cpvSlider(&host);
        slider->setOrientation(SliderModel::horizontal);
        slider->setGeometry(20, 40, 111, 30);
        for (auto [signal, name] : std::initializer_list<std::pair<void (cpvSlider::*)(), const char*>>{
                 {&cpvSlider::Click, "Click"},
                 {&cpvSlider::ArrivedFirst, "ArrivedFirst"},
                 {&cpvSlider::ArrivedLast, "ArrivedLast"},
                 {&cpvSlider::ValueChanged, "ValueChanged"}})
            QObject::connect(slider, signal, [this, n = std::string(name)] { events.push_back(n); });
        QObject::connect(slider, &cpvSlider::MouseDown, [this](int shift) {
            events.push_back("MouseDown" + std::to_string(shift) + "@" + std::to_string(slider->Value()));
        });
        QObject::connect(slider, &cpvSlider::MouseUp,
                         [this](int shift) { events.push_back("MouseUp" + std::to_string(shift)); });
        host.show();
        QCoreApplication::processEvents();
    }
    ~SliderFixture() { frmValueTip::closeShared(); }

    QWidget host;
    cpvSlider* slider;
    std::vector<std::string> events;
};

using Events = std::vector<std::string>;

TEST(CpvSlider, FitsItsHeightToTheThumbAndPlacesTheRail)
{
    SliderFixture f;
    EXPECT_EQ(f.slider->size(), QSize(111, 21));
    EXPECT_EQ(f.slider->model().rail(), (SliderRail{4, 8, 108, 12}));

    f.slider->setOrientation(SliderModel::vertical);
    EXPECT_EQ(f.slider->width(), 11);
    EXPECT_EQ(f.slider->Orientation(), SliderModel::vertical);
}

TEST(CpvSlider, InvalidSettingsThrow380AndChangeNothing)
{
    SliderFixture f;
    f.slider->setValue(4);
    f.events.clear();
    for (auto set : std::initializer_list<std::function<void()>>{[&] { f.slider->setValue(11); },
                                                                 [&] { f.slider->setValue(-1); },
                                                                 [&] { f.slider->setMax(0); },
                                                                 [&] { f.slider->setMin(10); }}) {
        try {
            set();
            ADD_FAILURE() << "no error";
        } catch (const SliderError& error) {
            EXPECT_EQ(error.number(), 380);
        }
    }
    EXPECT_EQ(f.slider->Value(), 4);
    EXPECT_EQ(f.slider->Min(), 0);
    EXPECT_EQ(f.slider->Max(), 10);
    EXPECT_EQ(f.events, Events{});
}

TEST(CpvSlider, ValueChangesRaiseTheirEventsInOrder)
{
    SliderFixture f;
    f.slider->setValue(10);
    f.slider->setValue(10);
    EXPECT_EQ(f.events, (Events{"ValueChanged", "ArrivedLast"}));
    f.events.clear();
    f.slider->setMin(2);
    EXPECT_EQ(f.events, (Events{"ValueChanged", "ArrivedFirst"}));
    EXPECT_EQ(f.slider->Value(), 2);
}

TEST(CpvSlider, AClickOnTheRailJumpsBeforeMouseDownAndADragStopsAtTheEnds)
{
    SliderFixture f;
    // Centre of the thumb lands on the pointer: x 75 puts its left at 70.
    QTest::mousePress(f.slider, Qt::LeftButton, Qt::ShiftModifier, QPoint(75, 10));
    EXPECT_EQ(f.events, (Events{"ValueChanged", "MouseDown1@7"}));
    EXPECT_EQ(f.slider->model().thumb().x, 70);
    f.events.clear();

    QTest::mouseMove(f.slider, QPoint(400, 10));
    EXPECT_EQ(f.slider->Value(), 10);
    QTest::mouseMove(f.slider, QPoint(-400, 10));
    EXPECT_EQ(f.slider->Value(), 0);
    QTest::mouseRelease(f.slider, Qt::LeftButton, {}, QPoint(-400, 10));
    // Released outside: no Click.
    EXPECT_EQ(f.events, (Events{"ValueChanged", "ArrivedLast", "ValueChanged", "ArrivedFirst", "MouseUp0"}));
    EXPECT_FALSE(f.slider->isDragging());
}

TEST(CpvSlider, PolledValuesWaitWhileTheThumbIsHeld)
{
    SliderFixture f;
    QTest::mousePress(f.slider, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseMove(f.slider, QPoint(35, 10));
    EXPECT_EQ(f.slider->Value(), 3);
    f.slider->setPolledValue(8);
    EXPECT_EQ(f.slider->Value(), 3);
    QTest::mouseRelease(f.slider, Qt::LeftButton, {}, QPoint(35, 10));
    EXPECT_EQ(f.slider->Value(), 3);
    EXPECT_EQ(f.events.back(), "MouseUp0");
    EXPECT_EQ(f.events[f.events.size() - 2], "Click");

    f.slider->setPolledValue(8);
    EXPECT_EQ(f.slider->Value(), 8);
}

TEST(CpvSlider, WhenDisabledOnlyTheClickRemains)
{
    SliderFixture f;
    f.slider->setEnabledProperty(false);
    QTest::mousePress(f.slider, Qt::LeftButton, {}, QPoint(75, 10));
    QTest::mouseRelease(f.slider, Qt::LeftButton, {}, QPoint(75, 10));
    EXPECT_EQ(f.events, Events{"Click"});
    EXPECT_EQ(f.slider->Value(), 0);
}

TEST(CpvSlider, TheValueTipFollowsTheThumbWithoutTakingTheFocus)
{
    SliderFixture f;
    QTest::mousePress(f.slider, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseMove(f.slider, QPoint(55, 10));
    frmValueTip& tip = frmValueTip::instance();
    ASSERT_TRUE(tip.isVisible());
    EXPECT_EQ(tip.lblTip()->text(), "Frame 5");
    EXPECT_TRUE(tip.windowFlags() & Qt::ToolTip);
    EXPECT_TRUE(tip.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_FALSE(tip.isActiveWindow());
    // Centred above the thumb.
    const QPoint thumb = f.slider->mapToGlobal(QPoint(50, 0));
    EXPECT_EQ(tip.geometry().bottom() + 1, thumb.y() - 2);
    EXPECT_NEAR(tip.geometry().center().x(), thumb.x() + 5, 2);

    QTest::mouseRelease(f.slider, Qt::LeftButton, {}, QPoint(55, 10));
    EXPECT_FALSE(tip.isVisible());

    f.slider->setShowValueTip(false);
    QTest::mousePress(f.slider, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_FALSE(tip.isVisible());
    QTest::mouseRelease(f.slider, Qt::LeftButton, {}, QPoint(5, 10));
}

TEST(CpvSlider, DrawsItsThumbWhereTheValueIsAtAnyPixelRatio)
{
    SliderFixture f;
    f.slider->setBackColor(Qt::white);
    f.slider->setRailStyle(4);
    f.slider->setValue(10);
    for (qreal ratio : {1.0, 2.0}) {
        QPixmap canvas(f.slider->size() * ratio);
        canvas.setDevicePixelRatio(ratio);
        f.slider->render(&canvas);
        const QImage image = canvas.toImage();
        const auto at = [&](int x, int y) { return image.pixelColor(int(x * ratio), int(y * ratio)); };
        EXPECT_EQ(at(20, 5), QColor(Qt::white)) << ratio;
        EXPECT_NE(at(105, 5), QColor(Qt::white)) << ratio;
        // The outline is one solid pixel wide, not smeared over two.
        const QColor edge = at(100, 8);
        EXPECT_LT(edge.lightness(), 140) << ratio;
    }
}

} // namespace
} // namespace cw
