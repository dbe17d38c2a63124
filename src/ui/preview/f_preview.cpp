#include "ui/preview/f_preview.h"

#include "core/base/text_file.h"
#include "core/preview/frame_navigation.h"
#include "core/preview/media_player.h"
#include "core/preview/status_texts.h"
#include "ui/base/qt_strings.h"
#include "ui/base/widget_command.h"
#include "ui/controls/cpv_slider.h"
#include "ui/preview/clip_properties_pane.h"
#include "ui/preview/preview_status_bar.h"
#include "ui/preview/preview_tool_row.h"
#include "ui/winsvc/c_file_dialog.h"
#include "ui/winsvc/prompt_service.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace cw {
namespace {

const char* const alias = "movie";
constexpr int tickMs = 100;
// A frame slower than this says it is rendering; one slower than the second
// offers to stop the frame server.
constexpr int slowFrameMs = 150;
constexpr int verySlowFrameMs = 10000;
// While playing, the rate and the Properties pane change this often at most.
constexpr int playingInformationMs = 250;

// Handles are numbers of our own: a frame meant for a closed window can
// never reach a later one.
std::intptr_t nextFrameHandle()
{
    static std::intptr_t next = 1;
    return next++;
}

} // namespace

fPreview::fPreview(MediaPlayer& player, std::function<QString()> writeScript, QWidget* companion)
    : QWidget(nullptr, Qt::Tool), m_player(player), m_source(std::move(writeScript)), m_companion(companion),
      m_handle(nextFrameHandle()),
      m_playback(
          [this](int frame) {
              // A clip closed under the player ends playback.
              if (!m_player.seekMovie(alias, frame).ok()) return stopPlayback();
              frameAsked(frame);
          },
          [this](const PreviewPlayback::Frame& frame) { display(frame); })
{
    setObjectName(QStringLiteral("fPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    setAttribute(Qt::WA_DeleteOnClose);

    // The status bar sits at the bottom; the rest is placed by hand from the
    // clip's size, and follows the window's edges when it is resized.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    m_client = new QWidget(this);
    m_client->installEventFilter(this);
    outer->addWidget(m_client, 1);
    m_status = new PreviewStatusBar(this);
    outer->addWidget(m_status);
    // Stop kills the frame server; its end comes back as the frame's answer.
    connect(m_status, &PreviewStatusBar::stopClicked, this, [this] { m_player.service().stopFrameServers(); });

    m_frameVideo = new FrameView(m_client);
    m_frameVideo->setObjectName(QStringLiteral("FrameVideo"));
    m_frameVideo->setAccessibleName(QStringLiteral("Video frame"));
    connect(m_frameVideo, &FrameView::pointedChanged, this, &fPreview::showPixel);

    m_slider = new cpvSlider(m_client);
    m_slider->setObjectName(QStringLiteral("VideoPositionSlider"));
    m_slider->setAccessibleName(QStringLiteral("Frame position"));
    connect(m_slider, &cpvSlider::MouseDown, this, &fPreview::stopPlayback);
    connect(m_slider, &cpvSlider::MouseUp, this, [this] { MoveSliderTo(m_slider->Value()); });

    m_previous = new QPushButton(style()->standardIcon(QStyle::SP_MediaSeekBackward), QString(), m_client);
    m_previous->setObjectName(QStringLiteral("cmdPreviousFrame"));
    m_previous->setAccessibleName(QStringLiteral("Previous frame"));
    m_previous->setToolTip(QStringLiteral("Previous frame"));
    connect(m_previous, &QPushButton::clicked, this, [this] { MoveSliderTo(std::int64_t(m_slider->Value()) - 1); });

    m_next = new QPushButton(style()->standardIcon(QStyle::SP_MediaSeekForward), QString(), m_client);
    m_next->setObjectName(QStringLiteral("cmdNextFrame"));
    m_next->setAccessibleName(QStringLiteral("Next frame"));
    m_next->setToolTip(QStringLiteral("Next frame"));
    connect(m_next, &QPushButton::clicked, this, [this] { MoveSliderTo(std::int64_t(m_slider->Value()) + 1); });

    m_ok = new QPushButton(QStringLiteral("CLOSE"), m_client);
    m_ok->setObjectName(QStringLiteral("cmdOk"));
    connect(m_ok, &QPushButton::clicked, this, &QWidget::close);

    m_toolRow = new PreviewToolRow(m_frameVideo, m_client);
    connect(m_toolRow, &PreviewToolRow::playClicked, this, &fPreview::togglePlayback);
    connect(m_toolRow, &PreviewToolRow::goToEntered, this, &fPreview::goTo);
    connect(m_toolRow, &PreviewToolRow::propertiesClicked, this, &fPreview::toggleProperties);
    connect(m_toolRow, &PreviewToolRow::saveFrameClicked, this, &fPreview::saveFrame);
    createCommands();

    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &fPreview::tick);
    connect(&m_playback, &PreviewPlayback::stopped, this, &fPreview::playbackStopped);

    m_slowFrame.setSingleShot(true);
    m_slowFrame.setInterval(slowFrameMs);
    connect(&m_slowFrame, &QTimer::timeout, this, [this] {
        m_renderingShown = true;
        if (m_wanted) showFramePanel(*m_wanted);
    });
    m_verySlowFrame.setSingleShot(true);
    m_verySlowFrame.setInterval(verySlowFrameMs);
    connect(&m_verySlowFrame, &QTimer::timeout, this, [this] { m_status->showStop(true); });

    MediaCommandService& service = m_player.service();
    m_frameServer = new QSocketNotifier(service.eventFd(), QSocketNotifier::Read, this);
    connect(m_frameServer, &QSocketNotifier::activated, this, [&service] { service.onReadable(); });
    service.setWaiter([this](const std::function<bool()>& done) { return waitForFrameServer(done); });
    FrameSink sink;
    sink.shown = [this](const VideoFrame& frame) {
        PreviewPlayback::Frame copy{frame.number, copyOf(frame),
                                    frame.properties ? *frame.properties : std::vector<FrameProperty>()};
        frameAnswered(frame.number);
        if (m_playback.playing())
            m_playback.arrived(std::move(copy));
        else
            display(copy);
    };
    sink.failed = [this](int frame, const std::string& text) {
        stopPlayback();
        m_frameVideo->showMessage(fromUtf8String(text));
        frameAnswered(frame);
    };
    sink.pixel = [this](const fsp::PixelValue& value) {
        const std::optional<ClipPoint> at = m_frameVideo->pointed();
        if (!at || at->x != value.x || at->y != value.y || value.number != m_shownFrame) return;
        m_status->setPanel(PreviewStatusBar::pixelPanel, fromUtf8String(pixelText(value.x, value.y, value.components)));
    };
    service.registerFrameSink(m_handle, std::move(sink));
    qApp->installEventFilter(this);
}

// The frame server goes with the window, never waiting for a frame.
fPreview::~fPreview()
{
    m_timer.stop();
    MediaCommandService& service = m_player.service();
    service.unregisterFrameSink(m_handle);
    service.setWaiter({});
    service.shutdownFrameServers();
}

// The window's own keys: they act while the preview has the focus only.
void fPreview::createCommands()
{
    // F5 reloads once per press; in the main window its own menu shortcut
    // does the same.
    addCommand(this, QStringLiteral("cmdReload"), QStringLiteral("Reload"), {Qt::Key_F5}, [this] {
        if (!m_opening) startPreview();
    })->setAutoRepeat(false);
    addCommand(this, QStringLiteral("cmdPlayPause"), QStringLiteral("Play or Pause"), {Qt::Key_Space},
               [this] { togglePlayback(); })
        ->setAutoRepeat(false);
    addCommand(this, QStringLiteral("cmdGoTo"), QStringLiteral("Go to Frame"),
               {QKeySequence(Qt::CTRL | Qt::Key_G)}, [this] { m_toolRow->focusGoTo(); });
    addCommand(this, QStringLiteral("cmdToggleProperties"), QStringLiteral("Properties"), {Qt::Key_F8},
               [this] { toggleProperties(); });
    addCommand(this, QStringLiteral("cmdBookmark"), QStringLiteral("Toggle Bookmark"),
               {QKeySequence(Qt::CTRL | Qt::Key_B)}, [this] { toggleBookmark(); })
        ->setAutoRepeat(false);
    addCommand(this, QStringLiteral("cmdNextBookmark"), QStringLiteral("Next Bookmark"), {Qt::Key_F2},
               [this] { jumpToBookmark(true); });
    addCommand(this, QStringLiteral("cmdPreviousBookmark"), QStringLiteral("Previous Bookmark"),
               {QKeySequence(Qt::SHIFT | Qt::Key_F2)}, [this] { jumpToBookmark(false); });
    addCommand(this, QStringLiteral("cmdCopyFrame"), QStringLiteral("Copy Frame"), {QKeySequence::Copy},
               [this] { copyFrame(); });
}

void fPreview::setSource(std::function<QString()> open, const QString& path)
{
    m_source = std::move(open);
    m_sourcePath = path;
}

bool fPreview::startPreview()
{
    stopPlayback();
    m_timer.stop();
    const std::int64_t kept = m_keepFrame && m_shownFrame >= 0 ? m_slider->Value() : 0;
    m_player.closeAllMovies();
    const QString path = m_source();
    if (path.isEmpty() || !openAndShowFrame(path, kept)) {
        close();
        return false;
    }
    const ClipInfo& info = m_player.clipInfo();
    const QLocale locale;
    m_status->setPanel(PreviewStatusBar::sizePanel, QStringLiteral("%1x%2 @ %3 fps")
                            .arg(info.width)
                            .arg(info.height)
                            .arg(fromUtf8String(frameRateText(info.frameRate.value(),
                                                              toUtf8String(locale.decimalPoint()),
                                                              toUtf8String(locale.groupSeparator())))));
    m_status->setPanel(PreviewStatusBar::ratioPanel, QStringLiteral("Ratio: ") +
                             fromUtf8String(ratioText(info.width, info.height, toUtf8String(locale.decimalPoint()))));
    if (const ClipFacts* facts = m_player.service().clipFacts(alias); facts && m_properties)
        m_properties->showClip(*facts);
    emit opened();
    m_timer.start();
    return true;
}

bool fPreview::openAndShowFrame(const QString& path, std::int64_t frame)
{
    if (!open(path)) return false;
    const std::int32_t shown = clampFrame(frame, m_player.clipInfo().lengthInFrames).value_or(0);
    const std::string at = std::to_string(shown);
    if (m_player.playMovie(alias, at, at).ok()) {
        frameAsked(shown);
        if (shown <= m_slider->Max()) m_slider->setValue(shown);
        showFramePanel(shown);
        m_status->setPanel(PreviewStatusBar::durationPanel, QStringLiteral("Duration: ") +
                                    fromUtf8String(m_player.formatFrameTime(m_player.clipInfo().lengthInFrames)));
    }
    return true;
}

bool fPreview::open(const QString& path)
{
    m_player.closeAllMovies();
    MediaReply result = m_player.openMovie(m_handle, alias, toUtf8String(path), "AviVideo");
    if (!result.ok() && !m_closeAfterOpen) {
        m_player.closeAllMovies();
        result = m_player.openMovie(m_handle, alias, toUtf8String(path), "MPEGVideo");
    }
    if (!result.ok()) {
        // A window closed while the script opened has nothing to report.
        if (!m_closeAfterOpen) emit openFailed(fromUtf8String(result.text));
        return false;
    }
    readClipInformation();
    layoutWindow();
    return true;
}

// A nested event loop, as a modal dialog runs one: typing, menus and this
// window's Close and Stop go on while the script runs in the frame server.
// A script that takes long shows the window with a note, and one that takes
// very long offers Stop.
bool fPreview::waitForFrameServer(const std::function<bool()>& done)
{
    if (done()) return true;
    m_opening = true;
    QEventLoop loop;
    const auto check = [&] {
        if (done()) loop.quit();
    };
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, check);
    connect(m_frameServer, &QSocketNotifier::activated, &loop, check);
    poll.start(20);
    QTimer slow;
    slow.setSingleShot(true);
    connect(&slow, &QTimer::timeout, this, [this] {
        m_frameVideo->showMessage(QStringLiteral("Opening the script..."));
        m_status->setPanel(PreviewStatusBar::framePanel, QStringLiteral("Opening..."));
        if (!isVisible() && !m_closeAfterOpen) {
            m_design = previewLayout(0, 0);
            resize(m_design.clientWidth, m_design.rowsBottom);
            m_laidOutSize = size();
            show();
        }
    });
    slow.start(slowFrameMs);
    QTimer verySlow;
    verySlow.setSingleShot(true);
    connect(&verySlow, &QTimer::timeout, this, [this] { m_status->showStop(true); });
    verySlow.start(verySlowFrameMs);
    loop.exec();
    m_opening = false;
    m_status->showStop(false);
    m_frameVideo->showMessage({});
    return done();
}

