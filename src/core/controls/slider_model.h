#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace cw {

inline constexpr int invalidPropertyValueError = 380;

// An invalid property value; the state it was meant for is unchanged.
class SliderError : public std::runtime_error {
public:
    explicit SliderError(int number);
    int number() const { return m_number; }

private:
    int m_number;
};

enum class SliderEvent { Click, ArrivedFirst, ArrivedLast, ValueChanged, MouseDown, MouseUp };
using SliderEvents = std::vector<SliderEvent>; // in the order they are raised

struct SliderPoint {
    double x = 0;
    double y = 0;
};

struct SliderRail {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const SliderRail&) const = default;
};

struct SliderTipGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const SliderTipGeometry&) const = default;
};

// The state and arithmetic of the position slider: a thumb travelling along
// a rail on a surface measured in pixels, a value between Min and Max, and
// the events each change raises. Drawing belongs to the widget.
class SliderModel {
public:
    static constexpr int horizontal = 0;
    static constexpr int vertical = 1; // minimum at the bottom

    int min() const { return m_min; }
    int max() const { return m_max; }
    int value() const { return m_value; }
    std::int64_t range() const { return m_range; }
    bool enabled() const { return m_enabled; }
    int orientation() const { return m_orientation; }
    int railStyle() const { return m_railStyle; }
    bool showValueTip() const { return m_showValueTip; }
    bool dragging() const { return m_dragging; }

    // Each throws SliderError(380) and changes nothing when the setting is
    // invalid: a value outside Min..Max, a Max not above Min, a Min not
    // below Max. Setting Min also moves the value to it.
    SliderEvents setValue(int value);
    SliderEvents setMin(int value);
    void setMax(int value);

    // A value from outside the user's hand (the playback position): while the
    // thumb is held it is ignored, so the release takes the dragged value.
    SliderEvents setPolledValue(int value);

    void setEnabled(bool on) { m_enabled = on; }
    void setOrientation(int orientation); // thumb back to the start, then re-layout
    void setRailStyle(int style);
    void setShowValueTip(bool on) { m_showValueTip = on; }

    // Geometry in pixels. The thumb is designed 11 by 21.
    void setSurfaceSize(int width, int height);
    void setThumbSize(int width, int height);
    int surfaceWidth() const { return m_surfaceWidth; }
    int surfaceHeight() const { return m_surfaceHeight; }
    int thumbWidth() const { return m_thumbWidth; }
    int thumbHeight() const { return m_thumbHeight; }
    // The surface size the control takes to fit its thumb: the cross axis
    // always the thumb's, the travel axis only when it was 0.
    SliderPoint fittedSurfaceSize(int width, int height) const;
    void relayout(); // thumb placed for the value, rail recomputed
    SliderPoint thumb() const { return m_thumb; }
    SliderRail rail() const { return m_rail; }
    // Distance of the thumb from the start of its travel (the left, or the
    // top) when it stands at value.
    double thumbOffsetFor(int value) const;

    // Mouse input in surface pixels.
    SliderEvents press(double x, double y, bool leftButton);
    SliderEvents move(double x, double y);
    SliderEvents release(double x, double y, bool leftButton);

    std::string valueTipText() const { return "Frame " + std::to_string(m_value); }
    // Screen rectangle of the tip, given the control's screen position and the
    // size of the tip's label: centred above a horizontal thumb, left of a
    // vertical one.
    SliderTipGeometry valueTipGeometry(int controlLeft, int controlTop, int labelWidth, int labelHeight) const;

private:
    double travel() const;
    void placeThumb(int value);

    bool m_dragging = false;
    double m_grabX = 0;
    double m_grabY = 0;
    SliderRail m_rail;
    std::int64_t m_range = 10;
    int m_lastValue = 0;
    bool m_enabled = true;
    int m_orientation = vertical;
    int m_railStyle = 0;
    bool m_showValueTip = true;
    int m_min = 0;
    int m_max = 10;
    int m_value = 0;
    int m_surfaceWidth = 11;
    int m_surfaceHeight = 21;
    int m_thumbWidth = 11;
    int m_thumbHeight = 21;
    SliderPoint m_thumb;
};

} // namespace cw
