#include "ui/browser/filter_browser.h"

#include "ui/base/qt_strings.h"
#include "ui/browser/description_pane.h"
#include "ui/browser/filter_tree.h"

#include <QAction>
#include <QTextEdit>
#include <QTreeWidget>

namespace cw {

FilterBrowser::FilterBrowser(QTreeWidget& tree, QTextEdit& description, const DefinitionModel& model,
                             const DefinitionModel& scriptModel)
    : m_tree(tree), m_description(description), m_model(model), m_scriptModel(scriptModel)
{
    connect(&m_tree, &QTreeWidget::itemClicked, this, &FilterBrowser::filterNodeClicked);
    connect(&m_tree, &QTreeWidget::itemDoubleClicked, this, &FilterBrowser::filterNodeDoubleClicked);
}

void FilterBrowser::attachMenu(QAction* byPlugin, QAction* byCategory, QAction* hideUncategorized)
{
    m_byPlugin = byPlugin;
    m_byCategory = byCategory;
    m_hide = hideUncategorized;
    for (QAction* item : {byPlugin, byCategory, hideUncategorized}) item->setCheckable(true);
    connect(byPlugin, &QAction::triggered, this, &FilterBrowser::sortByPlugin);
    connect(byCategory, &QAction::triggered, this, &FilterBrowser::sortByCategory);
    connect(hideUncategorized, &QAction::triggered, this, &FilterBrowser::hideUncategorizedFilters);
    applyMenuStates();
}

void FilterBrowser::applyMenuStates()
{
    if (!m_hide) return;
    m_byPlugin->setChecked(m_viewMode != 2);
    m_byCategory->setChecked(m_viewMode == 2);
    m_hide->setEnabled(m_viewMode == 2);
    m_hide->setChecked(m_hideUncategorized);
}

void FilterBrowser::setViewMode(int viewMode)
{
    m_viewMode = viewMode;
    applyMenuStates();
}

void FilterBrowser::setHideUncategorized(bool hide)
{
    m_hideUncategorized = hide;
    applyMenuStates();
}

void FilterBrowser::colourDescriptionPane()
{
    QPalette palette = m_description.palette();
    palette.setColor(QPalette::Base, QColor(255, 255, 231));
    m_description.setPalette(palette);
}

void FilterBrowser::refreshFilterTree()
{
    if (m_viewMode == 2)
        fillTreeByCategory(m_tree, m_model, m_hideUncategorized);
    else
        fillTreeByPlugin(m_tree, m_model);
    refreshScriptNode();
}

void FilterBrowser::refreshScriptNode()
{
    placeScriptNode(m_tree, m_scriptModel, m_viewMode == 2);
}

void FilterBrowser::sortByPlugin()
{
    setViewMode(1);
    refreshFilterTree();
}

void FilterBrowser::sortByCategory()
{
    setViewMode(2);
    refreshFilterTree();
}

void FilterBrowser::hideUncategorizedFilters()
{
    setHideUncategorized(!m_hideUncategorized);
    refreshFilterTree();
}

// Nothing a handler meets goes on into the event loop; the pane is only
// touched once the description has been built.
void FilterBrowser::filterNodeClicked(QTreeWidgetItem* node)
{
    try {
        if (!node || node->childCount() > 0) return;
        const QString key = nodeKey(node);
        if (key.isEmpty()) return;
        const bool own = m_scriptModel.findFilterByKey(toUtf8String(key)) != nullptr;
        showFilterDescription(m_description, own ? m_scriptModel : m_model, toUtf8String(key));
    } catch (...) {
    }
}

// Only a leaf's name goes in, without parentheses or arguments; a plugin
// without filters is a leaf too.
void FilterBrowser::filterNodeDoubleClicked(QTreeWidgetItem* node)
{
    try {
        if (!node || node->childCount() > 0) return;
        emit nameChosen(node->text(0));
    } catch (...) {
    }
}

} // namespace cw