void fPreview::readClipInformation()
{
    ClipInfo& info = m_player.clipInfo();
    info.frameRate = m_player.getFrameRate(alias);
    info.width = m_player.getVideoSize(alias, "cx");
    info.height = m_player.getVideoSize(alias, "cy");
    info.lengthInFrames = m_player.getLengthInFrames(alias);
}

// Lengths are the program's own pixels, which a high-density screen
// scales: the designed window keeps its proportions there, and 100% zoom
// still maps clip pixels to the screen's (FrameView).
void fPreview::layoutWindow()
{
    ClipInfo& info = m_player.clipInfo();
    const QSize room = screen() ? screen()->availableGeometry().size() : QSize();
    const PreviewLayout l = previewLayout(info.width, info.height, room.width(), room.height());
    info.width = l.videoWidth;
    info.height = l.videoHeight;

    // Without two frames there is nothing to step, and a slider cannot
    // hold a range of one value.
    const bool steppable = info.lengthInFrames > 1;
    m_slider->setOrientation(SliderModel::horizontal);
    m_slider->setMin(0);
    m_slider->setMax(steppable ? info.lengthInFrames - 1 : 1);
    m_slider->setVisible(true);
    m_slider->setEnabledProperty(steppable);
    m_slider->setValue(0);
    m_previous->setEnabled(steppable);
    m_next->setEnabled(steppable);
    m_toolRow->setPlayEnabled(steppable && info.frameRate.known());

    // A window the user has sized keeps its size for the next clip.
    const bool userSized = isVisible() && size() != m_laidOutSize;
    m_design = l;
    const int statusHeight = m_status->sizeHint().height();
    const PixelRect least = minimumClientArea(l);
    setMinimumSize(least.width, least.height + statusHeight);
    if (!userSized) {
        resize(l.clientWidth, l.rowsBottom + statusHeight);
        m_laidOutSize = size();
    }
    placeControls(userSized ? m_client->size() : QSize(l.clientWidth, l.rowsBottom));
}

