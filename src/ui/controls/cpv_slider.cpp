#include "ui/controls/cpv_slider.h"

#include "ui/base/qt_strings.h"
#include "ui/controls/frm_value_tip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <qdrawutil.h>

#include <algorithm>

namespace cw {
namespace {

constexpr int designedThumbWidth = 11;
constexpr int designedThumbHeight = 21;
constexpr int railPictureStyle = 99;

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

QSize logicalSize(const QPixmap& picture)
{
    return (QSizeF(picture.size()) / picture.devicePixelRatio()).toSize();
}

} // namespace

cpvSlider::cpvSlider(QWidget* parent) : QWidget(parent), m_backColor(palette().color(QPalette::Button))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_model.setThumbSize(designedThumbWidth, designedThumbHeight);
    m_model.setOrientation(SliderModel::vertical);
    relayout();
}

cpvSlider::~cpvSlider()
{
    if (m_model.dragging()) frmValueTip::closeShared();
}

QSize cpvSlider::thumbSize() const
{
    if (m_sliderIcon.isNull()) return {designedThumbWidth, designedThumbHeight};
    return logicalSize(m_sliderIcon);
}

void cpvSlider::setBackColor(const QColor& colour)
{
    m_backColor = colour;
    update();
}

void cpvSlider::setEnabledProperty(bool on)
{
    m_model.setEnabled(on);
    update();
}

void cpvSlider::setSliderIcon(const QPixmap& picture)
{
    m_sliderIcon = picture;
    relayout();
}

void cpvSlider::setOrientation(int orientation)
{
    m_model.setOrientation(orientation);
    relayout();
}

void cpvSlider::setRailPicture(const QPixmap& picture)
{
    m_railPicture = picture;
    relayout();
}

void cpvSlider::setRailStyle(int style)
{
    m_model.setRailStyle(style);
    relayout();
}

void cpvSlider::setMin(int value)
{
    emitEvents(m_model.setMin(value));
}

void cpvSlider::setMax(int value)
{
    m_model.setMax(value);
}

void cpvSlider::setValue(int value)
{
    emitEvents(m_model.setValue(value));
}

void cpvSlider::setPolledValue(int value)
{
    emitEvents(m_model.setPolledValue(value));
}

void cpvSlider::setTicks(std::vector<int> values)
{
    m_ticks = std::move(values);
    update();
}

void cpvSlider::emitEvents(const SliderEvents& events, int shift)
{
    for (SliderEvent event : events) {
        switch (event) {
        case SliderEvent::ValueChanged:
            update();
            if (m_model.dragging()) updateTip();
            emit ValueChanged();
            break;
        case SliderEvent::ArrivedFirst: emit ArrivedFirst(); break;
        case SliderEvent::ArrivedLast: emit ArrivedLast(); break;
        case SliderEvent::Click: emit Click(); break;
        case SliderEvent::MouseDown: emit MouseDown(shift); break;
        case SliderEvent::MouseUp: emit MouseUp(shift); break;
        }
    }
}

// Fits the control across its travel to the thumb, then places the thumb and
// the rail for the current size.
void cpvSlider::relayout()
{
    if (m_inRelayout) return;
    m_inRelayout = true;
    const QSize thumb = thumbSize();
    m_model.setThumbSize(thumb.width(), thumb.height());
    const bool horizontal = m_model.orientation() == SliderModel::horizontal;
    if (m_model.railStyle() == railPictureStyle && !m_railPicture.isNull()) {
        const QSize rail = logicalSize(m_railPicture);
        const int across = std::max(horizontal ? thumb.height() : thumb.width(),
                                    horizontal ? rail.height() : rail.width());
        const QSize fitted = horizontal ? QSize(rail.width() + 4, across) : QSize(across, rail.height() + 4);
        setFixedSize(fitted);
    } else {
        const SliderPoint fitted = m_model.fittedSurfaceSize(width(), height());
        if (horizontal) {
            setMinimumSize(0, thumb.height());
            setMaximumSize(QWIDGETSIZE_MAX, thumb.height());
        } else {
            setMinimumSize(thumb.width(), 0);
            setMaximumSize(thumb.width(), QWIDGETSIZE_MAX);
        }
        resize(int(fitted.x), int(fitted.y));
    }
    m_model.setSurfaceSize(width(), height());
    m_inRelayout = false;
    update();
}

