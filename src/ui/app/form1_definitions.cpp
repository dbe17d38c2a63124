#include "ui/app/form1.h"

#include "core/base/paths.h"
#include "core/config/settings_keys.h"
#include "core/defs/definition_loader.h"
#include "core/preview/library_search.h"
#include "core/preview/product_version.h"
#include "ui/winsvc/prompt_service.h"
#include "ui/editor/code_sense.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include <cstdlib>

namespace cw {
QList<QAction*> Form1::definitionItems() const
{
    QList<QAction*> items;
    for (QAction* action : menu(QStringLiteral("mnuDefinitions"))->actions())
        if (action->objectName() == QLatin1String("mnuDefKey")) items << action;
    return items;
}

void Form1::buildDefinitionsMenu()
{
    const std::string defFolder = (m_programFolder + QStringLiteral("/def")).toStdString();
    if (!folderExists(defFolder)) return;
    QMenu* definitions = menu(QStringLiteral("mnuDefinitions"));
    int index = 0;
    for (const std::string& set : listDefinitionSets(defFolder)) {
        QAction* item = index == 0 ? definitionItems().front() : definitions->addAction(QString());
        if (index > 0) {
            item->setObjectName(QStringLiteral("mnuDefKey"));
            item->setProperty("index", index);
            item->setCheckable(true);
            connect(item, &QAction::triggered, this, [this, item] { chooseDefinitionSet(item); });
        }
        const QString name = QString::fromStdString(set);
        item->setText(name);
        item->setVisible(true);
        item->setChecked(name == m_definitionSet);
        ++index;
    }
}

void Form1::chooseDefinitionSet(QAction* item)
{
    m_definitionSet = item->text();
    for (QAction* other : definitionItems()) other->setChecked(false);
    item->setChecked(true);
    const std::string error = m_propertiesManager->writePropertie(m_configFile.toStdString(), keys::definitionSet,
                                                                  m_definitionSet.toStdString());
    if (!error.empty()) showError(QString::fromStdString(error));
    loadDefinitions();
    refreshFilterTree();
}

void Form1::reloadDefinitions()
{
    loadDefinitions();
    refreshFilterTree();
}

void Form1::showInterpreterVersion()
{
    m_statusText->setText(QStringLiteral("Detected avisynth version: ") +
                          QString::fromStdString(getProductVersion(aviSynthLibraryFolders(processEnvironment))));
}

void Form1::loadDefinitions()
{
    const std::string defFolder = (m_programFolder + QStringLiteral("/def")).toStdString();
    m_model = cw::loadDefinitions(definitionSetFolder(defFolder, m_definitionSet.toStdString()));
    // The highlighting must agree with the tree after every load.
    m_codeSense->setKeywords(m_model.filterNames());
}

} // namespace cw