void fPreview::placeControls(const QSize& client)
{
    const PreviewLayout l = arrangedFor(m_design, client.width(), client.height());
    const auto place = [](QWidget* w, const PixelRect& r) { w->setGeometry(r.left, r.top, r.width, r.height); };
    place(m_frameVideo, l.frameVideo);
    place(m_slider, l.slider);
    place(m_previous, l.previousButton);
    place(m_next, l.nextButton);
    place(m_ok, l.okButton);
    place(m_toolRow, l.toolRow);
}

void fPreview::MoveSliderTo(std::int64_t pos)
{
    stopPlayback();
    const std::optional<std::int32_t> frame = clampFrame(pos, m_player.clipInfo().lengthInFrames);
    if (!frame) return;
    m_slider->setValue(*frame);
    if (m_player.seekMovie(alias, *frame).ok()) frameAsked(*frame);
    showFramePanel(*frame);
}

void fPreview::showFramePanel(std::int32_t frame)
{
    if (m_renderingShown && m_wanted == frame)
        m_status->setPanel(PreviewStatusBar::framePanel, QStringLiteral("Rendering frame %1...").arg(frame));
    else
        m_status->setPanel(PreviewStatusBar::framePanel,
                 QStringLiteral("Frame %1 (%2)").arg(frame).arg(fromUtf8String(m_player.formatFrameTime(frame))));
}

