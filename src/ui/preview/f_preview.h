#pragma once

#include "core/preview/preview_layout.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QSocketNotifier;

namespace cw {

class MediaPlayer;
class cpvSlider;
struct VideoFrame;

// Where the clip's frames are painted, scaled to the view; or a message in
// place of a frame that cannot be shown.
class FrameView : public QWidget {
    Q_OBJECT
public:
    explicit FrameView(QWidget* parent = nullptr);
    void showFrame(const VideoFrame& frame);
    void showMessage(const QString& text);
    // The frame shown last, in the clip's own pixels.
    const QImage& image() const { return m_image; }
    const QString& message() const { return m_message; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    QString m_message;
};

// The internal preview: the script being edited, frame by frame, with a
// position slider, frame buttons, the Left and Right keys and F5 to reload.
// Frames are rendered by the frame server while the window goes on: a
// frame that takes long says so, and one that takes very long can be
// stopped. One instance at a time; it unloads itself when the script cannot
// be opened.
class fPreview : public QWidget {
    Q_OBJECT
public:
    // writeScript writes the script to preview and gives its path, or "" when
    // it could not. Keys pressed in companion step frames as in this window.
    fPreview(MediaPlayer& player, std::function<QString()> writeScript, QWidget* companion);
    ~fPreview() override;

    // Rewrites preview.avs from the editor, reopens it and asks for frame 0.
    // False, with openFailed raised and the window closing, when the clip
    // could not be opened.
    bool startPreview();
    // Shows frame pos, held within the clip; nothing when the clip has no frame.
    void MoveSliderTo(std::int64_t pos);
    // Stops following the position, as every closing path does before the
    // clip is closed.
    void stopTimer() { m_timer.stop(); }
    // One beat of Timer1: follow the clip's position, then step for the
    // arrow keys tapped since the last beat, or held.
    void tick();
    // True once the window is closing or closed.
    bool isUnloaded() const { return m_unloaded; }
    // The frame server is opening the script; the window then waits for it.
    bool isOpening() const { return m_opening; }
    // The newest frame asked for has not come yet.
    bool isFramePending() const { return m_wanted.has_value(); }

    FrameView* frameVideo() const { return m_frameVideo; }
    cpvSlider* slider() const { return m_slider; }
    QTimer& timer() { return m_timer; }
    std::intptr_t frameHandle() const { return m_handle; }

signals:
    // The clip opened and its first frame is asked for.
    void opened();
    // The clip could not be opened: the service's text, for the owner to show.
    void openFailed(const QString& message);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool openAndShowFirstFrame(const QString& path);
    bool open(const QString& path);
    // Runs the window's event loop until done() holds: the editor and this
    // window stay usable while the frame server opens a script.
    bool waitForFrameServer(const std::function<bool()>& done);
    void readClipInformation();
    void layoutWindow();
    void showFramePanel(std::int32_t frame);
    void frameAsked(std::int32_t frame);
    void frameAnswered(std::int32_t frame);
    void showStop(bool shown);
    bool isOurWindow(const QObject* object) const;

    MediaPlayer& m_player;
    std::function<QString()> m_writeScript;
    QWidget* m_companion;
    std::intptr_t m_handle;
    FrameView* m_frameVideo;
    cpvSlider* m_slider;
    QPushButton* m_previous;
    QPushButton* m_next;
    QPushButton* m_ok;
    QPushButton* m_stop;
    QLabel* m_panels[4] {};
    QSocketNotifier* m_frameServer;
    QTimer m_timer;
    StepKeys m_keys;
    bool m_unloaded = false;
    bool m_opening = false;
    bool m_closeAfterOpen = false;
    // The newest frame asked for and not yet answered.
    std::optional<std::int32_t> m_wanted;
    QTimer m_slowFrame;     // says "Rendering frame N..."
    QTimer m_verySlowFrame; // offers Stop
    bool m_renderingShown = false;
};

} // namespace cw
