#pragma once

#include <QWidget>

class QLabel;

namespace cw {

// The small floating label that follows a slider's thumb while it is
// dragged. It never takes the focus from the window being worked in.
class frmValueTip : public QWidget {
    Q_OBJECT
public:
    // The one tip shared by every slider, made on first use.
    static frmValueTip& instance();
    // Closes the shared tip if one was ever made.
    static void closeShared();

    QLabel* lblTip() const { return m_label; }
    // Puts text in the label and returns the label's size, from which the
    // caller places the tip.
    QSize labelSizeFor(const QString& text);
    // Screen pixels; shown on top without being activated.
    void showAt(int x, int y, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    frmValueTip();

    QLabel* m_label;
};

} // namespace cw
