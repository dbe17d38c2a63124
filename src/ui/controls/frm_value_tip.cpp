#include "ui/controls/frm_value_tip.h"

#include <QLabel>
#include <QPainter>
#include <QPointer>

namespace cw {
namespace {

QPointer<frmValueTip>& sharedTip()
{
    static QPointer<frmValueTip> tip;
    return tip;
}

} // namespace

frmValueTip::frmValueTip() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("frmValueTip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("lblTip"));
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8);
    m_label->setFont(font);
    m_label->setForegroundRole(QPalette::ToolTipText);
    m_label->move(2, 1);
}

frmValueTip& frmValueTip::instance()
{
    QPointer<frmValueTip>& tip = sharedTip();
    if (!tip) tip = new frmValueTip;
    return *tip;
}

void frmValueTip::closeShared()
{
    if (QPointer<frmValueTip>& tip = sharedTip()) tip->hide();
}

QSize frmValueTip::labelSizeFor(const QString& text)
{
    m_label->setText(text);
    m_label->adjustSize();
    m_label->repaint();
    return m_label->size();
}

void frmValueTip::showAt(int x, int y, int width, int height)
{
    setGeometry(x, y, width, height);
    if (!isVisible()) show();
    raise();
}

// A one-pixel frame on the tip's outermost pixels, light at the top and
// left, dark at the right and bottom. Filled rectangles, unlike lines, cover
// whole device pixels at any scale, so the frame stays sharp and in its place.
void frmValueTip::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter p(this);
    const int w = width();
    const int h = height();
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Shadow);
    p.fillRect(0, 0, w, 1, light);
    p.fillRect(0, 0, 1, h, light);
    p.fillRect(w - 1, 0, 1, h, shadow);
    p.fillRect(0, h - 1, w, 1, shadow);
}

} // namespace cw
