#pragma once

#include "core/config/properties_manager.h"
#include "core/defs/definition_model.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <array>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QTextEdit;
class QTreeWidget;

namespace cw {

class CFormEvents;
class CodeSense;
class ctlSplitterEx;
class fPreview;

// The main window: owns the program-wide state and runs start-up and
// shutdown as explicit sequences of named steps.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // arguments as the program received them, the program's name first.
    explicit Form1(const QStringList& arguments, QWidget* parent = nullptr);
    ~Form1() override;

    // --exit-after-startup: run start-up, then shutdown, then quit.
    bool exitsAfterStartup() const { return m_exitAfterStartup; }

    void refreshTitle();

    // Program-wide state, read by the other windows and by tests.
    const QString& appTitle() const { return m_appTitle; }
    const QString& configFile() const { return m_configFile; }
    const QString& programFolder() const { return m_programFolder; }
    const QString& tempFolder() const { return m_tempFolder; }
    const QString& externalPlayer() const { return m_externalPlayer; }
    const QString& definitionSet() const { return m_definitionSet; }
    int viewMode() const { return m_viewMode; }
    bool hideUncategorized() const { return m_hideUncategorized; }
    bool isModified() const { return m_isModified; }
    const QString& currentFile() const { return m_currentFile; }

    // Menu entries by their program name (mnuFileOpen, sep1, mnuRecentFiles...).
    QAction* command(const QString& name) const;
    QMenu* menu(const QString& name) const;

    CodeSense* codeSense() const { return m_codeSense; }
    const DefinitionModel& model() const { return m_model; }
    ctlSplitterEx* splitter1() const { return m_splitter1; }
    ctlSplitterEx* splitter2() const { return m_splitter2; }

    // Preview (form1_preview.cpp).
    QString previewScriptPath() const;
    // Writes the editor's whole text to preview.avs in UTF-8: its path, or
    // an empty string after showing why it could not be written.
    QString writePreviewScript();
    // The preview window while it is loaded, else null.
    fPreview* preview() const;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenuBar();
    void applyFilterMenuStates();
    void showAbout();

    // Start-up, in order.
    void load();
    void setAppTitle();
    void createServices();
    void ensureConfigFile();
    void readExternalPlayer();
    void readViewMode();
    void readDefinitionSet();
    void readHideUncategorized();
    void buildDefinitionsMenu();
    void applyExternalPreviewRule();
    void loadRecentFiles();
    void clearModified();
    void chooseTempFolder();
    void readTilePercents();
    void attachSplitter1();
    void attachSplitter2();
    void colourDescriptionBox();
    void showInterpreterVersion();
    void loadDefinitions();
    void refreshFilterTree();
    void prepareEditor();
    void registerScriptLanguage();
    void applyEditorSettings();
    void hookWindowEvents();

    // Shutdown, in order.
    void shutdown();
    void closeAllMovies();
    void saveRecentFiles();
    void writeSetting(const char* key, const QString& value);
    void promptSaveChanges();
    void unloadPreview();

    // Definition sets (form1_definitions.cpp).
    void chooseDefinitionSet(QAction* item);
    void reloadDefinitions();
    QList<QAction*> definitionItems() const;

    // Preview (form1_preview.cpp).
    void internalPreview();
    void externalPreview();
    void chooseExternalPlayer();

    void activate();
    void handleCommandLine();
    void layoutPanes();

    DefinitionModel m_model;
    QString m_appTitle;
    QString m_programFolder;
    QString m_configFile;
    std::unique_ptr<CPropertiesManager> m_propertiesManager;
    QString m_externalPlayer;
    int m_viewMode = 1;
    QString m_definitionSet;
    bool m_hideUncategorized = false;
    std::array<QString, 4> m_recentFiles;
    bool m_isModified = false;
    QString m_currentFile;
    QString m_tempFolder;
    quint32 m_openerHwnd = 0;
    QString m_openerTitle;
    bool m_skipSavePrompt = false;

    int m_tilePercent1 = 25;
    int m_tilePercent2 = 80;
    QStringList m_arguments;
    bool m_exitAfterStartup = false;
    bool m_activated = false;
    bool m_shutDown = false;
    QString m_settingsWriteError;

    QTreeWidget* m_treeView = nullptr;
    CodeSense* m_codeSense = nullptr;
    QTextEdit* m_descriptionBox = nullptr;
    QLabel* m_statusText = nullptr;
    QMenu* m_popupMenu = nullptr;
    ctlSplitterEx* m_splitter1 = nullptr;
    ctlSplitterEx* m_splitter2 = nullptr;
    std::unique_ptr<CFormEvents> m_formX;
    QPointer<fPreview> m_preview;
};

} // namespace cw
