#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <stdexcept>
#include <string>

namespace cw {

// A failure that carries a number, a source and a description.
class NumberedError : public std::runtime_error {
public:
    NumberedError(int number, std::string source, const std::string& description)
        : std::runtime_error(description), m_number(number), m_source(std::move(source))
    {
    }
    int number() const { return m_number; }
    const std::string& source() const { return m_source; }
    std::string description() const { return what(); }

private:
    int m_number;
    std::string m_source;
};

struct MinMaxInfo {
    int MaxSizeX = 0, MaxSizeY = 0;
    int MaxPosX = 0, MaxPosY = 0;
    int MinTrackSizeX = 0, MinTrackSizeY = 0;
    int MaxTrackSizeX = 0, MaxTrackSizeY = 0;
    bool operator==(const MinMaxInfo&) const = default;
};

// Raises events for window happenings that a form does not surface itself.
// Watches the attached form's window and its children through an
// application-wide event filter, since application activation and a
// child's Enter/Leave never reach a filter on the form alone. At most ten
// forms are attached at once.
class CFormEvents : public QObject {
    Q_OBJECT
public:
    static constexpr int maxHookedWindows = 10;

    CFormEvents();
    ~CFormEvents() override;

    QWidget* HookedForm() const { return m_form; }
    // Attaches form (nullptr detaches). Throws NumberedError 999 when ten
    // forms are attached already; the form is then kept with slot 0.
    void setHookedForm(QWidget* form);
    WId hwnd() const { return m_hwnd; }
    int slot() const { return m_slot; }

signals:
    void ActivateApp();
    void DeactivateApp();
    void Move();
    void GetMinMaxInfo(cw::MinMaxInfo& info);
    void Paint(int X1, int Y1, int X2, int Y2);
    // Linux has no counterpart of the non-client hit test: never raised.
    void NCHitTest(int X, int Y, int& hitCode);
    void MouseEnter(QWidget* ctrl);
    void MouseExit(QWidget* ctrl);
    // Nor of the system's low-memory notice: never raised.
    void CompactingMemory();
    void DisplayChanged(int newWidth, int newHeight, qint64 numberOfColors);
    void Resizing(int& X1, int& Y1, int& X2, int& Y2, int draggedBorder);
    void Moving(int& X1, int& Y1, int& X2, int& Y2, int draggedBorder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool watches(QObject* object) const;
    void raiseMinMaxInfo();
    void raiseGeometry(bool resizing);
    void raiseMouseEnter(QWidget* child);
    void onScreenChanged();

    QPointer<QWidget> m_form;
    QPointer<QWidget> m_lastEntered;
    WId m_hwnd = 0;
    int m_slot = 0;
    bool m_applying = false;
};

// The table of attached forms, ten slots numbered 1 to 10.
namespace HookEvents {
// The lowest free slot, now holding events and form; 0 when all are taken.
int HookWindow(CFormEvents* events, QWidget* form);
void UnhookWindow(int slot);
CFormEvents* objectInSlot(int slot);
} // namespace HookEvents

} // namespace cw
