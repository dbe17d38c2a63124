#pragma once

#include "core/config/settings.h"

#include <QMainWindow>
#include <QStringList>

#include <cstdint>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QTextEdit;
class QTreeWidget;

namespace cw {

class CFormEvents;
class CodeAssistance;
class CodeSense;
class CrashRecovery;
class DefinitionSets;
class DocumentSession;
class EditingCommands;
class FilterBrowser;
class FunctionReader;
class PreviewController;
class ScriptFunctionWatcher;
class ctlSplitterEx;

// The main window and the owner of everything else: it creates its panes,
// then one object per responsibility in a fixed order, and runs start-up
// and shutdown as sequences of named steps that call into them.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // arguments as the program received them, the program's name first.
    explicit Form1(const QStringList& arguments, QWidget* parent = nullptr);
    ~Form1() override;

    const QString& appTitle() const { return m_appTitle; }
    void refreshTitle();
    // Menu entries by their program name (mnuFileOpen, sep1, mnuRecentFiles...).
    QAction* command(const QString& name) const;
    QMenu* menu(const QString& name) const;

    CodeSense* codeSense() const { return m_codeSense; }
    ctlSplitterEx* splitter1() const { return m_splitter1; }
    ctlSplitterEx* splitter2() const { return m_splitter2; }
    DocumentSession& documents() const { return *m_documents; }
    DefinitionSets& definitions() const { return *m_definitions; }
    FunctionReader& functionReader() const { return *m_functionReader; }
    PreviewController& preview() const { return *m_preview; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createControllers();
    void createMenuBar();
    void showAbout();

    // Start-up, in order.
    void load();
    void setAppTitle();
    void readSettings();
    void attachSplitters();
    void showInterpreterVersion();
    void applyKeywords();
    void prepareEditor();
    void RegisterAvisynth_Scripting();
    void applyEditorSettings();
    void hookWindowEvents();

    // Shutdown, in order.
    void shutdown();

    void activate();
    void handleCommandLine();
    void backToOpener();
    void layoutPanes();

    QString m_appTitle;
    QStringList m_arguments;
    bool m_exitAfterStartup = false;
    bool m_activated = false;
    bool m_shutDown = false;
    bool m_skipSavePrompt = false;
    std::uint32_t m_openerWindow = 0;
    Settings m_settings;

    QTreeWidget* m_treeView = nullptr;
    CodeSense* m_codeSense = nullptr;
    QTextEdit* m_descriptionBox = nullptr;
    QLabel* m_statusText = nullptr;
    QMenu* m_popupMenu = nullptr;
    ctlSplitterEx* m_splitter1 = nullptr;
    ctlSplitterEx* m_splitter2 = nullptr;

    std::unique_ptr<DocumentSession> m_documents;
    std::unique_ptr<CrashRecovery> m_recovery;
    std::unique_ptr<DefinitionSets> m_definitions;
    std::unique_ptr<FunctionReader> m_functionReader;
    std::unique_ptr<ScriptFunctionWatcher> m_scriptFunctions;
    std::unique_ptr<FilterBrowser> m_browser;
    std::unique_ptr<CodeAssistance> m_assistance;
    std::unique_ptr<EditingCommands> m_editing;
    std::unique_ptr<PreviewController> m_preview;
    std::unique_ptr<CFormEvents> m_windowEvents;
};

} // namespace cw
