#pragma once

#include <cstdint>
#include <optional>

namespace cw {

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// Where the preview window puts its controls for a video of the given size,
// in the program's own (device-independent) pixels, which a scaled screen
// shows larger, so the window keeps its proportions at any scale. The
// window is designed in twips at 15 per such pixel; a video that
// reports no width gets a 600 by 250 area, which the window then shows. A
// window that would not fit the screen's free area shows the video scaled
// down, its aspect kept, so that its controls stay within reach.
struct PreviewLayout {
    int videoWidth = 0; // the clip's own size, or the stand-in area
    int videoHeight = 0;
    int windowWidth = 0; // outer sizes, as designed
    int windowHeight = 0;
    int clientWidth = 0; // without a 4-pixel border and a 20-pixel caption
    int clientHeight = 0;
    PixelRect frameVideo; // the video as shown

    PixelRect slider; // before it fits its height to its thumb
    PixelRect previousButton;
    PixelRect nextButton;
    PixelRect okButton;
    // The workbench row under the button row, which the design lacks: the
    // window is taller by it.
    PixelRect toolRow;
    // The client area above the status bar, down to below the tool row.
    int rowsBottom = 0;
};
PreviewLayout previewLayout(int videoWidth, int videoHeight, int maxWindowWidth = 0, int maxWindowHeight = 0);

// The controls of a window resized to a client area (above the status bar)
// of width by height: the video area takes the difference, the rows under
// it keep their distance from the bottom edge, the buttons theirs from the
// right edge, and the slider and the tool row stretch.
PreviewLayout arrangedFor(const PreviewLayout& designed, int width, int height);
// The smallest client area (above the status bar) that arrangedFor keeps
// usable: a video area and a slider that can still be seen.
PixelRect minimumClientArea(const PreviewLayout& designed);

// The frame a step to pos lands on: pos held within 0..length-1, or nothing
// when the clip has no frame to show.
std::optional<std::int32_t> clampFrame(std::int64_t pos, std::int32_t length);

// How far the preview steps for each key at its next tick. Only key events
// of the program's own windows reach it; auto-repeat is ignored so a held key
// steps once a tick, and every tap between two ticks still counts.
class StepKeys {
public:
    enum Key { Left, Right, PageUp, PageDown, keyCount };

    // step: the frames one press moves, as the modifiers held at the press
    // chose; 0 keeps the key's own (one frame, ten for the page keys).
    void press(Key key, bool autoRepeat, std::int64_t step = 0);
    void release(Key key, bool autoRepeat);
    // The program lost the keyboard: a key released elsewhere must not stay down.
    void forgetAll();
    // The presses since the last poll, else 1 while the key is held, else 0.
    int poll(Key key);
    // The signed frames each of those presses moves.
    std::int64_t step(Key key) const { return m_step[key]; }
    bool isDown(Key key) const { return m_down[key]; }

private:
    static constexpr std::int64_t ownSteps[keyCount] = {-1, 1, -10, 10};
    bool m_down[keyCount] {};
    int m_pressesSincePoll[keyCount] {};
    std::int64_t m_step[keyCount] = {ownSteps[Left], ownSteps[Right], ownSteps[PageUp], ownSteps[PageDown]};
};

} // namespace cw
