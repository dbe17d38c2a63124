#pragma once

#include "core/preview/bookmarks.h"
#include "core/preview/preview_layout.h"
#include "ui/preview/frame_view.h"
#include "ui/preview/preview_playback.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class QAction;
class QPushButton;
class QSocketNotifier;

namespace cw {

class ClipPropertiesPane;
class MediaPlayer;
class PreviewStatusBar;
class PreviewToolRow;
class cpvSlider;

// The internal preview: the script being edited (or a media file), frame
// by frame, with a position slider, frame buttons, the arrow keys and F5 to
// reload; and a workbench row to go to a frame or time, play at the clip's
// rate, zoom, list the clip's and the frame's properties and save a frame.
// Frames are rendered by the frame server while the window goes on: a
// frame that takes long says so, and one that takes very long can be
// stopped. One instance at a time; it unloads itself when the clip cannot
// be opened.
class fPreview : public QWidget {
    Q_OBJECT
public:
    // writeScript writes the script to preview and gives its path, or "" when
    // it could not. Keys pressed in companion step frames as in this window.
    fPreview(MediaPlayer& player, std::function<QString()> writeScript, QWidget* companion);
    ~fPreview() override;

    // What F5 opens from now on: open gives the path (writing preview.avs for
    // a script), path names the script or file that bookmarks belong to and
    // saved frames are named after ("" for a script without a file).
    void setSource(std::function<QString()> open, const QString& path);
    const QString& sourcePath() const { return m_sourcePath; }
    // When on, a reload shows the frame shown before it (held within the clip).
    void setKeepFrameOnReload(bool on) { m_keepFrame = on; }

    // Rewrites preview.avs from the editor, reopens it and asks for frame 0.
    // False, with openFailed raised and the window closing, when the clip
    // could not be opened.
    bool startPreview();
    // Shows frame pos, held within the clip; nothing when the clip has no
    // frame. Stops playback.
    void MoveSliderTo(std::int64_t pos);
    // Stops following the position, as every closing path does before the
    // clip is closed.
    void stopTimer() { m_timer.stop(); }
    // One beat of Timer1: follow the clip's position, then step for the
    // keys tapped since the last beat, or held.
    void tick();
    // True once the window is closing or closed.
    bool isUnloaded() const { return m_unloaded; }
    // The frame server is opening the script; the window then waits for it.
    bool isOpening() const { return m_opening; }
    // The newest frame asked for has not come yet.
    bool isFramePending() const { return m_wanted.has_value(); }
    // The frame on screen, -1 before the first.
    int shownFrame() const { return m_shownFrame; }

    // Play from the frame shown (from the start at the last one), or pause.
    void togglePlayback();
    bool isPlaying() const { return m_playback.playing(); }
    const PreviewPlayback& playback() const { return m_playback; }
    // Shows the frame a go-to entry names, or marks the entry as unreadable.
    void goTo(const QString& entered);
    void toggleBookmark();
    void jumpToBookmark(bool forward);
    void setBookmarks(const BookmarkSet& frames);
    const BookmarkSet& bookmarks() const { return m_bookmarks; }
    // The shown frame at 100% as PNG, where the user chooses.
    void saveFrame();
    void copyFrame();
    void toggleProperties();

    FrameView* frameVideo() const { return m_frameVideo; }
    cpvSlider* slider() const { return m_slider; }
    PreviewToolRow* toolRow() const { return m_toolRow; }
    ClipPropertiesPane* propertiesPane() const { return m_properties; }
    QTimer& timer() { return m_timer; }
    std::intptr_t frameHandle() const { return m_handle; }

signals:
    // The clip opened and its first frame is asked for.
    void opened();
    // The clip could not be opened: the service's text, for the owner to show.
    void openFailed(const QString& message);
    // The user set or cleared a bookmark.
    void bookmarksChanged(const cw::BookmarkSet& frames);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createCommands();
    bool openAndShowFrame(const QString& path, std::int64_t frame);
    bool open(const QString& path);
    // Runs the window's event loop until done() holds: the editor and this
    // window stay usable while the frame server opens a script.
    bool waitForFrameServer(const std::function<bool()>& done);
    void readClipInformation();
    void layoutWindow();
    void placeControls(const QSize& client);
    void showFramePanel(std::int32_t frame);
    void frameAsked(std::int32_t frame);
    void frameAnswered(std::int32_t frame);
    void display(const PreviewPlayback::Frame& frame);
    void showFrameInformation(bool now);
    void showPixel();
    void stopPlayback();
    void playbackStopped();
    bool isOurWindow(const QObject* object) const;
    bool handleKey(QObject* watched, QKeyEvent* key);

    MediaPlayer& m_player;
    std::function<QString()> m_source;
    QString m_sourcePath;
    QWidget* m_companion;
    std::intptr_t m_handle;
    QWidget* m_client;
    FrameView* m_frameVideo;
    cpvSlider* m_slider;
    QPushButton* m_previous;
    QPushButton* m_next;
    QPushButton* m_ok;
    PreviewStatusBar* m_status;
    PreviewToolRow* m_toolRow;
    ClipPropertiesPane* m_properties = nullptr;
    QSocketNotifier* m_frameServer;
    QTimer m_timer;
    StepKeys m_keys;
    PreviewLayout m_design;
    QSize m_laidOutSize;
    bool m_unloaded = false;
    bool m_opening = false;
    bool m_closeAfterOpen = false;
    bool m_keepFrame = false;
    // The newest frame asked for and not yet answered.
    std::optional<std::int32_t> m_wanted;
    QTimer m_slowFrame;     // says "Rendering frame N..."
    QTimer m_verySlowFrame; // offers Stop
    bool m_renderingShown = false;
    int m_shownFrame = -1;
    std::vector<FrameProperty> m_shownProperties;
    PreviewPlayback m_playback;
    QElapsedTimer m_informationShown;
    BookmarkSet m_bookmarks;
};

} // namespace cw
