#pragma once

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QWidget>

#include <functional>

namespace cw {

// A named command of owner with its keys, which work anywhere in owner's
// window while owner is shown.
inline QAction* addCommand(QWidget* owner, const QString& name, const QString& caption,
                           const QList<QKeySequence>& keys, const std::function<void()>& handler)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    action->setShortcuts(keys);
    QObject::connect(action, &QAction::triggered, owner, handler);
    owner->addAction(action);
    return action;
}

} // namespace cw
