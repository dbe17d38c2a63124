#pragma once

#include "core/preview/zoom_view.h"

#include <QList>
#include <QWidget>

class QAction;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace cw {

class FrameView;

// The preview's workbench row under the frame buttons: Play, the go-to
// field, the zoom menu, Properties and Save Frame. The zoom levels and
// their keys act on the frame view directly; the rest is the window's to
// do, through the signals.
class PreviewToolRow : public QWidget {
    Q_OBJECT
public:
    PreviewToolRow(FrameView* view, QWidget* parent);

    void showPlaying(bool playing);
    void setPlayEnabled(bool enabled);
    // Puts the cursor in the go-to field with its text selected.
    void focusGoTo();
    // Turns the go-to field red with the reason as its tooltip, until the
    // text changes; an empty reason clears it.
    void showGoToError(const QString& reason);

    void setZoom(Zoom zoom);
    void zoomIn();
    void zoomOut();

    QLineEdit* goToField() const { return m_goTo; }
    QToolButton* zoomButton() const { return m_zoomButton; }

signals:
    void playClicked();
    // Enter in the go-to field.
    void goToEntered(const QString& text);
    void propertiesClicked();
    void saveFrameClicked();

private:
    void createZoomMenu();
    void zoomShown();

    FrameView* m_view;
    QPushButton* m_play;
    QLineEdit* m_goTo;
    QToolButton* m_zoomButton;
    QList<QAction*> m_zoomLevels; // Fit, then each level
    QAction* m_zoomInAction = nullptr;
    QAction* m_zoomOutAction = nullptr;
};

} // namespace cw
