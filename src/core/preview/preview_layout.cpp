#include "core/preview/preview_layout.h"

#include "core/base/rounding.h"

#include <algorithm>

namespace cw {
namespace {

constexpr int twipsPerPixel = 15;
constexpr int toolRowHeight = 26;
constexpr int rowGap = 4;
constexpr int smallestVideo = 16;
constexpr int smallestSlider = 40;

int pixels(double twips)
{
    return static_cast<int>(roundHalfEven(twips / twipsPerPixel));
}

} // namespace

PreviewLayout previewLayout(int videoWidth, int videoHeight, int maxWindowWidth, int maxWindowHeight)
{
    PreviewLayout l;
    if (videoWidth == 0) {
        videoWidth = 600;
        videoHeight = 250;
    }
    l.videoWidth = videoWidth;
    l.videoHeight = videoHeight;

    // The window is the video plus 260 by 1425 twips of frame and controls.
    double scale = 1.0;
    if (maxWindowWidth > 0 && maxWindowHeight > 0 && videoWidth > 0 && videoHeight > 0) {
        const double roomW = maxWindowWidth - 260.0 / twipsPerPixel;
        const double roomH = maxWindowHeight - 1425.0 / twipsPerPixel;
        scale = std::clamp(std::min(roomW / videoWidth, roomH / videoHeight), 0.0, 1.0);
    }
    const int shownWidth = std::max(1, static_cast<int>(videoWidth * scale));
    const int shownHeight = std::max(1, static_cast<int>(videoHeight * scale));

    const double videoW = double(shownWidth) * twipsPerPixel;
    const double videoH = double(shownHeight) * twipsPerPixel;
    const double windowW = std::max(videoW + 260, 9000.0);
    const double windowH = std::max(videoH + 450 + 975, 3750.0);
    l.windowWidth = pixels(windowW);
    l.windowHeight = pixels(windowH);
    l.clientWidth = l.windowWidth - 2 * 4;
    l.clientHeight = l.windowHeight - 2 * 4 - 20;
    l.frameVideo = {pixels(75), pixels(75), shownWidth, shownHeight};

    const double sliderLeft = 75;
    const double sliderTop = windowH - 1050;
    const double sliderWidth = windowW - 2370;
    l.slider = {pixels(sliderLeft), pixels(sliderTop), pixels(sliderWidth), pixels(450)};

    const double buttonTop = sliderTop - 80;
    const double previousLeft = sliderLeft + sliderWidth + 100;
    const double nextLeft = previousLeft + 390;
    const double okLeft = nextLeft + 390 + 100;
    l.previousButton = {pixels(previousLeft), pixels(buttonTop), pixels(390), pixels(390)};
    l.nextButton = {pixels(nextLeft), pixels(buttonTop), pixels(390), pixels(390)};
    l.okButton = {pixels(okLeft), pixels(buttonTop), pixels(1100), pixels(390)};

    const int buttonRowBottom = std::max(l.slider.top + l.slider.height, l.okButton.top + l.okButton.height);
    l.toolRow = {l.slider.left, buttonRowBottom + rowGap, l.clientWidth - 2 * l.slider.left, toolRowHeight};
    l.rowsBottom = l.toolRow.top + l.toolRow.height + rowGap;
    return l;
}

PreviewLayout arrangedFor(const PreviewLayout& designed, int width, int height)
{
    const PixelRect least = minimumClientArea(designed);
    const int dx = std::max(width, least.width) - designed.clientWidth;
    const int dy = std::max(height, least.height) - designed.rowsBottom;
    PreviewLayout l = designed;
    l.clientWidth += dx;
    l.rowsBottom += dy;
    l.frameVideo.width += dx;
    l.frameVideo.height += dy;
    l.slider.width += dx;
    l.toolRow.width += dx;
    for (PixelRect* r : {&l.slider, &l.toolRow, &l.previousButton, &l.nextButton, &l.okButton}) r->top += dy;
    for (PixelRect* r : {&l.previousButton, &l.nextButton, &l.okButton}) r->left += dx;
    return l;
}

PixelRect minimumClientArea(const PreviewLayout& designed)
{
    const int dx = std::max(smallestVideo - designed.frameVideo.width, smallestSlider - designed.slider.width);
    const int dy = smallestVideo - designed.frameVideo.height;
    return {0, 0, designed.clientWidth + dx, designed.rowsBottom + dy};
}

std::optional<std::int32_t> clampFrame(std::int64_t pos, std::int32_t length)
{
    if (length < 1) return std::nullopt;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(pos, 0, length - 1));
}

void StepKeys::press(Key key, bool autoRepeat, std::int64_t step)
{
    if (autoRepeat) return;
    m_step[key] = step != 0 ? step : ownSteps[key];
    m_down[key] = true;
    ++m_pressesSincePoll[key];
}

void StepKeys::release(Key key, bool autoRepeat)
{
    if (autoRepeat) return;
    m_down[key] = false;
}

void StepKeys::forgetAll()
{
    for (int k = 0; k < keyCount; ++k) {
        m_down[k] = false;
        m_pressesSincePoll[k] = 0;
    }
}

int StepKeys::poll(Key key)
{
    const int steps = m_pressesSincePoll[key] > 0 ? m_pressesSincePoll[key] : m_down[key] ? 1 : 0;
    m_pressesSincePoll[key] = 0;
    return steps;
}

} // namespace cw
