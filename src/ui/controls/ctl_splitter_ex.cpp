#include "ui/controls/ctl_splitter_ex.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace cw {

ctlSplitterEx::ctlSplitterEx(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    auto* layout = new QVBoxLayout(this);
    m_labels[0] = new QLabel(QStringLiteral("(must be behind its attached objects)"), this);
    m_labels[1] = new QLabel(QStringLiteral("SplitterEx"), this);
    for (QLabel* label : m_labels) layout->addWidget(label);
}

void ctlSplitterEx::AttachObjects(QWidget* oLeft, QWidget* oRight, bool InitZOrder)
{
    m_left = oLeft;
    m_right = oRight;
    m_model.resetBounds();
    for (QLabel* label : m_labels) label->hide();
    m_attached = true;
    if (InitZOrder) {
        if (m_left) m_left->raise();
        if (m_right) m_right->raise();
    }
    Refresh();
}

void ctlSplitterEx::TileMode(Tiling tm)
{
    m_model.setTileMode(tm);
    Refresh();
}

int ctlSplitterEx::GetTilePercent() const
{
    return static_cast<qint16>(m_model.tilePercent());
}

void ctlSplitterEx::Refresh()
{
    if (!m_attached) return;
    const QRect g = geometry();
    const auto panes = m_model.layout({g.x(), g.y(), g.width(), g.height()});
    // A pane that is gone is skipped; the other one is still placed.
    if (m_left) m_left->setGeometry(panes.first.left, panes.first.top, panes.first.width, panes.first.height);
    if (m_right)
        m_right->setGeometry(panes.second.left, panes.second.top, panes.second.width, panes.second.height);
    for (QWidget* pane : {m_left.data(), m_right.data()})
        if (auto* nested = qobject_cast<ctlSplitterEx*>(pane)) nested->Refresh();
}

void ctlSplitterEx::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Refresh();
}

int ctlSplitterEx::along(const QPoint& pos) const
{
    return m_model.sideBySide() ? pos.x() : pos.y();
}

int ctlSplitterEx::firstExtent() const
{
    if (!m_left) return 0;
    return m_model.sideBySide() ? m_left->width() : m_left->height();
}

void ctlSplitterEx::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) m_model.press(along(event->position().toPoint()), firstExtent());
}

void ctlSplitterEx::mouseMoveEvent(QMouseEvent* event)
{
    const int c = along(event->position().toPoint());
    if (m_model.dragging() || SplitterModel::onBar(c, firstExtent()))
        setCursor(m_model.sideBySide() ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    else
        unsetCursor();
    if (m_model.drag(c, m_model.sideBySide() ? width() : height())) Refresh();
}

void ctlSplitterEx::mouseReleaseEvent(QMouseEvent*)
{
    m_model.release();
    unsetCursor();
}

} // namespace cw
