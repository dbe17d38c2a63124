#pragma once

#include "core/defs/definition_model.h"

#include <QObject>
#include <QString>

class QAction;
class QMenu;

namespace cw {

class Settings;

// The definition sets in def/ of the program folder and of the user's data
// folder: the Definitions menu, the chosen set, and the model that loading
// it gives.
class DefinitionSets : public QObject {
    Q_OBJECT
public:
    explicit DefinitionSets(Settings& settings);

    const DefinitionModel& model() const { return m_model; }
    // The chosen set's folder name; empty for none, which loads def/ itself.
    const QString& definitionSet() const { return m_definitionSet; }

    // Gives menu its design-time item 0, "DEF", of the family mnuDefKey; the
    // family goes before the menu's first separator, when it has one.
    void attachMenu(QMenu* menu);
    // Start-up: the set the settings name. One whose folder is missing is
    // reported, and no set is chosen for this run (the file keeps its value).
    void readChosenSet();
    // One item per set name of either folder, the chosen one checked. At
    // start-up, and again when a set was added.
    void buildMenu();
    // Reads the chosen set anew into the model.
    void load();
    // The user chose item: it is checked, stored in the settings at once, loaded.
    void choose(QAction* item);
    // A set just written: the menu is built anew and the set chosen as if
    // the user had picked it.
    void adopt(const QString& name);

signals:
    // After every load: the tree, the highlighting and the tips must follow.
    void modelChanged();

private:
    QList<QAction*> items() const;

    Settings& m_settings;
    DefinitionModel m_model;
    QString m_definitionSet;
    QMenu* m_menu = nullptr;
    QAction* m_familyEnd = nullptr;
};

} // namespace cw
