#pragma once

#include <algorithm>
#include <chrono>
#include <optional>

namespace cw {

// When unsaved changes are copied for recovery: two seconds after typing
// pauses, and while typing goes on, no later than ten seconds after the first
// change not yet copied. Time comes from the caller, so the rule runs on any
// clock.
class RecoverySchedule {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration pause = std::chrono::seconds(2);
    static constexpr Clock::duration longest = std::chrono::seconds(10);

    void changed(Clock::time_point now)
    {
        if (!m_pending) m_firstUncopied = now;
        m_pending = true;
        m_lastChange = now;
    }
    // When the next copy is due; nothing while every change is copied.
    std::optional<Clock::time_point> dueAt() const
    {
        if (!m_pending) return std::nullopt;
        return std::min(m_lastChange + pause, m_firstUncopied + longest);
    }
    // The text as it is now was copied, or needs no copy any more.
    void copied() { m_pending = false; }

private:
    bool m_pending = false;
    Clock::time_point m_firstUncopied {};
    Clock::time_point m_lastChange {};
};

} // namespace cw
