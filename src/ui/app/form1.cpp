#include "ui/app/form1.h"

#include "core/base/paths.h"
#include "core/base/text_file.h"
#include "core/config/setting_values.h"
#include "core/config/settings_keys.h"
#include "ui/winsvc/prompt_service.h"
#include "ui/app/window_helpers.h"
#include "ui/controls/ctl_splitter_ex.h"
#include "ui/editor/code_sense.h"
#include "ui/winsvc/c_form_events.h"

#include <QCloseEvent>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include <cstdlib>

namespace cw {
namespace {

std::string local(const QString& text)
{
    return text.toStdString();
}

} // namespace

Form1::Form1(const QStringList& arguments, QWidget* parent) : QMainWindow(parent), m_arguments(arguments)
{
    m_exitAfterStartup = arguments.contains(QStringLiteral("--exit-after-startup"));
    setWindowTitle(QStringLiteral("Clipwright"));
    createControls();
    load();
    // Unattended runs may have no window manager to activate the window.
    if (m_exitAfterStartup) QTimer::singleShot(0, this, &Form1::activate);
}

// The preview is a window of its own, not a child: it goes first.
Form1::~Form1()
{
    unloadPreview();
}

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
    watchEditorChanges();

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

    createMenuBar();
    resize(900, 650);
}

void Form1::load()
{
    setAppTitle();
    createServices();
    ensureConfigFile();
    readExternalPlayer();
    readViewMode();
    readDefinitionSet();
    readHideUncategorized();
    buildDefinitionsMenu();
    applyExternalPreviewRule();
    loadRecentFiles();
    clearModified();
    chooseTempFolder();
    readTilePercents();
    attachSplitter1();
    attachSplitter2();
    colourDescriptionBox();
    showInterpreterVersion();
    loadDefinitions();
    refreshFilterTree();
    prepareEditor();
    registerScriptLanguage();
    applyEditorSettings();
    hookWindowEvents();
}

void Form1::setAppTitle()
{
    m_appTitle = QStringLiteral("Clipwright 0.3 by the Clipwright developers");
}

void Form1::createServices()
{
    if (m_exitAfterStartup) {
        static StderrPrompts unattended;
        PromptService::install(&unattended);
    }
    m_propertiesManager = std::make_unique<CPropertiesManager>();
    m_programFolder = QString::fromStdString(cw::programFolder(processEnvironment));
    m_configFile = QString::fromStdString(settingsFolder(local(m_programFolder), processEnvironment)) +
                   QStringLiteral("/conf.properties");
}

void Form1::ensureConfigFile()
{
    if (fileExists(local(m_configFile))) return;
    const std::string error = writeTextFile(local(m_configFile), "#configuration");
    if (!error.empty()) showError(QString::fromStdString(error));
}

void Form1::readExternalPlayer()
{
    m_externalPlayer =
        QString::fromStdString(m_propertiesManager->readPropertie(local(m_configFile), keys::externalPlayer));
}

void Form1::readViewMode()
{
    m_viewMode = cw::readViewMode(m_propertiesManager->readPropertie(local(m_configFile), keys::viewMode));
    applyFilterMenuStates();
}

void Form1::readDefinitionSet()
{
    m_definitionSet =
        QString::fromStdString(m_propertiesManager->readPropertie(local(m_configFile), keys::definitionSet));
    if (!folderExists(local(m_programFolder + QStringLiteral("/def/") + m_definitionSet))) {
        showInfo(QStringLiteral("avisynth definition is not set, choose a version in Definitions menu"));
        m_definitionSet.clear();
    }
}

void Form1::readHideUncategorized()
{
    m_hideUncategorized =
        readHideFlag(m_propertiesManager->readPropertie(local(m_configFile), keys::hideUncategorized));
    applyFilterMenuStates();
}



void Form1::clearModified()
{
    m_isModified = false;
}

void Form1::chooseTempFolder()
{
    m_tempFolder = QString::fromStdString(cw::chooseTempFolder(processEnvironment).path);
    if (m_tempFolder.isEmpty()) m_tempFolder = m_programFolder;
}

void Form1::readTilePercents()
{
    m_tilePercent1 =
        readTilePercent(m_propertiesManager->readPropertie(local(m_configFile), keys::splitter1Percent), 25);
    m_tilePercent2 =
        readTilePercent(m_propertiesManager->readPropertie(local(m_configFile), keys::splitter2Percent), 80);
}

