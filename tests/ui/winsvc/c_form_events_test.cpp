#include "ui/winsvc/c_form_events.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace cw {
namespace {

int freeSlots()
{
    int free = 0;
    for (int slot = 1; slot <= CFormEvents::maxHookedWindows; ++slot) free += HookEvents::objectInSlot(slot) ? 0 : 1;
    return free;
}

TEST(HookTable, TenSlotsThenError999AndTheLowestFreedSlotIsReused)
{
    const int available = freeSlots();
    std::vector<std::unique_ptr<QWidget>> forms;
    std::vector<std::unique_ptr<CFormEvents>> hooks;
    for (int i = 0; i < available; ++i) {
        forms.push_back(std::make_unique<QWidget>());
        hooks.push_back(std::make_unique<CFormEvents>());
        hooks.back()->setHookedForm(forms.back().get());
        EXPECT_NE(hooks.back()->slot(), 0);
    }

    QWidget eleventh;
    CFormEvents extra;
    try {
        extra.setHookedForm(&eleventh);
        FAIL() << "no error";
    } catch (const NumberedError& e) {
        EXPECT_EQ(e.number(), 999);
        EXPECT_EQ(e.source(), "CFormEvents class");
        EXPECT_EQ(e.description(), "Too many subclassed windows");
    }
    EXPECT_EQ(extra.HookedForm(), &eleventh);
    EXPECT_EQ(extra.slot(), 0);

    ASSERT_GE(hooks.size(), 2u);
    const int lower = hooks[0]->slot();
    hooks[1]->setHookedForm(nullptr);
    hooks[0].reset(); // a destroyed object frees its slot
    QWidget again;
    CFormEvents reuse;
    reuse.setHookedForm(&again);
    EXPECT_EQ(reuse.slot(), lower);
}

TEST(HookTable, AssigningTheSameFormTwiceKeepsItsSlot)
{
    QWidget form;
    CFormEvents hook;
    hook.setHookedForm(&form);
    const int slot = hook.slot();
    hook.setHookedForm(&form);
    EXPECT_EQ(hook.slot(), slot);
    EXPECT_EQ(HookEvents::objectInSlot(slot), &hook);
}

TEST(HookedEvents, MoveResizeAndEnterReachTheHandlers)
{
    QWidget form;
    QWidget* child = new QWidget(&form);
    form.resize(200, 100);
    form.show();
    CFormEvents hook;
    hook.setHookedForm(&form);
    QSignalSpy moved(&hook, &CFormEvents::Move);
    QSignalSpy entered(&hook, &CFormEvents::MouseEnter);
    QSignalSpy left(&hook, &CFormEvents::MouseExit);

    form.move(40, 50);
    QCoreApplication::processEvents();
    EXPECT_GE(moved.count(), 1);

    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(child, &enter);
    QCoreApplication::sendEvent(child, &enter);
    EXPECT_EQ(entered.count(), 1);
    QWidget* other = new QWidget(&form);
    QCoreApplication::sendEvent(other, &enter);
    EXPECT_EQ(left.count(), 1);
    EXPECT_EQ(left.front().front().value<QWidget*>(), child);

    // A resize handler that changes nothing leaves the window alone.
    QObject::connect(&hook, &CFormEvents::Resizing, [](int&, int&, int&, int&, int) {});
    form.resize(220, 120);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.size(), QSize(220, 120));
}

} // namespace
} // namespace cw