// The newest frame asked for is the one the window waits for: the frame
// server skips the ones in between.
void fPreview::frameAsked(std::int32_t frame)
{
    m_wanted = frame;
    if (!m_slowFrame.isActive() && !m_renderingShown) m_slowFrame.start();
    if (!m_verySlowFrame.isActive()) m_verySlowFrame.start();
}

void fPreview::frameAnswered(std::int32_t frame)
{
    if (m_wanted != frame) return;
    m_wanted.reset();
    m_slowFrame.stop();
    m_verySlowFrame.stop();
    m_status->showStop(false);
    if (m_renderingShown) {
        m_renderingShown = false;
        showFramePanel(frame);
    }
}

void fPreview::display(const PreviewPlayback::Frame& frame)
{
    m_frameVideo->showImage(frame.image);
    m_shownFrame = frame.number;
    m_shownProperties = frame.properties;
    if (m_playback.playing()) {
        m_slider->setPolledValue(frame.number);
        showFramePanel(frame.number);
    }
    showFrameInformation(!m_playback.playing());
    showPixel();
}

// The Properties pane and the playback figures; while playing they change
// a few times a second rather than with every frame.
void fPreview::showFrameInformation(bool now)
{
    if (!now && m_informationShown.isValid() && m_informationShown.elapsed() < playingInformationMs) return;
    m_informationShown.start();
    if (m_properties && m_properties->isVisible() && m_shownFrame >= 0)
        m_properties->showFrame(m_shownFrame, m_shownProperties);
    if (m_playback.playing())
        m_status->setPanel(PreviewStatusBar::playbackPanel, fromUtf8String(playbackText(m_playback.achievedRate(), m_playback.dropped(),
                                                            toUtf8String(QLocale().decimalPoint()))));
}

