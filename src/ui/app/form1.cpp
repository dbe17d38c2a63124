#include "ui/app/form1.h"

#include "core/app/command_line.h"
#include "core/app/opener_link.h"
#include "core/preview/library_search.h"
#include "core/preview/product_version.h"
#include "ui/base/qt_strings.h"
#include "ui/browser/filter_browser.h"
#include "ui/controls/ctl_splitter_ex.h"
#include "ui/defs/definition_sets.h"
#include "ui/documents/crash_recovery.h"
#include "ui/defs/function_reader.h"
#include "ui/documents/document_session.h"
#include "ui/editor/code_assistance.h"
#include "ui/editor/code_sense.h"
#include "ui/editor/editing_commands.h"
#include "ui/editor/script_function_watcher.h"
#include "ui/editor/syntax_colours.h"
#include "ui/preview/preview_controller.h"
#include "ui/winsvc/c_form_events.h"
#include "ui/winsvc/prompt_service.h"
#include "ui/winsvc/window_helpers.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

namespace cw {

Form1::Form1(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent),
      m_arguments(arguments),
      m_exitAfterStartup(arguments.contains(QStringLiteral("--exit-after-startup"))),
      m_settings(Settings::locate(processEnvironment))
{
    if (m_exitAfterStartup) {
        static StderrPrompts unattended;
        PromptService::install(&unattended);
    }
    setWindowTitle(QStringLiteral("Clipwright"));
    createControls();
    createControllers();
    createMenuBar();
    load();
    // Unattended runs may have no window manager to activate the window.
    if (m_exitAfterStartup) QTimer::singleShot(0, this, &Form1::activate);
}

Form1::~Form1() = default;

void Form1::createControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->installEventFilter(this);

    // Creation order is z-order: the splitters lie behind the panes.
    m_splitter2 = new ctlSplitterEx(client);
    m_splitter2->setObjectName(QStringLiteral("ctlSplitterEx2"));
    m_splitter1 = new ctlSplitterEx(client);
    m_splitter1->setObjectName(QStringLiteral("ctlSplitterEx1"));

    m_treeView = new QTreeWidget(client);
    m_treeView->setObjectName(QStringLiteral("TreeView1"));
    m_treeView->setAccessibleName(QStringLiteral("Filters"));
    m_treeView->setHeaderHidden(true);
    m_treeView->setFont(paneFont());

    m_codeSense = new CodeSense(client);
    m_codeSense->setObjectName(QStringLiteral("CodeSense1"));
    m_codeSense->setAccessibleName(QStringLiteral("Script"));

    m_descriptionBox = new QTextEdit(client);
    m_descriptionBox->setObjectName(QStringLiteral("DescriptionBox"));
    m_descriptionBox->setAccessibleName(QStringLiteral("Description"));
    m_descriptionBox->setAcceptRichText(true);
    m_descriptionBox->setReadOnly(true);
    m_descriptionBox->setFont(paneFont());

    m_statusText = new QLabel(this);
    m_statusText->setObjectName(QStringLiteral("StatusBar1"));
    m_statusText->setFont(paneFont());
    statusBar()->addPermanentWidget(m_statusText, 1);
    resize(900, 650);
}

