#pragma once

#include <QStatusBar>

class QLabel;
class QPushButton;

namespace cw {

// The preview's status bar: the clip's size and rate, its aspect ratio, the
// frame shown and the duration; the playback figures and the pixel under
// the pointer only while they have something to say; Stop beside the frame
// while a frame takes very long.
class PreviewStatusBar : public QStatusBar {
    Q_OBJECT
public:
    enum Panel { sizePanel, ratioPanel, framePanel, durationPanel, playbackPanel, pixelPanel, panelCount };

    explicit PreviewStatusBar(QWidget* parent);
    void setPanel(Panel panel, const QString& text);
    void showStop(bool shown);

signals:
    void stopClicked();

private:
    QLabel* m_panels[panelCount] {};
    QPushButton* m_stop;
};

} // namespace cw
