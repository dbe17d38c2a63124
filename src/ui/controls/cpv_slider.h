#pragma once

#include "core/controls/slider_model.h"

#include <QColor>
#include <QPixmap>
#include <QWidget>

#include <vector>

namespace cw {

// The position slider: a rail, a thumb the user drags or clicks to, and a
// value tip while dragging. Values come from SliderModel, so an invalid
// Value, Min or Max throws SliderError(380) and changes nothing. Without a
// SliderIcon the control draws its own 11 by 21 thumb.
class cpvSlider : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)
    Q_PROPERTY(QPixmap SliderIcon READ SliderIcon WRITE setSliderIcon)
    Q_PROPERTY(int Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(QPixmap RailPicture READ RailPicture WRITE setRailPicture)
    Q_PROPERTY(int RailStyle READ RailStyle WRITE setRailStyle)
    Q_PROPERTY(bool ShowValueTip READ ShowValueTip WRITE setShowValueTip)
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Value READ Value WRITE setValue USER true)

public:
    explicit cpvSlider(QWidget* parent = nullptr);
    ~cpvSlider() override;

    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor& colour);
    // When false the slider ignores presses; a release inside still clicks.
    bool Enabled() const { return m_model.enabled(); }
    void setEnabledProperty(bool on);
    QPixmap SliderIcon() const { return m_sliderIcon; }
    void setSliderIcon(const QPixmap& picture);
    int Orientation() const { return m_model.orientation(); }
    void setOrientation(int orientation);
    QPixmap RailPicture() const { return m_railPicture; }
    void setRailPicture(const QPixmap& picture);
    int RailStyle() const { return m_model.railStyle(); }
    void setRailStyle(int style);
    bool ShowValueTip() const { return m_model.showValueTip(); }
    void setShowValueTip(bool on) { m_model.setShowValueTip(on); }
    int Min() const { return m_model.min(); }
    void setMin(int value);
    int Max() const { return m_model.max(); }
    void setMax(int value);
    int Value() const { return m_model.value(); }
    void setValue(int value);

    // A value that is not the user's (the playback position): ignored while
    // the thumb is held, so the release takes the dragged value.
    void setPolledValue(int value);
    bool isDragging() const { return m_model.dragging(); }
    // Values marked on the rail (the preview's bookmarks); those outside
    // Min..Max are not drawn.
    void setTicks(std::vector<int> values);
    const std::vector<int>& ticks() const { return m_ticks; }
    const SliderModel& model() const { return m_model; }

signals:
    void Click();
    void ArrivedFirst();
    void ArrivedLast();
    void ValueChanged();
    // shift: 1 Shift, 2 Ctrl, 4 Alt, as held when the button went down or up.
    void MouseDown(int shift);
    void MouseUp(int shift);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void relayout();
    void emitEvents(const SliderEvents& events, int shift = 0);
    void updateTip();
    void drawThumb(QPainter& painter, const QRectF& box) const;
    void drawTicks(QPainter& painter) const;
    QSize thumbSize() const;

    SliderModel m_model;
    QColor m_backColor;
    QPixmap m_sliderIcon;
    QPixmap m_railPicture;
    std::vector<int> m_ticks;
    bool m_inRelayout = false;
};

} // namespace cw