void cpvSlider::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void cpvSlider::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_backColor);
    const SliderRail r = m_model.rail();
    const QRect rail(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    switch (m_model.railStyle()) {
    case 0: qDrawWinPanel(&p, rail, palette(), true); break;
    case 1: qDrawWinPanel(&p, rail, palette(), false); break;
    case 2: qDrawShadePanel(&p, rail, palette(), true, 1); break;
    case 3: qDrawShadePanel(&p, rail, palette(), false, 1); break;
    case railPictureStyle:
        if (!m_railPicture.isNull()) {
            const QSize size = logicalSize(m_railPicture);
            if (m_model.orientation() == SliderModel::horizontal)
                p.drawPixmap(2, (height() - size.height()) / 2, m_railPicture);
            else
                p.drawPixmap((width() - size.width()) / 2, 2, m_railPicture);
        }
        break;
    default: break; // 4 and any unknown style: no edge
    }
    drawTicks(p);
    const SliderPoint at = m_model.thumb();
    const QRectF box(at.x, at.y, m_model.thumbWidth(), m_model.thumbHeight());
    if (m_sliderIcon.isNull())
        drawThumb(p, box);
    else
        p.drawPixmap(box.topLeft(), m_sliderIcon);
}

// The designed thumb: a raised grip whose lower end points at the rail,
// drawn as a path so it stays sharp at any device pixel ratio.
void cpvSlider::drawThumb(QPainter& p, const QRectF& box) const
{
    const double w = box.width();
    const double h = box.height();
    const double shoulder = h - w / 2.0 - 0.5;
    QPainterPath outline;
    outline.moveTo(box.left() + 0.5, box.top() + 0.5);
    outline.lineTo(box.left() + w - 0.5, box.top() + 0.5);
    outline.lineTo(box.left() + w - 0.5, box.top() + shoulder);
    outline.lineTo(box.left() + w / 2.0, box.top() + h - 0.5);
    outline.lineTo(box.left() + 0.5, box.top() + shoulder);
    outline.closeSubpath();

    const bool live = m_model.enabled();
    QLinearGradient face(box.topLeft(), box.topRight());
    face.setColorAt(0, live ? QColor(0xf4, 0xf7, 0xfb) : QColor(0xee, 0xee, 0xee));
    face.setColorAt(1, live ? QColor(0xb9, 0xc9, 0xdd) : QColor(0xd0, 0xd0, 0xd0));
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(live ? QColor(0x3c, 0x55, 0x78) : QColor(0x9a, 0x9a, 0x9a), 1.0));
    p.setBrush(face);
    p.drawPath(outline);
    // Three grip lines across the body.
    p.setPen(QPen(live ? QColor(0x5d, 0x78, 0x9c) : QColor(0xb0, 0xb0, 0xb0), 1.0));
    for (int i = 0; i < 3; ++i) {
        const double y = box.top() + 4.5 + 3 * i;
        p.drawLine(QPointF(box.left() + 3, y), QPointF(box.left() + w - 3, y));
    }
    p.restore();
}

// A tick crosses the rail where the thumb's centre line stands at its
// value, drawn as a path so it stays sharp at any device pixel ratio.
void cpvSlider::drawTicks(QPainter& p) const
{
    if (m_ticks.empty()) return;
    const bool horizontal = m_model.orientation() == SliderModel::horizontal;
    const SliderRail r = m_model.rail();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(0xd0, 0x40, 0x10), 2.0, Qt::SolidLine, Qt::FlatCap));
    for (int value : m_ticks) {
        if (value < m_model.min() || value > m_model.max()) continue;
        const double along = m_model.thumbOffsetFor(value) +
                             (horizontal ? m_model.thumbWidth() : m_model.thumbHeight()) / 2.0;
        if (horizontal)
            p.drawLine(QPointF(along, r.top - 4), QPointF(along, r.bottom + 4));
        else
            p.drawLine(QPointF(r.left - 4, along), QPointF(r.right + 4, along));
    }
    p.restore();
}

void cpvSlider::mousePressEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    SliderEvents events = m_model.press(at.x(), at.y(), event->button() == Qt::LeftButton);
    if (events.empty()) return;
    // The tip appears after the jump to the pointer and before MouseDown.
    events.pop_back();
    emitEvents(events);
    if (m_model.dragging() && m_model.showValueTip()) updateTip();
    emitEvents({SliderEvent::MouseDown}, shiftState(event->modifiers()));
}

void cpvSlider::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    emitEvents(m_model.move(at.x(), at.y()));
}

void cpvSlider::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    emitEvents(m_model.release(at.x(), at.y(), event->button() == Qt::LeftButton), shiftState(event->modifiers()));
    frmValueTip::closeShared();
}

void cpvSlider::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_model.dragging()) frmValueTip::closeShared();
}

void cpvSlider::updateTip()
{
    if (!m_model.showValueTip()) return;
    frmValueTip& tip = frmValueTip::instance();
    const QSize label = tip.labelSizeFor(fromUtf8String(m_model.valueTipText()));
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    const SliderTipGeometry g = m_model.valueTipGeometry(origin.x(), origin.y(), label.width(), label.height());
    tip.showAt(g.x, g.y, g.width, g.height);
}

} // namespace cw
