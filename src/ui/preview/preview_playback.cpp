#include "ui/preview/preview_playback.h"

namespace cw {

PreviewPlayback::PreviewPlayback(std::function<void(int)> request, std::function<void(const Frame&)> show)
    : m_request(std::move(request)), m_show(std::move(show))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_clock) apply(m_clock->wake(now()));
    });
}

void PreviewPlayback::start(int from, int last, FrameRate rate)
{
    m_waiting.clear();
    m_rate = 0;
    m_dropped = 0;
    m_elapsed.start();
    m_clock.emplace(from, last, rate, now());
    apply(m_clock->wake(now()));
}

void PreviewPlayback::stop()
{
    if (!m_clock) return;
    m_timer.stop();
    m_clock.reset();
    m_waiting.clear();
    emit stopped();
}

void PreviewPlayback::arrived(Frame frame)
{
    if (!m_clock) return;
    if (frame.number > m_clock->shown()) m_waiting[frame.number] = std::move(frame);
    apply(m_clock->arrived(frame.number, now()));
}

void PreviewPlayback::apply(const PlaybackClock::Step& step)
{
    if (step.show) {
        const auto it = m_waiting.find(*step.show);
        if (it != m_waiting.end()) {
            const Frame shown = std::move(it->second);
            m_waiting.erase(m_waiting.begin(), std::next(it));
            m_rate = m_clock->achievedRate();
            m_dropped = m_clock->dropped();
            m_show(shown);
        }
        if (m_clock && m_clock->finished()) return stop();
    }
    // The frame shown may have stopped playback.
    if (!m_clock) return;
    if (step.request) m_request(*step.request);
    if (step.wakeAt) m_timer.start(static_cast<int>(std::max<std::int64_t>(0, (*step.wakeAt - now()) / 1000)));
}

} // namespace cw
