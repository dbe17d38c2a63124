#include "ui/preview/preview_tool_row.h"

#include "ui/base/widget_command.h"
#include "ui/preview/frame_view.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace cw {
namespace {

QString zoomCaption(Zoom zoom)
{
    return zoom.fit ? QStringLiteral("Fit") : QStringLiteral("%1%").arg(zoom.percent);
}

} // namespace

PreviewToolRow::PreviewToolRow(FrameView* view, QWidget* parent) : QWidget(parent), m_view(view)
{
    setObjectName(QStringLiteral("ToolRow"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);

    m_play = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), QString(), this);
    m_play->setObjectName(QStringLiteral("cmdPlay"));
    m_play->setAccessibleName(QStringLiteral("Play"));
    m_play->setToolTip(QStringLiteral("Play or pause (Space)"));
    connect(m_play, &QPushButton::clicked, this, &PreviewToolRow::playClicked);
    row->addWidget(m_play);

    auto* goToLabel = new QLabel(QStringLiteral("Go to:"), this);
    row->addWidget(goToLabel);
    m_goTo = new QLineEdit(this);
    m_goTo->setObjectName(QStringLiteral("GoToFrame"));
    m_goTo->setAccessibleName(QStringLiteral("Go to frame"));
    m_goTo->setPlaceholderText(QStringLiteral("frame or time"));
    m_goTo->setToolTip(QStringLiteral("A frame number, or a time such as 1:02:03.500, 2:03 or 12.5 (Ctrl+G)"));
    m_goTo->setMaximumWidth(m_goTo->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00.000")) + 16);
    goToLabel->setBuddy(m_goTo);
    connect(m_goTo, &QLineEdit::returnPressed, this, [this] { emit goToEntered(m_goTo->text()); });
    connect(m_goTo, &QLineEdit::textEdited, this, [this] { showGoToError(QString()); });
    row->addWidget(m_goTo);

    m_zoomButton = new QToolButton(this);
    m_zoomButton->setObjectName(QStringLiteral("cmdZoom"));
    m_zoomButton->setAccessibleName(QStringLiteral("Zoom"));
    m_zoomButton->setToolTip(QStringLiteral("Zoom"));
    m_zoomButton->setPopupMode(QToolButton::InstantPopup);
    m_zoomButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_zoomButton->setMinimumWidth(m_zoomButton->fontMetrics().horizontalAdvance(QStringLiteral("400%")) + 28);
    m_zoomButton->setMenu(new QMenu(m_zoomButton));
    row->addWidget(m_zoomButton);

    auto* properties = new QPushButton(QStringLiteral("Properties"), this);
    properties->setObjectName(QStringLiteral("cmdProperties"));
    properties->setToolTip(QStringLiteral("The clip's and the frame's properties (F8)"));
    connect(properties, &QPushButton::clicked, this, &PreviewToolRow::propertiesClicked);
    row->addWidget(properties);

    auto* save = new QPushButton(QStringLiteral("Save Frame..."), this);
    save->setObjectName(QStringLiteral("cmdSaveFrame"));
    save->setToolTip(QStringLiteral("Save the frame as a PNG picture"));
    connect(save, &QPushButton::clicked, this, &PreviewToolRow::saveFrameClicked);
    row->addWidget(save);
    row->addStretch(1);

    createZoomMenu();
    connect(m_view, &FrameView::zoomChanged, this, &PreviewToolRow::zoomShown);
}

// The levels are actions of this row, so their keys work anywhere in the
// preview window while it is active.
void PreviewToolRow::createZoomMenu()
{
    QMenu* menu = m_zoomButton->menu();
    auto* levels = new QActionGroup(this);
    const auto level = [&](const QString& name, Zoom zoom, const QList<QKeySequence>& keys) {
        QAction* a = addCommand(this, name, zoom.fit ? QStringLiteral("Fit to Window") : zoomCaption(zoom),
                                keys, [this, zoom] { setZoom(zoom); });
        a->setCheckable(true);
        levels->addAction(a);
        menu->addAction(a);
        m_zoomLevels << a;
    };
    level(QStringLiteral("cmdZoomFit"), Zoom{true, 100}, {QKeySequence(Qt::CTRL | Qt::Key_0)});
    for (int percent : zoomLevels)
        level(QStringLiteral("cmdZoom%1").arg(percent), Zoom{false, percent},
              percent == 100 ? QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_1)}
                             : QList<QKeySequence>{});
    menu->addSeparator();
    m_zoomInAction =
        addCommand(this, QStringLiteral("cmdZoomIn"), QStringLiteral("Zoom In"),
                   {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                   [this] { zoomIn(); });
    m_zoomOutAction = addCommand(this, QStringLiteral("cmdZoomOut"), QStringLiteral("Zoom Out"),
                                 {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [this] { zoomOut(); });
    menu->addAction(m_zoomInAction);
    menu->addAction(m_zoomOutAction);
    zoomShown();
}

void PreviewToolRow::showPlaying(bool playing) {
    m_play->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    m_play->setAccessibleName(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
}

void PreviewToolRow::setPlayEnabled(bool enabled)
{
    m_play->setEnabled(enabled);
}

void PreviewToolRow::focusGoTo()
{
    m_goTo->setFocus(Qt::ShortcutFocusReason);
    m_goTo->selectAll();
}

void PreviewToolRow::showGoToError(const QString& reason)
{
    if (reason.isEmpty()) {
        m_goTo->setPalette(QPalette());
        m_goTo->setToolTip(QString());
        return;
    }
    QPalette red = m_goTo->palette();
    red.setColor(QPalette::Base, QColor(0xff, 0xc8, 0xc8));
    red.setColor(QPalette::Text, Qt::black);
    m_goTo->setPalette(red);
    m_goTo->setToolTip(reason);
}

void PreviewToolRow::setZoom(Zoom zoom)
{
    m_view->setZoom(zoom);
    zoomShown();
}

void PreviewToolRow::zoomIn()
{
    if (const std::optional<int> level = zoomInFrom(m_view->placement().scale)) setZoom({false, *level});
}

void PreviewToolRow::zoomOut()
{
    if (const std::optional<int> level = zoomOutFrom(m_view->placement().scale)) setZoom({false, *level});
}

// The menu marks the zoom chosen and offers only the steps there are.
void PreviewToolRow::zoomShown()
{
    const Zoom zoom = m_view->zoom();
    m_zoomButton->setText(zoomCaption(zoom));
    for (int i = 0; i < m_zoomLevels.size(); ++i) {
        const bool chosen = i == 0 ? zoom.fit : !zoom.fit && zoom.percent == zoomLevels[i - 1];
        m_zoomLevels[i]->setChecked(chosen);
    }
    const double scale = m_view->placement().scale;
    m_zoomInAction->setEnabled(zoomInFrom(scale).has_value());
    m_zoomOutAction->setEnabled(zoomOutFrom(scale).has_value());
}

} // namespace cw
