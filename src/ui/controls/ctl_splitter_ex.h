#pragma once

#include "core/controls/splitter_model.h"

#include <QPointer>
#include <QWidget>

class QLabel;

namespace cw {

// Lies behind two sibling widgets and places them over its own rectangle
// with a gap between them; the gap, where the splitter shows through, is the
// bar the user drags. An attached widget may itself be a splitter.
class ctlSplitterEx : public QWidget {
    Q_OBJECT
public:
    explicit ctlSplitterEx(QWidget* parent = nullptr);

    void AttachObjects(QWidget* oLeft, QWidget* oRight, bool InitZOrder = false);
    void TileMode(Tiling tm);
    int GetTilePercent() const;
    // Stores the percentage without laying the panes out again.
    void SetTilePercent(int percent) { m_model.setTilePercent(percent); }
    void MinTilePercent(int mt) { m_model.setMinTilePercent(mt); }
    void MaxTilePercent(int mt) { m_model.setMaxTilePercent(mt); }
    void Refresh();

    const SplitterModel& model() const { return m_model; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int along(const QPoint& pos) const;
    int firstExtent() const;

    SplitterModel m_model;
    QPointer<QWidget> m_left;
    QPointer<QWidget> m_right;
    QLabel* m_labels[2] {};
    bool m_attached = false;
};

} // namespace cw
