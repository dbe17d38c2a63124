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
// in pixels. The window is designed in twips at 15 per pixel; a video that
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
};
PreviewLayout previewLayout(int videoWidth, int videoHeight, int maxWindowWidth = 0, int maxWindowHeight = 0);

// The frame a step to pos lands on: pos held within 0..length-1, or nothing
// when the clip has no frame to show.
std::optional<std::int32_t> clampFrame(std::int64_t pos, std::int32_t length);

// How far the preview steps for each key at its next tick. Only key events
// of the program's own windows reach it; auto-repeat is ignored so a held key
// steps once a tick, and every tap between two ticks still counts.
class StepKeys {
public:
    enum Key { Left, Right, keyCount };

    void press(Key key, bool autoRepeat);
    void release(Key key, bool autoRepeat);
    // The program lost the keyboard: a key released elsewhere must not stay down.
    void forgetAll();
    // The presses since the last poll, else 1 while the key is held, else 0.
    int poll(Key key);
    bool isDown(Key key) const { return m_down[key]; }

private:
    bool m_down[keyCount] {};
    int m_pressesSincePoll[keyCount] {};
};

} // namespace cw