// The values of the pixel under the pointer come from the frame server;
// while playing only the point is shown.
void fPreview::showPixel()
{
    const std::optional<ClipPoint> at = m_frameVideo->pointed();
    if (!at) return m_status->setPanel(PreviewStatusBar::pixelPanel, QString());
    m_status->setPanel(PreviewStatusBar::pixelPanel, fromUtf8String(pixelText(at->x, at->y, {})));
    if (!m_playback.playing() && m_shownFrame >= 0)
        m_player.service().requestPixel(alias, m_shownFrame, at->x, at->y);
}

void fPreview::togglePlayback()
{
    if (m_playback.playing()) return stopPlayback();
    const ClipInfo& info = m_player.clipInfo();
    if (m_opening || !info.frameRate.known() || info.lengthInFrames < 2) return;
    const int last = info.lengthInFrames - 1;
    const int from = m_slider->Value();
    m_toolRow->showPlaying(true);
    m_status->setPanel(PreviewStatusBar::pixelPanel, QString());
    m_playback.start(from >= last ? -1 : from, last, info.frameRate);
    showFrameInformation(true);
}

void fPreview::stopPlayback()
{
    m_playback.stop();
}

void fPreview::playbackStopped()
{
    m_toolRow->showPlaying(false);
    m_status->setPanel(PreviewStatusBar::playbackPanel, QString());
    if (m_shownFrame >= 0 && m_shownFrame <= m_slider->Max()) {
        m_slider->setPolledValue(m_shownFrame);
        showFramePanel(m_shownFrame);
    }
    showFrameInformation(true);
}

