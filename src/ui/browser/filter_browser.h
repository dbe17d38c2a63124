#pragma once

#include <QObject>
#include <QString>

#include <string>

class QAction;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace cw {

class DefinitionModel;

// The filter tree and the description pane: the view by plugin or by
// category, the hide flag of the Filters menu, a click that describes a
// filter, and a double click that hands a name to the script. The functions
// the script defines come first, under a node of their own.
class FilterBrowser : public QObject {
    Q_OBJECT
public:
    FilterBrowser(QTreeWidget& tree, QTextEdit& description, const DefinitionModel& model,
                  const DefinitionModel& scriptModel);

    int viewMode() const { return m_viewMode; } // 2 by category, 1 by plugin
    bool hideUncategorized() const { return m_hideUncategorized; }

    // The Filters menu's three items, which then show the view's state.
    void attachMenu(QAction* byPlugin, QAction* byCategory, QAction* hideUncategorized);
    // Start-up: the view and the flag as stored.
    void setViewMode(int viewMode);
    void setHideUncategorized(bool hide);
    // The pane's light yellow paper on a light desktop, the palette's on a
    // dark one; a palette change while the program runs colours it again.
    void colourDescriptionPane();
    // Rebuilds the tree from the models in the current view.
    void refreshFilterTree();
    // Rebuilds only the node of the script's own functions.
    void refreshScriptNode();

    void sortByPlugin();
    void sortByCategory();
    void hideUncategorizedFilters();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // A leaf was double-clicked: its text goes into the script.
    void nameChosen(const QString& name);

private:
    void applyMenuStates();
    bool describe(const std::string& key);
    void filterNodeClicked(QTreeWidgetItem* node);
    void filterNodeDoubleClicked(QTreeWidgetItem* node);

    QTreeWidget& m_tree;
    QTextEdit& m_description;
    const DefinitionModel& m_model;
    const DefinitionModel& m_scriptModel;
    int m_viewMode = 1;
    bool m_hideUncategorized = false;
    // The filter the pane describes, shown again in new colours.
    std::string m_describedKey;
    QAction* m_byPlugin = nullptr;
    QAction* m_byCategory = nullptr;
    QAction* m_hide = nullptr;
};

} // namespace cw
