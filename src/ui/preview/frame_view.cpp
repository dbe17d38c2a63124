#include "ui/preview/frame_view.h"

#include "core/preview/media_command_service.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWindow>

#include <cmath>

namespace cw {

FrameView::FrameView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QImage copyOf(const VideoFrame& frame)
{
    return QImage(frame.bytes, frame.width, frame.height, frame.stride, QImage::Format_RGB32).copy();
}

void FrameView::showImage(const QImage& image)
{
    const bool resized = image.size() != m_image.size();
    m_image = image;
    m_message.clear();
    if (resized) {
        updateScrollBars();
        pointAtCursor();
    }
    viewport()->update();
}

void FrameView::showMessage(const QString& text)
{
    m_message = text;
    viewport()->update();
}

QSize FrameView::deviceViewSize() const
{
    const double ratio = viewport()->devicePixelRatioF();
    return {static_cast<int>(std::lround(viewport()->width() * ratio)),
            static_cast<int>(std::lround(viewport()->height() * ratio))};
}

ZoomGeometry FrameView::placement() const
{
    const QSize view = deviceViewSize();
    return zoomGeometry(m_zoom, m_image.width(), m_image.height(), view.width(), view.height(),
                        horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void FrameView::setZoom(Zoom zoom)
{
    if (zoom == m_zoom) return;
    const ZoomGeometry before = placement();
    const QSize view = deviceViewSize();
    const double centreX = (view.width() / 2.0 - before.left) / before.scale;
    const double centreY = (view.height() / 2.0 - before.top) / before.scale;
    m_zoom = zoom;
    updateScrollBars();
    const auto [x, y] = placement().scrollToPlace(centreX, centreY, view.width() / 2.0, view.height() / 2.0);
    horizontalScrollBar()->setValue(x);
    verticalScrollBar()->setValue(y);
    viewport()->update();
    pointAtCursor();
    emit zoomChanged();
}

// The scroll bars count device pixels.
void FrameView::updateScrollBars()
{
    const ZoomGeometry g = zoomGeometry(m_zoom, m_image.width(), m_image.height(), deviceViewSize().width(),
                                        deviceViewSize().height());
    const QSize view = deviceViewSize();
    horizontalScrollBar()->setRange(0, g.maxScrollX);
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(std::max(1, view.width() / 20));
    verticalScrollBar()->setRange(0, g.maxScrollY);
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(std::max(1, view.height() / 20));
}

void FrameView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    pointAtCursor();
}

void FrameView::scrollContentsBy(int, int)
{
    viewport()->update();
    pointAtCursor();
}

// The picture moved under a pointer that stayed where it was.
void FrameView::pointAtCursor()
{
    if (viewport()->underMouse()) point(viewport()->mapFromGlobal(QCursor::pos()).toPointF());
}

void FrameView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), Qt::black);
    if (!m_image.isNull() && m_message.isEmpty()) {
        const ZoomGeometry g = placement();
        // Device pixels from here on: a scaled screen blurs nothing.
        const double ratio = viewport()->devicePixelRatioF();
        p.save();
        p.scale(1 / ratio, 1 / ratio);
        p.setRenderHint(QPainter::SmoothPixmapTransform, g.smooth);
        p.drawImage(QRectF(g.left, g.top, g.width, g.height), m_image);
        p.restore();
    }
    if (m_message.isEmpty()) return;
    p.setPen(Qt::white);
    p.drawText(viewport()->rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, m_message);
}

void FrameView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::MiddleButton) return QAbstractScrollArea::mousePressEvent(event);
    m_dragFrom = event->position();
    viewport()->setCursor(Qt::ClosedHandCursor);
}

void FrameView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragFrom) {
        const double ratio = viewport()->devicePixelRatioF();
        const QPointF moved = (event->position() - *m_dragFrom) * ratio;
        m_dragFrom = event->position();
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - static_cast<int>(std::lround(moved.x())));
        verticalScrollBar()->setValue(verticalScrollBar()->value() - static_cast<int>(std::lround(moved.y())));
    }
    // Qt hands widgets whole program pixels; on a scaled screen the window's
    // own event still had the screen pixel.
    const QPointF at = m_exactPointer && (*m_exactPointer - event->position()).manhattanLength() < 2
                           ? *m_exactPointer
                           : event->position();
    point(at);
}

void FrameView::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    if (QWindow* handle = window()->windowHandle()) handle->installEventFilter(this);
}

bool FrameView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && watched == window()->windowHandle())
        m_exactPointer = static_cast<QMouseEvent*>(event)->position() -
                         QPointF(viewport()->mapTo(window(), QPoint(0, 0)));
    return QAbstractScrollArea::eventFilter(watched, event);
}

void FrameView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::MiddleButton) return QAbstractScrollArea::mouseReleaseEvent(event);
    m_dragFrom.reset();
    viewport()->unsetCursor();
}

bool FrameView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Leave) point(std::nullopt);
    return QAbstractScrollArea::viewportEvent(event);
}

void FrameView::point(std::optional<QPointF> at)
{
    std::optional<ClipPoint> pointed;
    if (at && !m_image.isNull()) {
        const double ratio = viewport()->devicePixelRatioF();
        pointed = placement().clipPointAt(at->x() * ratio, at->y() * ratio);
    }
    if (pointed == m_pointed) return;
    m_pointed = pointed;
    emit pointedChanged();
}

} // namespace cw