void fPreview::goTo(const QString& entered)
{
    const ClipInfo& info = m_player.clipInfo();
    const FrameEntry entry = parseFrameEntry(toUtf8String(entered), info.frameRate, info.lengthInFrames);
    m_toolRow->showGoToError(entry.frame ? QString() : fromUtf8String(entry.error));
    if (!entry.frame) return;
    MoveSliderTo(*entry.frame);
    // The arrows step again from the new frame.
    m_frameVideo->setFocus(Qt::OtherFocusReason);
}

void fPreview::toggleBookmark()
{
    if (m_player.clipInfo().lengthInFrames < 1) return;
    const std::int32_t frame = m_slider->Value();
    if (!m_bookmarks.erase(frame)) m_bookmarks.insert(frame);
    setBookmarks(m_bookmarks);
    emit bookmarksChanged(m_bookmarks);
}

void fPreview::jumpToBookmark(bool forward)
{
    const std::int32_t frame = m_slider->Value();
    const std::optional<std::int32_t> to =
        forward ? nextBookmark(m_bookmarks, frame) : previousBookmark(m_bookmarks, frame);
    if (to && *to < m_player.clipInfo().lengthInFrames) MoveSliderTo(*to);
}

void fPreview::setBookmarks(const BookmarkSet& frames)
{
    m_bookmarks = frames;
    m_slider->setTicks(std::vector<int>(frames.begin(), frames.end()));
}

void fPreview::saveFrame()
{
    stopPlayback();
    const QImage image = m_frameVideo->image();
    if (image.isNull() || m_shownFrame < 0) return;
    const QString proposed = fromUtf8String(frameImagePath(toUtf8String(m_sourcePath), m_shownFrame));
    const QString path = CFileDialog::chooseFile(this, CFileDialog::Mode::save, QStringLiteral("PNG pictures|*.png"),
                                                 QStringLiteral("Save Frame"), QStringLiteral("png"), proposed);
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path) &&
        PromptService::current().question(QStringLiteral("Save Frame"),
                                          path + QStringLiteral(" already exists.\r\nDo you want to replace it?"),
                                          false, PromptService::Answer::No) != PromptService::Answer::Yes)
        return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "PNG");
    const std::string error = writeFileAtomically(toUtf8String(path), bytes.toStdString(), WriteMode::Save);
    if (!error.empty()) showError(QStringLiteral("The frame could not be saved.\r\n") + fromUtf8String(error));
}

void fPreview::copyFrame()
{
    const QImage image = m_frameVideo->image();
    if (!image.isNull()) QApplication::clipboard()->setImage(image.convertToFormat(QImage::Format_RGB888));
}

void fPreview::toggleProperties()
{
    if (!m_properties) {
        m_properties = new ClipPropertiesPane(this);
        // Beside the preview where the screen has room, else over its right edge.
        const QRect frame = frameGeometry();
        const QRect room = screen() ? screen()->availableGeometry() : QRect();
        const int w = m_properties->width();
        int x = frame.right() + 1;
        if (room.isValid() && x + w > room.right() + 1)
            x = frame.left() - w >= room.left() ? frame.left() - w : std::max(room.left(), room.right() + 1 - w);
        m_properties->move(x, frame.top());
    }
    if (m_properties->isVisible()) return m_properties->hide();
    if (const ClipFacts* facts = m_player.service().clipFacts(alias)) m_properties->showClip(*facts);
    m_properties->show();
    showFrameInformation(true);
}

