#include "ui/preview/preview_status_bar.h"

#include <QLabel>
#include <QPushButton>

namespace cw {

PreviewStatusBar::PreviewStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("m_statusbar"));
    setSizeGripEnabled(false);
    const char* roles[panelCount] = {"Video size and frame rate", "Aspect ratio", "Current frame", "Duration",
                                     "Playback", "Pixel under the pointer"};
    for (int i = 0; i < panelCount; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        m_panels[i]->setAccessibleDescription(QString::fromUtf8(roles[i]));
        m_panels[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        addWidget(m_panels[i], i == playbackPanel || i == pixelPanel ? 1 : 0);
        if (i == framePanel) {
            m_stop = new QPushButton(QStringLiteral("Stop"), this);
            m_stop->setObjectName(QStringLiteral("cmdStop"));
            m_stop->setToolTip(QStringLiteral("Stop the frame server"));
            m_stop->hide();
            connect(m_stop, &QPushButton::clicked, this, &PreviewStatusBar::stopClicked);
            addWidget(m_stop);
        }
    }
    // The panels of the workbench never widen the window.
    for (int i : {playbackPanel, pixelPanel}) {
        m_panels[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        m_panels[i]->hide();
    }
}

void PreviewStatusBar::setPanel(Panel panel, const QString& text)
{
    m_panels[panel]->setText(text);
    if (panel == playbackPanel || panel == pixelPanel) m_panels[panel]->setVisible(!text.isEmpty());
}

void PreviewStatusBar::showStop(bool shown)
{
    m_stop->setVisible(shown);
}

} // namespace cw
