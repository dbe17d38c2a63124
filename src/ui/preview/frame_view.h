#pragma once

#include "core/preview/zoom_view.h"

#include <QAbstractScrollArea>
#include <QImage>

#include <optional>

namespace cw {

struct VideoFrame;

// A frame's pixels as a picture of its own: the service's bytes live only
// for the call that hands them over.
QImage copyOf(const VideoFrame& frame);

// Where the clip's frames are painted: fitted to the view or zoomed, in the
// screen's own pixels so that 100% shows each clip pixel on one pixel of
// the screen whatever its scale. A larger picture scrolls (scroll bars, the
// wheel, or a drag with the middle button). Or a message in place of a
// frame that cannot be shown.
class FrameView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit FrameView(QWidget* parent = nullptr);
    void showImage(const QImage& image);
    void showMessage(const QString& text);
    // The frame shown last, in the clip's own pixels.
    const QImage& image() const { return m_image; }
    const QString& message() const { return m_message; }

    Zoom zoom() const { return m_zoom; }
    // Keeps the clip point at the view's centre where it is.
    void setZoom(Zoom zoom);
    // Where the picture lies in the view now, in device pixels.
    ZoomGeometry placement() const;
    // The clip pixel under the pointer, when it is over the picture.
    std::optional<ClipPoint> pointed() const { return m_pointed; }

signals:
    void zoomChanged();
    // The pointer moved to another clip pixel, or off the picture.
    void pointedChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSize deviceViewSize() const;
    void updateScrollBars();
    void point(std::optional<QPointF> at);
    void pointAtCursor();

    QImage m_image;
    QString m_message;
    Zoom m_zoom;
    std::optional<ClipPoint> m_pointed;
    std::optional<QPointF> m_dragFrom;
    // The pointer in the viewport to the screen's pixel, as the window saw it.
    std::optional<QPointF> m_exactPointer;
};

} // namespace cw
