#include "ui/controls/cpv_slider.h"
#include "ui/controls/frm_value_tip.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace cw {
namespace {

using Events = std::vector<std::string>;

// A horizontal slider 0..10 on a 111-pixel surface: 100 pixels of travel,
// so value v has its thumb at 10 v.
struct SliderFixture {
    SliderFixture()
    {
        host.resize(300, 100);
        slider->setOrientation(SliderModel::horizontal);
        slider->setGeometry(20, 40, 111, 30);
        const auto record = [this](const char* name) { return [this, name] { events.push_back(name); }; };
        QObject::connect(slider, &cpvSlider::Click, record("Click"));
        QObject::connect(slider, &cpvSlider::ArrivedFirst, record("ArrivedFirst"));
        QObject::connect(slider, &cpvSlider::ArrivedLast, record("ArrivedLast"));
        QObject::connect(slider, &cpvSlider::ValueChanged, record("ValueChanged"));
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
    cpvSlider* slider = new cpvSlider(&host);
    Events events;
};

TEST(CpvSlider, AClickOnTheRailJumpsBeforeMouseDownAndADragStopsAtTheEnds)
{
    SliderFixture f;
    // The centre of the thumb lands on the pointer: x 75 puts its left at 70.
    QTest::mousePress(f.slider, Qt::LeftButton, Qt::ShiftModifier, QPoint(75, 10));
    EXPECT_EQ(f.events, (Events{"ValueChanged", "MouseDown1@7"}));
    f.events.clear();
    QTest::mouseMove(f.slider, QPoint(400, 10));
    QTest::mouseMove(f.slider, QPoint(-400, 10));
    QTest::mouseRelease(f.slider, Qt::LeftButton, {}, QPoint(-400, 10));
    // Released outside: no Click.
    EXPECT_EQ(f.events, (Events{"ValueChanged", "ArrivedLast", "ValueChanged", "ArrivedFirst", "MouseUp0"}));
    EXPECT_FALSE(f.slider->isDragging());
}

TEST(CpvSlider, PolledValuesWaitWhileTheThumbIsHeldAndTheTipFollowsIt)
{
    SliderFixture f;
    QTest::mousePress(f.slider, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseMove(f.slider, QPoint(55, 10));
    f.slider->setPolledValue(8);
    EXPECT_EQ(f.slider->Value(), 5);

    frmValueTip& tip = frmValueTip::instance();
    ASSERT_TRUE(tip.isVisible());
    EXPECT_EQ(tip.lblTip()->text(), "Frame 5");
    EXPECT_TRUE(tip.windowFlags() & Qt::ToolTip);
    EXPECT_TRUE(tip.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_FALSE(tip.isActiveWindow());
    const QPoint thumb = f.slider->mapToGlobal(QPoint(50, 0)); // centred above the thumb
    EXPECT_EQ(tip.geometry().bottom() + 1, thumb.y() - 2);
    EXPECT_NEAR(tip.geometry().center().x(), thumb.x() + 5, 2);
    // The frame's dark edges are the tip's outermost pixels at any ratio.
    for (qreal ratio : {1.0, 2.0}) {
        QPixmap canvas(tip.size() * ratio);
        canvas.setDevicePixelRatio(ratio);
        tip.render(&canvas);
        const QImage image = canvas.toImage();
        const QColor shadow = tip.palette().color(QPalette::Shadow);
        EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() / 2).rgb(), shadow.rgb()) << ratio;
        EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() - 1).rgb(), shadow.rgb()) << ratio;
    }

    QTest::mouseRelease(f.slider, Qt::LeftButton, {}, QPoint(55, 10));
    EXPECT_EQ(f.slider->Value(), 5);
    EXPECT_EQ(Events(f.events.end() - 2, f.events.end()), (Events{"Click", "MouseUp0"}));
    EXPECT_FALSE(tip.isVisible());
    f.slider->setPolledValue(8);
    EXPECT_EQ(f.slider->Value(), 8);

    f.slider->setShowValueTip(false);
    QTest::mousePress(f.slider, Qt::LeftButton, {}, QPoint(85, 10));
    EXPECT_FALSE(tip.isVisible());
    QTest::mouseRelease(f.slider, Qt::LeftButton, {}, QPoint(85, 10));
}

TEST(CpvSlider, FitsItsThicknessToTheThumbAndDrawsItWhereTheValueIsAtAnyPixelRatio)
{
    SliderFixture f;
    EXPECT_EQ(f.slider->size(), QSize(111, 21));
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
        EXPECT_LT(at(100, 8).lightness(), 140) << ratio; // a one-pixel outline, not smeared over two
    }
    f.slider->setOrientation(SliderModel::vertical);
    EXPECT_EQ(f.slider->width(), 11);
}

} // namespace
} // namespace cw