void fPreview::tick()
{
    // A failed query (-1) or a position outside the clip leaves the display
    // as it was; while the thumb is held the slider follows the hand only,
    // and while playing the frames on screen lead.
    const std::int32_t pos = m_player.getPosition(alias);
    if (!m_playback.playing() && pos >= 0 && pos < m_player.clipInfo().lengthInFrames) {
        m_slider->setPolledValue(pos);
        showFramePanel(pos);
    }
    int presses[StepKeys::keyCount];
    for (int k = 0; k < StepKeys::keyCount; ++k) presses[k] = m_keys.poll(static_cast<StepKeys::Key>(k));
    if (m_slider->isDragging()) return;
    for (int k = 0; k < StepKeys::keyCount; ++k)
        if (presses[k]) MoveSliderTo(std::int64_t(m_slider->Value()) + presses[k] * m_keys.step(static_cast<StepKeys::Key>(k)));
}

// A close while the script opens gives the open up; the window then closes
// itself once the frame server's answer has been taken off the stack.
void fPreview::closeEvent(QCloseEvent* event)
{
    stopPlayback();
    m_timer.stop();
    m_player.closeAllMovies();
    if (m_opening) {
        m_closeAfterOpen = true;
        event->ignore();
        return;
    }
    m_unloaded = true;
    event->accept();
}

bool fPreview::isOurWindow(const QObject* object) const
{
    if (!object->isWidgetType()) return false;
    const QWidget* window = static_cast<const QWidget*>(object)->window();
    return window == this || (m_companion && window == m_companion->window());
}

// The arrows step in this window and in the main window, as they always
// have; Shift and Ctrl with them, the page keys, Home and End are this
// window's own. A text field of this window keeps every key for its typing.
bool fPreview::handleKey(QObject* watched, QKeyEvent* key)
{
    const bool here = static_cast<const QWidget*>(watched)->window() == this;
    const bool typing = here && qobject_cast<QLineEdit*>(QApplication::focusWidget());
    const bool press = key->type() == QEvent::KeyPress;
    StepKeys::Key which;
    StepKey step;
    switch (key->key()) {
    case Qt::Key_Left: which = StepKeys::Left, step = StepKey::left; break;
    case Qt::Key_Right: which = StepKeys::Right, step = StepKey::right; break;
    case Qt::Key_PageUp: which = StepKeys::PageUp, step = StepKey::pageUp; break;
    case Qt::Key_PageDown: which = StepKeys::PageDown, step = StepKey::pageDown; break;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!here || typing) return false;
        if (press && !key->isAutoRepeat())
            MoveSliderTo(key->key() == Qt::Key_Home ? 0 : std::int64_t(m_player.clipInfo().lengthInFrames) - 1);
        return true;
    default: return false;
    }
    if (!here && which != StepKeys::Left && which != StepKeys::Right) return false;
    // A release always counts: a key must not stay down because the focus
    // went to a text field meanwhile.
    if (!press) {
        m_keys.release(which, key->isAutoRepeat());
        return here && !typing;
    }
    if (typing) return false;
    const Qt::KeyboardModifiers mods = key->modifiers();
    const std::int64_t frames =
        here ? frameStepFor(step, mods & Qt::ShiftModifier, mods & Qt::ControlModifier, m_player.clipInfo().frameRate)
                   .frames
             : 0;
    m_keys.press(which, key->isAutoRepeat(), frames);
    return here;
}

// Sees the keys of this window and of the main window only; keys that step
// in this window are the preview's and go no further.
bool fPreview::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (isOurWindow(watched) && handleKey(watched, static_cast<QKeyEvent*>(event))) return true;
        break;
    case QEvent::Resize:
        if (watched == m_client) placeControls(m_client->size());
        break;
    case QEvent::ApplicationDeactivate: m_keys.forgetAll(); break;
    case QEvent::ApplicationStateChange:
        if (static_cast<QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive)
            m_keys.forgetAll();
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace cw
