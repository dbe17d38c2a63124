#include "ui/app/form1.h"

#include "ui/browser/description_pane.h"
#include "ui/browser/filter_tree.h"
#include "ui/editor/code_sense.h"

#include <QTextEdit>
#include <QTreeWidget>

namespace cw {

void Form1::refreshFilterTree()
{
    // Every rebuild passes here; the tree's events are connected only once.
    connect(m_treeView, &QTreeWidget::itemClicked, this, &Form1::filterNodeClicked, Qt::UniqueConnection);
    connect(m_treeView, &QTreeWidget::itemDoubleClicked, this, &Form1::filterNodeDoubleClicked,
            Qt::UniqueConnection);
    if (m_viewMode == 2)
        fillTreeByCategory();
    else
        fillTreeByPlugin();
}

void Form1::fillTreeByPlugin()
{
    cw::fillTreeByPlugin(*m_treeView, m_model);
}

void Form1::fillTreeByCategory()
{
    cw::fillTreeByCategory(*m_treeView, m_model, m_hideUncategorized);
}

void Form1::showFilterDescription(const QString& filterKey)
{
    cw::showFilterDescription(*m_descriptionBox, m_model, filterKey.toStdString());
}

void Form1::sortByPlugin()
{
    m_viewMode = 1;
    applyFilterMenuStates();
    refreshFilterTree();
}

void Form1::sortByCategory()
{
    m_viewMode = 2;
    applyFilterMenuStates();
    refreshFilterTree();
}

void Form1::hideUncategorizedFilters()
{
    m_hideUncategorized = !m_hideUncategorized;
    applyFilterMenuStates();
    refreshFilterTree();
}

// Nothing a handler meets goes on into the event loop; the pane is only
// touched once the description has been built.
void Form1::filterNodeClicked(QTreeWidgetItem* node)
{
    try {
        if (!node || node->childCount() > 0) return;
        const QString key = nodeKey(node);
        if (!key.isEmpty()) showFilterDescription(key);
    } catch (...) {
    }
}

// Only a leaf's name goes in, without parentheses or arguments; a plugin
// without filters is a leaf too.
void Form1::filterNodeDoubleClicked(QTreeWidgetItem* node)
{
    try {
        if (!node || node->childCount() > 0) return;
        insertNodeText(node->text(0));
    } catch (...) {
    }
}

void Form1::insertNodeText(const QString& text)
{
    m_codeSense->insertText(text);
}

} // namespace cw