// In the order they depend on each other; they go in the reverse order.
void Form1::createControllers()
{
    m_documents = std::make_unique<DocumentSession>(*m_codeSense, *this);
    connect(m_documents.get(), &DocumentSession::stateChanged, this, &Form1::refreshTitle);
    m_recovery = std::make_unique<CrashRecovery>(*m_codeSense, *m_documents, stateFolder(processEnvironment));
    connect(m_recovery.get(), &CrashRecovery::noticed, statusBar(), [this](const QString& text) {
        statusBar()->showMessage(text, 15000);
    });

    m_definitions = std::make_unique<DefinitionSets>(m_settings);
    m_functionReader = std::make_unique<FunctionReader>(*m_definitions, m_settings, *this);
    connect(m_functionReader.get(), &FunctionReader::setWritten, this, &Form1::showInterpreterVersion);
    m_scriptFunctions = std::make_unique<ScriptFunctionWatcher>(*m_codeSense);
    m_browser = std::make_unique<FilterBrowser>(*m_treeView, *m_descriptionBox, m_definitions->model(),
                                                m_scriptFunctions->model());
    connect(m_browser.get(), &FilterBrowser::nameChosen, m_codeSense, &CodeSense::insertTextAtCaret);
    // The tree and the highlighting agree with the models after every load
    // and every change of the script's own functions.
    connect(m_definitions.get(), &DefinitionSets::modelChanged, this, [this] {
        m_browser->refreshFilterTree();
        applyKeywords();
        m_assistance->namesChanged();
    });
    connect(m_scriptFunctions.get(), &ScriptFunctionWatcher::changed, this, [this] {
        m_browser->refreshScriptNode();
        applyKeywords();
        m_assistance->namesChanged();
    });

    m_assistance =
        std::make_unique<CodeAssistance>(*m_codeSense, m_definitions->model(), m_scriptFunctions->model());
    m_editing = std::make_unique<EditingCommands>(*m_codeSense, *this);
    m_preview = std::make_unique<PreviewController>(*m_codeSense, m_settings, *this, [this] {
        return fromUtf8String(m_documents->state().currentFile());
    });
    connect(m_preview.get(), &PreviewController::noticed, statusBar(), [this](const QString& text) {
        statusBar()->showMessage(text, 15000);
    });
}

void Form1::load()
{
    setAppTitle();
    readSettings();
    m_preview->readSettings();
    m_browser->setViewMode(m_settings.viewMode());
    m_definitions->readChosenSet();
    m_browser->setHideUncategorized(m_settings.hideUncategorized());
    m_definitions->buildMenu();
    m_preview->applyExternalPreviewRule();
    m_documents->setRecentFiles(m_settings.recentFiles());
    m_documents->setModified(false);
    m_preview->chooseTempFolder();
    attachSplitters();
    m_browser->colourDescriptionPane();
    showInterpreterVersion();
    m_definitions->load();
    prepareEditor();
    RegisterAvisynth_Scripting();
    applyEditorSettings();
    hookWindowEvents();
    // Unattended runs leave what crashed runs left to a run with someone at it.
    if (!m_exitAfterStartup) m_recovery->offerRecovery();
}

void Form1::setAppTitle()
{
    m_appTitle = QStringLiteral("Clipwright 0.3 by the Clipwright developers");
}

// The file is created when missing, then read once; the values go to their
// owners in the steps that follow.
void Form1::readSettings()
{
    const std::string error = m_settings.createWhenMissing();
    if (!error.empty()) showError(fromUtf8String(error));
    m_settings.read();
}

void Form1::attachSplitters()
{
    m_splitter1->SetTilePercent(m_settings.tilePercent1());
    m_splitter1->AttachObjects(m_treeView, m_codeSense, true);
    m_splitter1->TileMode(Tiling::sideBySide);
    m_splitter2->SetTilePercent(m_settings.tilePercent2());
    m_splitter2->AttachObjects(m_splitter1, m_descriptionBox, false);
    m_splitter2->TileMode(Tiling::stacked);
    layoutPanes();
}

void Form1::showInterpreterVersion()
{
    const QString version = fromUtf8String(getProductVersion(aviSynthLibraryFolders(processEnvironment)));
    m_statusText->setText(QStringLiteral("Detected avisynth version: ") + version +
                          m_functionReader->checkVersion(version));
}

void Form1::applyKeywords()
{
    std::vector<std::string> names = m_definitions->model().filterNames();
    const std::vector<std::string>& own = m_scriptFunctions->model().filterNames();
    names.insert(names.end(), own.begin(), own.end());
    m_codeSense->setKeywords(names);
}

// The editor gives up its own bindings of every key the program handles.
void Form1::prepareEditor()
{
    QList<QKeySequence> owned;
    for (const QAction* action : menuBar()->findChildren<QAction*>())
        if (!action->shortcut().isEmpty()) owned << action->shortcut();
    for (const QAction* action : m_codeSense->actions()) owned << action->shortcut();
    m_codeSense->releaseKeys(owned);
}

