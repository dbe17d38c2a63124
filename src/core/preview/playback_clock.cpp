#include "core/preview/playback_clock.h"

#include <algorithm>

namespace cw {
namespace {

constexpr std::size_t maxWaiting = 2;
// A frame this close to its moment goes on screen rather than wait for a
// timer that would fire about as late.
constexpr std::int64_t earlyUs = 1000;
// Microseconds times a rate's numerator outgrow 64 bits within hours.
__extension__ typedef unsigned __int128 Wide;

} // namespace

PlaybackClock::PlaybackClock(std::int32_t from, std::int32_t last, FrameRate rate, std::int64_t start)
    : m_from(from), m_last(std::max(from, last)), m_rate(rate), m_start(start), m_asked(from), m_shown(from),
      m_shownAt(start)
{
}

std::int32_t PlaybackClock::frameAt(std::int64_t now) const
{
    if (now <= m_start || !m_rate.known()) return m_from;
    const auto elapsed = static_cast<Wide>(now - m_start);
    const Wide frames = elapsed * m_rate.numerator / (1000000ull * m_rate.denominator);
    return static_cast<std::int32_t>(m_from + static_cast<std::int64_t>(std::min<Wide>(frames, m_last - m_from)));
}

std::int64_t PlaybackClock::dueAt(std::int32_t frame) const
{
    if (frame <= m_from || !m_rate.known()) return m_start;
    // Rounded up: a frame is never due before its time.
    const auto scaled = static_cast<Wide>(frame - m_from) * 1000000ull * m_rate.denominator;
    return m_start + static_cast<std::int64_t>((scaled + m_rate.numerator - 1) / m_rate.numerator);
}

PlaybackClock::Step PlaybackClock::arrived(std::int32_t frame, std::int64_t now)
{
    m_rendering = false;
    if (frame > m_shown) m_waiting.insert(frame);
    return step(now);
}

PlaybackClock::Step PlaybackClock::wake(std::int64_t now)
{
    return step(now);
}

PlaybackClock::Step PlaybackClock::step(std::int64_t now)
{
    Step s;
    // The newest frame whose moment has come; older ones waiting are dropped.
    std::optional<std::int32_t> due;
    for (std::int32_t frame : m_waiting)
        if (dueAt(frame) <= now + earlyUs) due = frame;
    if (due) {
        m_dropped += *due - m_shown - 1;
        m_shown = *due;
        m_shownAt = now;
        ++m_shownCount;
        m_waiting.erase(m_waiting.begin(), m_waiting.upper_bound(*due));
        s.show = due;
    }
    if (!m_rendering && m_asked < m_last && m_waiting.size() < maxWaiting) {
        m_asked = std::max(m_asked + 1, frameAt(now));
        m_rendering = true;
        s.request = m_asked;
    }
    if (!m_waiting.empty()) s.wakeAt = dueAt(*m_waiting.begin());
    return s;
}

double PlaybackClock::achievedRate() const
{
    if (m_shownCount == 0 || m_shownAt <= m_start) return 0;
    return m_shownCount * 1e6 / static_cast<double>(m_shownAt - m_start);
}

} // namespace cw
