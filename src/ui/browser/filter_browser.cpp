#include "ui/browser/filter_browser.h"

#include "ui/base/palette_colours.h"
#include "ui/base/qt_strings.h"
#include "ui/browser/description_pane.h"
#include "ui/browser/filter_tree.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QTextEdit>
#include <QTreeWidget>

namespace cw {

FilterBrowser::FilterBrowser(QTreeWidget& tree, QTextEdit& description, const DefinitionModel& model,
                             const DefinitionModel& scriptModel)
    : m_tree(tree), m_description(description), m_model(model), m_scriptModel(scriptModel)
{
    // Every row has the same font and picture, so the view measures one row
    // rather than each of thousands when it lays them out.
    m_tree.setUniformRowHeights(true);
    connect(&m_tree, &QTreeWidget::itemClicked, this, &FilterBrowser::filterNodeClicked);
    connect(&m_tree, &QTreeWidget::itemDoubleClicked, this, &FilterBrowser::filterNodeDoubleClicked);
    m_description.installEventFilter(this);
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

// The desktop's palette decides, not the pane's, whose paper may be the
// light one set here before.
void FilterBrowser::colourDescriptionPane()
{
    const QPalette desktop = QApplication::palette(&m_description);
    QPalette own; // sets no colour: the pane takes the desktop's
    if (!isDarkPalette(desktop)) own.setColor(QPalette::Base, descriptionColours(desktop).paper);
    m_description.setPalette(own);
}

// A function the script defines is described from the script's own model.
bool FilterBrowser::describe(const std::string& key)
{
    const DefinitionModel& model = m_scriptModel.findFilterByKey(key) ? m_scriptModel : m_model;
    return showFilterDescription(m_description, model, key);
}

bool FilterBrowser::eventFilter(QObject* watched, QEvent* event)
{
    // Setting the pane's own palette raises this event again, which then
    // changes nothing.
    if (watched == &m_description && event->type() == QEvent::PaletteChange) {
        colourDescriptionPane();
        if (!m_describedKey.empty()) describe(m_describedKey);
    }
    return QObject::eventFilter(watched, event);
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
        const std::string key = toUtf8String(nodeKey(node));
        if (!key.empty() && describe(key)) m_describedKey = key;
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
