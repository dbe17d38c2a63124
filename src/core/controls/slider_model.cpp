#include "core/controls/slider_model.h"

#include "core/base/rounding.h"

#include <cmath>

namespace cw {

SliderError::SliderError(int number) : std::runtime_error("Invalid property value"), m_number(number) {}

double SliderModel::travel() const
{
    return m_orientation == horizontal ? m_surfaceWidth - m_thumbWidth : m_surfaceHeight - m_thumbHeight;
}

// Distance of the thumb from the start of its travel (the left, or the top).
double SliderModel::thumbOffsetFor(int value) const
{
    const double along = m_range > 0 ? travel() * (static_cast<double>(value) - m_min) / m_range : 0.0;
    return m_orientation == horizontal ? along : travel() - along;
}

void SliderModel::placeThumb(int value)
{
    if (m_orientation == horizontal) {
        m_thumb.x = thumbOffsetFor(value);
    } else {
        m_thumb.y = thumbOffsetFor(value);
    }
}

SliderEvents SliderModel::setValue(int value)
{
    if (value < m_min || value > m_max) throw SliderError(invalidPropertyValueError);
    m_value = value;
    if (value == m_lastValue) return {};
    if (!m_dragging) placeThumb(value);
    m_lastValue = value;
    SliderEvents events{SliderEvent::ValueChanged};
    if (value == m_max) events.push_back(SliderEvent::ArrivedLast);
    if (value == m_min) events.push_back(SliderEvent::ArrivedFirst);
    return events;
}

SliderEvents SliderModel::setPolledValue(int value)
{
    if (m_dragging) return {};
    return setValue(value);
}

SliderEvents SliderModel::setMin(int value)
{
    if (value >= m_max) throw SliderError(invalidPropertyValueError);
    m_min = value;
    SliderEvents events = setValue(value);
    m_range = static_cast<std::int64_t>(m_max) - m_min;
    return events;
}

void SliderModel::setMax(int value)
{
    if (value <= m_min) throw SliderError(invalidPropertyValueError);
    m_max = value;
    m_range = static_cast<std::int64_t>(m_max) - m_min;
}

void SliderModel::setOrientation(int orientation)
{
    m_orientation = orientation;
    m_thumb.x = 0;
    // A horizontal surface is fitted to the thumb's height, so the thumb sits at its top.
    m_thumb.y = orientation == horizontal ? 0 : m_surfaceHeight - m_thumbHeight;
    relayout();
}

void SliderModel::setRailStyle(int style)
{
    m_railStyle = style;
    relayout();
}

void SliderModel::setSurfaceSize(int width, int height)
{
    m_surfaceWidth = width;
    m_surfaceHeight = height;
    relayout();
}

void SliderModel::setThumbSize(int width, int height)
{
    m_thumbWidth = width;
    m_thumbHeight = height;
    relayout();
}

SliderPoint SliderModel::fittedSurfaceSize(int width, int height) const
{
    if (m_orientation == horizontal) return {double(width == 0 ? m_thumbWidth : width), double(m_thumbHeight)};
    return {double(m_thumbWidth), double(height == 0 ? m_thumbHeight : height)};
}

void SliderModel::relayout()
{
    placeThumb(m_value);
    const auto half = [](int length) { return static_cast<int>(roundHalfEven(length / 2.0)); };
    if (m_orientation == horizontal) {
        m_rail.top = half(m_thumbHeight - 4);
        m_rail.bottom = m_rail.top + 4;
        m_rail.left = half(m_thumbWidth) - 2;
        m_rail.right = m_surfaceWidth + m_rail.left - m_thumbWidth + 4;
    } else {
        m_rail.left = half(m_thumbWidth - 4);
        m_rail.right = m_rail.left + 4;
        m_rail.top = half(m_thumbHeight) - 2;
        m_rail.bottom = m_surfaceHeight + m_rail.top - m_thumbHeight + 4;
    }
}

SliderEvents SliderModel::press(double x, double y, bool leftButton)
{
    if (!leftButton || !m_enabled) return {};
    m_dragging = true;
    SliderEvents events;
    const bool onThumb =
        x >= m_thumb.x && x < m_thumb.x + m_thumbWidth && y >= m_thumb.y && y < m_thumb.y + m_thumbHeight;
    if (onThumb) {
        m_grabX = x - m_thumb.x;
        m_grabY = y - m_thumb.y;
    } else {
        m_grabX = m_thumbWidth / 2.0;
        m_grabY = m_thumbHeight / 2.0;
        events = move(x, y);
    }
    events.push_back(SliderEvent::MouseDown);
    return events;
}

SliderEvents SliderModel::move(double x, double y)
{
    if (!m_dragging) return {};
    const double length = travel();
    const double p = m_orientation == horizontal ? x - m_grabX : y - m_grabY;
    const double offset = p < 0 ? 0 : p <= length ? p : length;
    // A thumb as long as the surface has nowhere to go: the value stays.
    if (length <= 0) return {};
    const double along = m_orientation == horizontal ? offset : length - offset;
    const double exact = m_min + static_cast<double>(m_range) * along / length;
    const int v = static_cast<int>(roundHalfEven(exact));
    if (m_orientation == horizontal) {
        m_thumb.x = thumbOffsetFor(v);
    } else {
        m_thumb.y = thumbOffsetFor(v);
    }
    return setValue(v);
}

SliderEvents SliderModel::release(double x, double y, bool leftButton)
{
    SliderEvents events;
    if (leftButton && x >= 0 && x < m_surfaceWidth && y >= 0 && y < m_surfaceHeight)
        events.push_back(SliderEvent::Click);
    if (m_dragging) events.push_back(SliderEvent::MouseUp);
    m_dragging = false;
    return events;
}

SliderTipGeometry SliderModel::valueTipGeometry(int controlLeft, int controlTop, int labelWidth,
                                                int labelHeight) const
{
    const auto px = [](double v) { return static_cast<int>(roundHalfEven(v)); };
    SliderTipGeometry tip{0, 0, labelWidth + 4, labelHeight + 3};
    if (m_orientation == horizontal) {
        tip.x = px(controlLeft + m_thumb.x + (m_thumbWidth - labelWidth - 4) / 2.0);
        tip.y = px(controlTop + m_thumb.y - labelHeight - 5);
    } else {
        tip.x = px(controlLeft + m_thumb.x - labelWidth - 6);
        tip.y = px(controlTop + m_thumb.y + (m_thumbHeight - labelHeight - 4) / 2.0);
    }
    return tip;
}

} // namespace cw
