#include "ui/winsvc/c_form_events.h"

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QScreen>

#include <array>
#include <cmath>

namespace cw {
namespace HookEvents {
namespace {

struct Record {
    QWidget* window = nullptr;
    CFormEvents* object = nullptr;
};

std::array<Record, CFormEvents::maxHookedWindows>& table()
{
    static std::array<Record, CFormEvents::maxHookedWindows> records;
    return records;
}

} // namespace

int HookWindow(CFormEvents* events, QWidget* form)
{
    auto& records = table();
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].window == nullptr) {
            records[i] = {form, events};
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

void UnhookWindow(int slot)
{
    if (slot >= 1 && slot <= CFormEvents::maxHookedWindows) table()[static_cast<std::size_t>(slot - 1)] = {};
}

CFormEvents* objectInSlot(int slot)
{
    if (slot < 1 || slot > CFormEvents::maxHookedWindows) return nullptr;
    return table()[static_cast<std::size_t>(slot - 1)].object;
}

} // namespace HookEvents

CFormEvents::CFormEvents()
{
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (!m_form) return;
        if (state == Qt::ApplicationActive)
            emit ActivateApp();
        else if (state == Qt::ApplicationInactive)
            emit DeactivateApp();
    });
    for (QScreen* screen : QGuiApplication::screens()) {
        connect(screen, &QScreen::geometryChanged, this, &CFormEvents::onScreenChanged);
    }
}

CFormEvents::~CFormEvents()
{
    if (m_slot != 0) HookEvents::UnhookWindow(m_slot);
}

void CFormEvents::setHookedForm(QWidget* form)
{
    const WId newHwnd = form ? form->winId() : 0;
    const bool change = (!form && m_hwnd != 0) || (form && newHwnd != m_hwnd);
    if (!change) return;
    if (m_hwnd != 0) {
        HookEvents::UnhookWindow(m_slot);
        m_slot = 0;
    }
    m_form = form;
    m_lastEntered = nullptr;
    if (!form) {
        m_hwnd = 0;
        return;
    }
    m_hwnd = newHwnd;
    m_slot = HookEvents::HookWindow(this, form);
    if (m_slot == 0) throw NumberedError(999, "CFormEvents class", "Too many subclassed windows");
}

bool CFormEvents::watches(QObject* object) const
{
    if (!m_form || m_slot == 0 || !object->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(object);
    return widget == m_form || m_form->isAncestorOf(widget);
}

bool CFormEvents::eventFilter(QObject* watched, QEvent* event)
{
    if (!watches(watched)) return false;
    auto* widget = static_cast<QWidget*>(watched);
    const bool onForm = widget == m_form;
    switch (event->type()) {
    case QEvent::Move:
        if (onForm) {
            emit Move();
            raiseGeometry(false);
        }
        break;
    case QEvent::Resize:
        if (onForm) raiseGeometry(true);
        break;
    case QEvent::Show:
        if (onForm) raiseMinMaxInfo();
        break;
    case QEvent::Paint:
        if (onForm) {
            const QRect r = static_cast<QPaintEvent*>(event)->rect();
            emit Paint(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
        }
        break;
    case QEvent::Enter:
        if (!onForm) raiseMouseEnter(widget);
        break;
    default:
        break;
    }
    return false;
}

void CFormEvents::raiseMouseEnter(QWidget* child)
{
    if (child == m_lastEntered) return;
    if (m_lastEntered) emit MouseExit(m_lastEntered);
    m_lastEntered = child;
    emit MouseEnter(child);
}

void CFormEvents::raiseMinMaxInfo()
{
    const QScreen* screen = m_form->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    MinMaxInfo info;
    info.MaxSizeX = available.width();
    info.MaxSizeY = available.height();
    info.MaxPosX = available.x();
    info.MaxPosY = available.y();
    info.MinTrackSizeX = m_form->minimumWidth();
    info.MinTrackSizeY = m_form->minimumHeight();
    info.MaxTrackSizeX = m_form->maximumWidth();
    info.MaxTrackSizeY = m_form->maximumHeight();
    const MinMaxInfo before = info;
    emit GetMinMaxInfo(info);
    if (info == before) return;
    m_form->setMinimumSize(info.MinTrackSizeX, info.MinTrackSizeY);
    m_form->setMaximumSize(info.MaxTrackSizeX, info.MaxTrackSizeY);
}

void CFormEvents::raiseGeometry(bool resizing)
{
    // Applying a handler's rectangle moves the window again; that second
    // event is not reported back.
    if (m_applying) return;
    const QRect g = m_form->frameGeometry();
    int x1 = g.left(), y1 = g.top(), x2 = g.right() + 1, y2 = g.bottom() + 1;
    if (resizing)
        emit Resizing(x1, y1, x2, y2, 0);
    else
        emit Moving(x1, y1, x2, y2, 0);
    if (x1 == g.left() && y1 == g.top() && x2 == g.right() + 1 && y2 == g.bottom() + 1) return;
    m_applying = true;
    const QRect frame = m_form->frameGeometry();
    const QRect inner = m_form->geometry();
    m_form->setGeometry(x1 + (inner.left() - frame.left()), y1 + (inner.top() - frame.top()),
                        (x2 - x1) - (frame.width() - inner.width()), (y2 - y1) - (frame.height() - inner.height()));
    m_applying = false;
}

void CFormEvents::onScreenChanged()
{
    if (!m_form) return;
    const QScreen* screen = m_form->screen();
    if (!screen) return;
    const QSize size = screen->geometry().size();
    emit DisplayChanged(size.width(), size.height(), static_cast<qint64>(std::pow(2.0, screen->depth())));
}

} // namespace cw
