#pragma once

#include "core/frameserver/protocol.h"
#include "core/preview/playback_clock.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace cw {

// Plays the preview's clip at its rate: asks for frames as the clock says
// and puts each on screen at its moment.
class PreviewPlayback : public QObject {
    Q_OBJECT
public:
    struct Frame {
        int number = 0;
        QImage image;
        std::vector<FrameProperty> properties;
    };
    // request asks the frame server for a frame; show puts one on screen.
    PreviewPlayback(std::function<void(int)> request, std::function<void(const Frame&)> show);

    // from is the frame on screen, -1 to begin with frame 0; the rate must
    // be known.
    void start(int from, int last, FrameRate rate);
    // Frames waiting for their moment are dropped.
    void stop();
    bool playing() const { return m_clock.has_value(); }
    // A frame from the frame server while playing.
    void arrived(Frame frame);
    // The figures of the playback running or run last.
    double achievedRate() const { return m_rate; }
    std::int64_t dropped() const { return m_dropped; }

signals:
    // Playback ended: stopped, or the last frame is on screen.
    void stopped();

private:
    std::int64_t now() const { return m_elapsed.nsecsElapsed() / 1000; }
    void apply(const PlaybackClock::Step& step);

    std::function<void(int)> m_request;
    std::function<void(const Frame&)> m_show;
    std::optional<PlaybackClock> m_clock;
    std::map<int, Frame> m_waiting;
    QElapsedTimer m_elapsed;
    QTimer m_timer;
    double m_rate = 0;
    std::int64_t m_dropped = 0;
};

} // namespace cw