void Form1::attachSplitter1()
{
    m_splitter1->SetTilePercent(m_tilePercent1);
    m_splitter1->AttachObjects(m_treeView, m_codeSense, true);
    m_splitter1->TileMode(1);
}

void Form1::attachSplitter2()
{
    m_splitter2->SetTilePercent(m_tilePercent2);
    m_splitter2->AttachObjects(m_splitter1, m_descriptionBox, false);
    m_splitter2->TileMode(0);
    layoutPanes();
}

void Form1::colourDescriptionBox()
{
    QPalette palette = m_descriptionBox->palette();
    palette.setColor(QPalette::Base, QColor(255, 255, 231));
    m_descriptionBox->setPalette(palette);
}



void Form1::prepareEditor()
{
    QList<QKeySequence> owned{QKeySequence(QStringLiteral("Ctrl+I")), QKeySequence(QStringLiteral("Ctrl+Space"))};
    for (const QAction* action : menuBar()->findChildren<QAction*>())
        if (!action->shortcut().isEmpty()) owned << action->shortcut();
    m_codeSense->releaseKeys(owned);
    connectCodeAssistance();
}

void Form1::registerScriptLanguage()
{
    RegisterAvisynth_Scripting();
}

void Form1::applyEditorSettings()
{
    m_codeSense->selectLanguage(QStringLiteral("Avisynth"));
    m_codeSense->setSyntaxColour(CodeSense::SyntaxItem::Keywords, QColor(127, 0, 85));
    m_codeSense->setSyntaxColour(CodeSense::SyntaxItem::LineNumbers, QColor(171, 171, 171));
    m_codeSense->setSyntaxColour(CodeSense::SyntaxItem::Strings, QColor(0, 0, 255));
    m_codeSense->setSyntaxColour(CodeSense::SyntaxItem::Comments, QColor(63, 127, 95));
    m_codeSense->setSyntaxFontStyle(CodeSense::SyntaxItem::Comments, false, false);
}

void Form1::hookWindowEvents()
{
    m_formX = std::make_unique<CFormEvents>();
    connect(m_formX.get(), &CFormEvents::Move, m_codeSense, &CodeSense::windowMoved);
    try {
        m_formX->setHookedForm(this);
    } catch (const NumberedError& error) {
        // Without the hook only the closing of floating tips on a move is lost.
        showError(QString::fromStdString(error.description()));
    }
}

void Form1::refreshTitle()
{
    const QString mark = m_isModified ? QStringLiteral("*") : QString();
    if (m_currentFile.isEmpty())
        setWindowTitle(m_appTitle + QStringLiteral(" - [Untitled") + mark + QStringLiteral("]"));
    else
        setWindowTitle(m_appTitle + QStringLiteral(" - [") + m_currentFile + mark + QStringLiteral("]"));
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
    if (!m_shutDown && !m_skipSavePrompt && !promptSaveChanges()) {
        event->ignore();
        return;
    }
    if (!m_shutDown) shutdown();
    event->accept();
}

void Form1::shutdown()
{
    m_shutDown = true;
    closeAllMovies();
    saveRecentFiles();
    writeSetting(keys::splitter1Percent, QString::number(m_splitter1->GetTilePercent()));
    writeSetting(keys::splitter2Percent, QString::number(m_splitter2->GetTilePercent()));
    writeSetting(keys::hideUncategorized, m_hideUncategorized ? QStringLiteral("true") : QStringLiteral("false"));
    writeSetting(keys::viewMode, QString::number(m_viewMode));
    // The save question was asked by closeEvent, before anything was torn down.
    m_skipSavePrompt = false;
    if (!m_settingsWriteError.isEmpty())
        showError(QStringLiteral("The settings could not be saved.\r\n") + m_settingsWriteError);
    m_propertiesManager.reset();
    unloadPreview();
}


void Form1::writeSetting(const char* key, const QString& value)
{
    const std::string error = m_propertiesManager->writePropertie(local(m_configFile), key, local(value));
    if (!error.empty() && m_settingsWriteError.isEmpty()) m_settingsWriteError = QString::fromStdString(error);
}


} // namespace cw
