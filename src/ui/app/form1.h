#pragma once

#include "core/config/properties_manager.h"
#include "core/defs/definition_model.h"
#include "core/editor/call_tip_scanner.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace cw {

class CFormEvents;
class CodeSense;
class FindDialog;
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

    // Script documents, recent files, command line and .avs association
    // (form1_documents.cpp).
    const std::array<QString, 4>& recentFiles() const { return m_recentFiles; }
    quint32 openerHwnd() const { return m_openerHwnd; }
    const QString& openerTitle() const { return m_openerTitle; }
    void openScriptDialog();
    // Opens an .avs script after asking about unsaved changes; a load that
    // fails or is cancelled changes nothing.
    void loadScript(const QString& path);
    // Writes the editor's text to path; on success path becomes the document.
    bool saveScript(const QString& path);
    // Asks for a path (title empty: "Save Avisynth script") and saves there;
    // true only when the script was written.
    bool saveScriptAs(const QString& title = {});
    void saveCurrentScript();
    void importTemplate();
    void exportSelection();
    void setModified(bool modified);
    void backToOpener();
    void registerAvsFilesCommand();
    void unregisterAvsFilesCommand();

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

public:
    // Script editor: language, code assistance, editing commands (form1_editor.cpp).
    QStringList filterNames() const;
    // The call signature shown for a filter title; "???" for an unknown one.
    QString callTextFor(const QString& name) const;
    // The completion item to preselect for a typed word: the first name that
    // starts with it in any letter case; 0 when none does or the word is empty.
    int completionIndexFor(const QString& word) const;
    // Replaces the selection with text; the caret ends right after it with
    // nothing selected, and the editor gets the focus.
    void insertTextAtCaret(const QString& text);
    void showCompletionList();

private:
    void RegisterAvisynth_Scripting();
    void connectCodeAssistance();
    void openCallTip();
    void showCallTipFor(const CallStart& call);
    void updateCallTip();
    void chooseCompletion(const QString& choice);
    void commentSelection();
    void uncommentSelection();
    void insertFilePath();
    void runEditorDialog(int command);

    bool m_languageRegistered = false;
    // Just after the "(" of the call whose tip is shown.
    // The calls whose tips were opened, innermost last.
    std::vector<CallStart> m_openCalls;
    FindDialog* m_findDialog = nullptr;

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

    // Script documents (form1_documents.cpp).
    void watchEditorChanges();
    // Yes saves, No discards; false for Cancel or a save that did not happen.
    bool promptSaveChanges();
    QString chooseSavePath(const QString& title);
    void addRecentFile(const QString& path);
    void refreshRecentFilesMenu();

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

    // Filter browser: the tree, its Filters menu commands and the description pane.
    void fillTreeByPlugin();
    void fillTreeByCategory();
    void showFilterDescription(const QString& filterKey);
    void sortByPlugin();
    void sortByCategory();
    void hideUncategorizedFilters();
    void filterNodeClicked(QTreeWidgetItem* node);
    void filterNodeDoubleClicked(QTreeWidgetItem* node);

    QPointer<fPreview> m_preview;
};

} // namespace cw
