#include "ui/preview/f_preview.h"

#include "core/preview/media_player.h"
#include "core/preview/status_texts.h"
#include "ui/base/qt_strings.h"
#include "ui/controls/cpv_slider.h"
#include "ui/winsvc/prompt_service.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QEventLoop>
#include <QPushButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QShortcut>
#include <QStatusBar>
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

// Handles are numbers of our own: a frame meant for a closed window can
// never reach a later one.
std::intptr_t nextFrameHandle()
{
    static std::intptr_t next = 1;
    return next++;
}

} // namespace

FrameView::FrameView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FrameView::showFrame(const VideoFrame& frame)
{
    // The service's bytes live only for this call.
    m_image = QImage(frame.bytes, frame.width, frame.height, frame.stride, QImage::Format_RGB32).copy();
    m_message.clear();
    update();
}

void FrameView::showMessage(const QString& text)
{
    m_message = text;
    update();
}

void FrameView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_image.isNull() || !m_message.isEmpty())
        p.fillRect(rect(), Qt::black);
    else
        p.drawImage(rect(), m_image);
    if (m_message.isEmpty()) return;
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, m_message);
}

fPreview::fPreview(MediaPlayer& player, std::function<QString()> writeScript, QWidget* companion)
    : QWidget(nullptr, Qt::Tool), m_player(player), m_writeScript(std::move(writeScript)), m_companion(companion),
      m_handle(nextFrameHandle())
{
    setObjectName(QStringLiteral("fPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    setAttribute(Qt::WA_DeleteOnClose);

    // The status bar sits at the bottom; the rest is placed by hand from the
    // clip's size.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* client = new QWidget(this);
    outer->addWidget(client, 1);
    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("m_statusbar"));
    statusBar->setSizeGripEnabled(false);
    outer->addWidget(statusBar);
    const char* roles[4] = {"Video size and frame rate", "Aspect ratio", "Current frame", "Duration"};
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(statusBar);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        m_panels[i]->setAccessibleDescription(QString::fromUtf8(roles[i]));
        m_panels[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        statusBar->addWidget(m_panels[i], i == 3 ? 1 : 0);
        if (i == 2) {
            m_stop = new QPushButton(QStringLiteral("Stop"), statusBar);
            m_stop->setObjectName(QStringLiteral("cmdStop"));
            m_stop->setToolTip(QStringLiteral("Stop the frame server"));
            m_stop->hide();
            statusBar->addWidget(m_stop);
        }
    }

    m_frameVideo = new FrameView(client);
    m_frameVideo->setObjectName(QStringLiteral("FrameVideo"));
    m_frameVideo->setAccessibleName(QStringLiteral("Video frame"));

    m_slider = new cpvSlider(client);
    m_slider->setObjectName(QStringLiteral("VideoPositionSlider"));
    m_slider->setAccessibleName(QStringLiteral("Frame position"));
    connect(m_slider, &cpvSlider::MouseUp, this, [this] { MoveSliderTo(m_slider->Value()); });

    m_previous = new QPushButton(style()->standardIcon(QStyle::SP_MediaSeekBackward), QString(), client);
    m_previous->setObjectName(QStringLiteral("cmdPreviousFrame"));
    m_previous->setAccessibleName(QStringLiteral("Previous frame"));
    m_previous->setToolTip(QStringLiteral("Previous frame"));
    connect(m_previous, &QPushButton::clicked, this, [this] { MoveSliderTo(std::int64_t(m_slider->Value()) - 1); });

    m_next = new QPushButton(style()->standardIcon(QStyle::SP_MediaSeekForward), QString(), client);
    m_next->setObjectName(QStringLiteral("cmdNextFrame"));
    m_next->setAccessibleName(QStringLiteral("Next frame"));
    m_next->setToolTip(QStringLiteral("Next frame"));
    connect(m_next, &QPushButton::clicked, this, [this] { MoveSliderTo(std::int64_t(m_slider->Value()) + 1); });

    m_ok = new QPushButton(QStringLiteral("CLOSE"), client);
    m_ok->setObjectName(QStringLiteral("cmdOk"));
    connect(m_ok, &QPushButton::clicked, this, &QWidget::close);

    // F5 here reloads once per press; in the main window its own menu
    // shortcut does the same.
    auto* reload = new QShortcut(QKeySequence(Qt::Key_F5), this);
    reload->setAutoRepeat(false);
    connect(reload, &QShortcut::activated, this, [this] {
        if (!m_opening) startPreview();
    });

    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &fPreview::tick);

    // Stop kills the frame server; its end comes back as the frame's answer.
    connect(m_stop, &QPushButton::clicked, this, [this] { m_player.service().stopFrameServers(); });
    m_slowFrame.setSingleShot(true);
    m_slowFrame.setInterval(slowFrameMs);
    connect(&m_slowFrame, &QTimer::timeout, this, [this] {
        m_renderingShown = true;
        if (m_wanted) showFramePanel(*m_wanted);
    });
    m_verySlowFrame.setSingleShot(true);
    m_verySlowFrame.setInterval(verySlowFrameMs);
    connect(&m_verySlowFrame, &QTimer::timeout, this, [this] { showStop(true); });

    MediaCommandService& service = m_player.service();
    m_frameServer = new QSocketNotifier(service.eventFd(), QSocketNotifier::Read, this);
    connect(m_frameServer, &QSocketNotifier::activated, this, [&service] { service.onReadable(); });
    service.setWaiter([this](const std::function<bool()>& done) { return waitForFrameServer(done); });
    service.registerFrameSink(m_handle, FrameSink{[this](const VideoFrame& frame) {
                                                      m_frameVideo->showFrame(frame);
                                                      frameAnswered(frame.number);
                                                  },
                                                  [this](int frame, const std::string& text) {
                                                      m_frameVideo->showMessage(fromUtf8String(text));
                                                      frameAnswered(frame);
                                                  }});
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

bool fPreview::startPreview()
{
    m_timer.stop();
    m_player.closeAllMovies();
    const QString path = m_writeScript();
    if (path.isEmpty() || !openAndShowFirstFrame(path)) {
        close();
        return false;
    }
    const ClipInfo& info = m_player.clipInfo();
    const QLocale locale;
    m_panels[0]->setText(QStringLiteral("%1x%2 @ %3 fps")
                             .arg(info.width)
                             .arg(info.height)
                             .arg(fromUtf8String(frameRateText(info.frameRate.value(),
                                                               toUtf8String(locale.decimalPoint()),
                                                               toUtf8String(locale.groupSeparator())))));
    m_panels[1]->setText(QStringLiteral("Ratio: ") +
                         fromUtf8String(ratioText(info.width, info.height, toUtf8String(locale.decimalPoint()))));
    emit opened();
    m_timer.start();
    return true;
}

bool fPreview::openAndShowFirstFrame(const QString& path)
{
    if (!open(path)) return false;
    if (m_player.playMovie(alias, "0", "0").ok()) {
        frameAsked(0);
        showFramePanel(0);
        m_panels[3]->setText(QStringLiteral("Duration: ") +
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
        m_panels[2]->setText(QStringLiteral("Opening..."));
        if (!isVisible() && !m_closeAfterOpen) {
            const PreviewLayout l = previewLayout(0, 0);
            m_frameVideo->setGeometry(l.frameVideo.left, l.frameVideo.top, l.frameVideo.width, l.frameVideo.height);
            resize(l.clientWidth, l.clientHeight);
            show();
        }
    });
    slow.start(slowFrameMs);
    QTimer verySlow;
    verySlow.setSingleShot(true);
    connect(&verySlow, &QTimer::timeout, this, [this] { showStop(true); });
    verySlow.start(verySlowFrameMs);
    loop.exec();
    m_opening = false;
    showStop(false);
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

void fPreview::layoutWindow()
{
    ClipInfo& info = m_player.clipInfo();
    const QSize room = screen() ? screen()->availableGeometry().size() : QSize();
    const PreviewLayout l = previewLayout(info.width, info.height, room.width(), room.height());
    info.width = l.videoWidth;
    info.height = l.videoHeight;
    const auto place = [](QWidget* w, const PixelRect& r) { w->setGeometry(r.left, r.top, r.width, r.height); };

    place(m_frameVideo, l.frameVideo);

    // Without two frames there is nothing to step, and a slider cannot
    // hold a range of one value.
    const bool steppable = info.lengthInFrames > 1;
    m_slider->setOrientation(SliderModel::horizontal);
    place(m_slider, l.slider);
    m_slider->setMin(0);
    m_slider->setMax(steppable ? info.lengthInFrames - 1 : 1);
    m_slider->setVisible(true);
    m_slider->setEnabledProperty(steppable);
    m_slider->setValue(0);
    m_previous->setEnabled(steppable);
    m_next->setEnabled(steppable);

    place(m_previous, l.previousButton);
    place(m_next, l.nextButton);
    place(m_ok, l.okButton);

    // The status bar takes the bottom of the client area; a taller one than
    // designed pushes the window down rather than cover the buttons.
    const int rowBottom = std::max(l.slider.top + m_slider->height(), l.okButton.top + l.okButton.height);
    const int statusHeight = m_panels[0]->parentWidget()->sizeHint().height();
    resize(l.clientWidth, std::max(l.clientHeight, rowBottom + 6 + statusHeight));
}

void fPreview::MoveSliderTo(std::int64_t pos)
{
    const std::optional<std::int32_t> frame = clampFrame(pos, m_player.clipInfo().lengthInFrames);
    if (!frame) return;
    m_slider->setValue(*frame);
    if (m_player.seekMovie(alias, *frame).ok()) frameAsked(*frame);
    showFramePanel(*frame);
}

void fPreview::showFramePanel(std::int32_t frame)
{
    if (m_renderingShown && m_wanted == frame)
        m_panels[2]->setText(QStringLiteral("Rendering frame %1...").arg(frame));
    else
        m_panels[2]->setText(
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
    showStop(false);
    if (m_renderingShown) {
        m_renderingShown = false;
        showFramePanel(frame);
    }
}

void fPreview::showStop(bool shown)
{
    m_stop->setVisible(shown);
}

void fPreview::tick()
{
    // A failed query (-1) or a position outside the clip leaves the display
    // as it was; while the thumb is held the slider follows the hand only.
    const std::int32_t pos = m_player.getPosition(alias);
    if (pos >= 0 && pos < m_player.clipInfo().lengthInFrames) {
        m_slider->setPolledValue(pos);
        showFramePanel(pos);
    }
    const int left = m_keys.poll(StepKeys::Left);
    const int right = m_keys.poll(StepKeys::Right);
    if (m_slider->isDragging()) return;
    if (left) MoveSliderTo(std::int64_t(m_slider->Value()) - left);
    if (right) MoveSliderTo(std::int64_t(m_slider->Value()) + right);
}

// A close while the script opens gives the open up; the window then closes
// itself once the frame server's answer has been taken off the stack.
void fPreview::closeEvent(QCloseEvent* event)
{
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

// Sees the keys of this window and of the main window only; arrows pressed
// in this window are the preview's and go no further.
bool fPreview::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        if (!isOurWindow(watched)) break;
        const auto* key = static_cast<QKeyEvent*>(event);
        StepKeys::Key which;
        if (key->key() == Qt::Key_Left)
            which = StepKeys::Left;
        else if (key->key() == Qt::Key_Right)
            which = StepKeys::Right;
        else
            break;
        if (event->type() == QEvent::KeyPress)
            m_keys.press(which, key->isAutoRepeat());
        else
            m_keys.release(which, key->isAutoRepeat());
        return static_cast<const QWidget*>(watched)->window() == this;
    }
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
