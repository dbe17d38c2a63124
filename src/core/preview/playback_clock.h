#pragma once

#include "core/preview/frame_rate.h"

#include <cstdint>
#include <optional>
#include <set>

namespace cw {

// Playback at a clip's exact rate against a clock in microseconds. Frame
// n is due at the start plus n frames' time; the renderer is asked for the
// frame after the newest asked for, or for the clock's own frame once that
// has passed it, so playback never falls behind the clock: frames rendered
// too late to be shown are dropped, and counted. One frame renders at a
// time and at most two wait, rendered ahead, for their moment.
class PlaybackClock {
public:
    // Plays from frame `from`, on screen at `start`, to `last`. The rate
    // must be known.
    PlaybackClock(std::int32_t from, std::int32_t last, FrameRate rate, std::int64_t start);

    // What the player does now, in this order.
    struct Step {
        std::optional<std::int32_t> show;    // a frame that arrived, to go on screen
        std::optional<std::int32_t> request; // to ask the renderer for
        std::optional<std::int64_t> wakeAt;  // when to call wake() again
    };
    // A frame came from the renderer.
    Step arrived(std::int32_t frame, std::int64_t now);
    // The start, and every moment a step asked to be woken at.
    Step wake(std::int64_t now);

    // The frame whose time it is, held at the last.
    std::int32_t frameAt(std::int64_t now) const;
    std::int64_t dueAt(std::int32_t frame) const;

    // The last frame is on screen.
    bool finished() const { return m_shown == m_last; }
    std::int32_t shown() const { return m_shown; }
    // Frames never shown between the ones that were.
    std::int64_t dropped() const { return m_dropped; }
    // Frames shown per second since the start; 0 before the first.
    double achievedRate() const;

private:
    Step step(std::int64_t now);

    std::int32_t m_from;
    std::int32_t m_last;
    FrameRate m_rate;
    std::int64_t m_start;
    std::int32_t m_asked;
    bool m_rendering = false;
    std::set<std::int32_t> m_waiting;
    std::int32_t m_shown;
    std::int64_t m_shownAt;
    std::int64_t m_shownCount = 0;
    std::int64_t m_dropped = 0;
};

} // namespace cw