void Form1::RegisterAvisynth_Scripting()
{
    m_codeSense->registerScriptLanguage(m_definitions->model().filterNames());
}

void Form1::applyEditorSettings()
{
    m_codeSense->selectLanguage(QStringLiteral("Avisynth"));
    applySyntaxColours(*m_codeSense);
    connect(m_codeSense, &CodeSense::paletteChanged, this, [this] { applySyntaxColours(*m_codeSense); });
    m_codeSense->setSourceFilter(fromUtf8String(m_settings.sourceFilter()));
}

void Form1::hookWindowEvents()
{
    m_windowEvents = std::make_unique<CFormEvents>();
    connect(m_windowEvents.get(), &CFormEvents::Move, m_codeSense, &CodeSense::windowMoved);
    try {
        m_windowEvents->setHookedForm(this);
    } catch (const NumberedError& error) {
        // Without the hook only the closing of floating tips on a move is lost.
        showError(fromUtf8String(error.description()));
    }
}

void Form1::refreshTitle()
{
    setWindowTitle(fromUtf8String(m_documents->state().title(toUtf8String(m_appTitle))));
}

void Form1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) activate();
}

void Form1::activate()
{
    refreshTitle();
    m_codeSense->focusEditor();
    if (m_activated) return;
    m_activated = true;
    handleCommandLine();
    if (m_exitAfterStartup) QTimer::singleShot(0, this, &QWidget::close);
}

void Form1::handleCommandLine()
{
    std::vector<std::string> arguments;
    for (qsizetype i = 1; i < m_arguments.size(); ++i) arguments.push_back(toUtf8String(m_arguments.at(i)));
    const CommandLineOptions options = parseCommandLine(splitCommandLine(joinArguments(arguments)), fileExists);

    if (options.scriptPath) {
        // Absolute, so the title and the recent list name it wherever the program starts next.
        if (fileExists(*options.scriptPath))
            m_documents->loadScript(QFileInfo(fromUtf8String(*options.scriptPath)).absoluteFilePath());
        else
            m_documents->forgetFile();
    }
    m_openerWindow = options.openerWindow;
    QAction* back = command(QStringLiteral("mnuBackToOpener"));
    back->setVisible(m_openerWindow != 0);
    back->setText(fromUtf8String(backToOpenerCaption(options.openerTitle)).replace('&', QStringLiteral("&&")));
}

void Form1::backToOpener()
{
    const std::string error = setOpenerWindowText(m_openerWindow, m_codeSense->textUtf8());
    if (!error.empty()) {
        showError(fromUtf8String(error));
        return;
    }
    m_skipSavePrompt = true;
    close();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize) layoutPanes();
    return QMainWindow::eventFilter(watched, event);
}

void Form1::layoutPanes()
{
    if (isMinimized()) return;
    const QSize client = centralWidget()->size();
    m_splitter1->setGeometry(0, 0, client.width(), client.height() - m_descriptionBox->height());
    m_splitter2->setGeometry(0, 0, client.width(), client.height());
    m_splitter2->Refresh();
}

void Form1::closeEvent(QCloseEvent* event)
{
    // Asking first lets Cancel leave the window exactly as it was.
    if (!m_shutDown && !m_skipSavePrompt && !m_documents->promptSaveChanges()) {
        event->ignore();
        return;
    }
    if (!m_shutDown) shutdown();
    event->accept();
}

// The save question was asked by closeEvent, before anything was torn down.
void Form1::shutdown()
{
    m_shutDown = true;
    m_preview->closeAllMovies();
    const std::string error = m_settings.writeOnClose({m_documents->state().recentFiles(),
                                                       m_splitter1->GetTilePercent(), m_splitter2->GetTilePercent(),
                                                       m_browser->hideUncategorized(), m_browser->viewMode()});
    m_skipSavePrompt = false;
    if (!error.empty()) showError(QStringLiteral("The settings could not be saved.\r\n") + fromUtf8String(error));
    m_preview->unloadPreview();
    m_recovery->finish();
}

} // namespace cw
