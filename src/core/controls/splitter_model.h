#pragma once

namespace cw {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

// The bar between the panes: 100 twips at 15 twips per pixel.
inline constexpr int splitterBarPixels = 7;

// How a splitter places its two panes.
enum class Tiling { stacked = 0, sideBySide = 1 };

// The state and arithmetic of a splitter that divides its rectangle between
// two panes with a draggable bar between them.
class SplitterModel {
public:
    struct Panes {
        Rect first;
        Rect second;
    };

    Panes layout(const Rect& area) const;

    int tilePercent() const { return m_percent; }
    void setTilePercent(int percent) { m_percent = percent; }
    void setTileMode(Tiling mode) { m_mode = mode; }
    bool sideBySide() const { return m_mode == Tiling::sideBySide; }

    // Bounds for dragging; both exclusive. Attaching sets 5 and 98.
    void resetBounds();
    void setMinTilePercent(int percent); // ignored unless 5 < percent < 98 and below the maximum
    void setMaxTilePercent(int percent); // ignored unless 5 < percent < 98 and above the minimum
    int minTilePercent() const { return m_min; }
    int maxTilePercent() const { return m_max; }

    // c is the mouse coordinate along the splitting direction, firstExtent
    // the first pane's current width (side by side) or height.
    static bool onBar(int c, int firstExtent) { return c > firstExtent && c < firstExtent + splitterBarPixels; }
    void press(int c, int firstExtent);
    // While dragging, moves the division to c of total; true when the
    // percentage changed and the panes must be laid out again.
    bool drag(int c, int total);
    void release() { m_dragging = false; }
    bool dragging() const { return m_dragging; }

private:
    int m_percent = 0;
    Tiling m_mode = Tiling::stacked;
    int m_min = 0;
    int m_max = 0;
    bool m_dragging = false;
};

} // namespace cw
