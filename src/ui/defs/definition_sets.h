#pragma once

#include "core/defs/definition_model.h"

#include <QObject>
#include <QString>

class QAction;
class QMenu;

namespace cw {

class Settings;

// The definition sets in def/: the Definitions menu, the chosen set, and
// the model that loading it gives.
class DefinitionSets : public QObject {
    Q_OBJECT
public:
    explicit DefinitionSets(Settings& settings);

    const DefinitionModel& model() const { return m_model; }
    // The chosen set's folder name; empty for none, which loads def/ itself.
    const QString& definitionSet() const { return m_definitionSet; }

    // Gives menu its design-time item 0, "DEF", of the family mnuDefKey.
    void attachMenu(QMenu* menu);
    // Start-up: the set the settings name. One whose folder is missing is
    // reported, and no set is chosen for this run (the file keeps its value).
    void readChosenSet();
    // One item per set folder in def/, the chosen one checked. Once, at start-up.
    void buildMenu();
    // Reads the chosen set anew into the model.
    void load();
    // The user chose item: it is checked, stored in the settings at once, loaded.
    void choose(QAction* item);

signals:
    // After every load: the tree, the highlighting and the tips must follow.
    void modelChanged();

private:
    QList<QAction*> items() const;

    Settings& m_settings;
    DefinitionModel m_model;
    QString m_definitionSet;
    QMenu* m_menu = nullptr;
};

} // namespace cw
