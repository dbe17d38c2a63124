#include "ui/defs/definition_sets.h"

#include "core/base/paths.h"
#include "core/config/settings.h"
#include "core/defs/definition_loader.h"
#include "ui/base/qt_strings.h"
#include "ui/winsvc/prompt_service.h"

#include <QAction>
#include <QMenu>

namespace cw {

DefinitionSets::DefinitionSets(Settings& settings) : m_settings(settings) {}

QList<QAction*> DefinitionSets::items() const
{
    QList<QAction*> family;
    for (QAction* action : m_menu->actions())
        if (action->objectName() == QLatin1String("mnuDefKey")) family << action;
    return family;
}

void DefinitionSets::attachMenu(QMenu* menu)
{
    m_menu = menu;
    for (QAction* action : menu->actions())
        if (action->isSeparator()) {
            m_familyEnd = action;
            break;
        }
    auto* first = new QAction(QStringLiteral("DEF"), menu);
    menu->insertAction(m_familyEnd, first);
    first->setObjectName(QStringLiteral("mnuDefKey"));
    first->setProperty("index", 0);
    first->setCheckable(true);
    connect(first, &QAction::triggered, this, [this, first] { choose(first); });
}

void DefinitionSets::readChosenSet()
{
    m_definitionSet = fromUtf8String(m_settings.definitionSet());
    if (!folderExists(m_settings.definitionFolders().setFolder(toUtf8String(m_definitionSet)))) {
        showInfo(QStringLiteral("avisynth definition is not set, choose a version in Definitions menu"));
        m_definitionSet.clear();
    }
}

void DefinitionSets::buildMenu()
{
    const QList<QAction*> family = items();
    for (qsizetype i = 1; i < family.size(); ++i) delete family[i];
    const DefinitionFolders folders = m_settings.definitionFolders();
    int index = 0;
    for (const std::string& set : folders.setNames()) {
        QAction* item = index == 0 ? family.front() : new QAction(m_menu);
        if (index > 0) {
            m_menu->insertAction(m_familyEnd, item);
            item->setObjectName(QStringLiteral("mnuDefKey"));
            item->setProperty("index", index);
            item->setCheckable(true);
            connect(item, &QAction::triggered, this, [this, item] { choose(item); });
        }
        const QString name = fromUtf8String(set);
        item->setText(name);
        item->setVisible(true);
        item->setChecked(name == m_definitionSet);
        ++index;
    }
}

void DefinitionSets::load()
{
    m_model = loadDefinitions(m_settings.definitionFolders().setFolder(toUtf8String(m_definitionSet)));
    emit modelChanged();
}

void DefinitionSets::choose(QAction* item)
{
    m_definitionSet = item->text();
    for (QAction* other : items()) other->setChecked(false);
    item->setChecked(true);
    const std::string error = m_settings.writeDefinitionSet(toUtf8String(m_definitionSet));
    if (!error.empty()) showError(fromUtf8String(error));
    load();
}

void DefinitionSets::adopt(const QString& name)
{
    buildMenu();
    for (QAction* item : items())
        if (item->text() == name) return choose(item);
}

} // namespace cw
