#include "ui/app/form1.h"

#include "ui/browser/filter_browser.h"
#include "ui/defs/definition_sets.h"
#include "ui/defs/function_reader.h"
#include "ui/documents/document_session.h"
#include "ui/documents/file_type_commands.h"
#include "ui/editor/code_sense.h"
#include "ui/editor/editing_commands.h"
#include "ui/preview/preview_controller.h"
#include "ui/winsvc/prompt_service.h"
#include "ui/winsvc/window_helpers.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <functional>
#include <vector>

namespace cw {
namespace {

const QString webSite = QStringLiteral("https://clipwright.org/");

// One line per menu entry: program name, caption ("-" for a separator),
// shortcut and handler. A handler left empty is connected by the object
// that owns the command.
struct Entry {
    const char* name;
    const char* caption;
    const char* shortcut = nullptr;
    std::function<void()> handler = {};
};

} // namespace

QAction* Form1::command(const QString& name) const
{
    return menuBar()->findChild<QAction*>(name);
}

QMenu* Form1::menu(const QString& name) const
{
    return menuBar()->findChild<QMenu*>(name);
}

void Form1::createMenuBar()
{
    const auto run = [this](int cmd) { return [this, cmd] { m_codeSense->runCommand(cmd); }; };
    const auto addMenu = [this](const char* name, const char* caption, const std::vector<Entry>& entries) {
        QMenu* m = menuBar()->addMenu(QString::fromUtf8(caption));
        m->setObjectName(QString::fromUtf8(name));
        m->menuAction()->setObjectName(QString::fromUtf8(name));
        for (const Entry& e : entries) {
            QAction* a = QString::fromUtf8(e.caption) == QLatin1String("-") ? m->addSeparator()
                                                                             : m->addAction(QString::fromUtf8(e.caption));
            a->setObjectName(QString::fromUtf8(e.name));
            if (e.shortcut) a->setShortcut(QKeySequence(QString::fromUtf8(e.shortcut)));
            if (e.handler) connect(a, &QAction::triggered, this, e.handler);
        }
        return m;
    };

    QMenu* file = addMenu("mnuFile", "File",
                          {{"mnuFileOpen", "Open", "Ctrl+O", [this] { m_documents->openScriptDialog(); }},
                           {"mnuFileSave", "Save", "Ctrl+S", [this] { m_documents->saveCurrentScript(); }},
                           {"mnuFileSaveAs", "Save As...", "F12", [this] { m_documents->saveScriptAs(); }},
                           {"sep1", "-"},
                           {"mnuEditInsertTemplate", "Import...", nullptr, [this] { m_documents->importTemplate(); }},
                           {"mnuExportSelectionAsScriptTemplate", "Export Selection As...", nullptr,
                            [this] { m_documents->exportSelection(); }},
                           {"mnuFileRFsep", "-"}});
    QMenu* recent = new QMenu(QStringLiteral("Recent files"), file);
    recent->setObjectName(QStringLiteral("mnuRecentFiles"));
    recent->menuAction()->setObjectName(QStringLiteral("mnuRecentFiles"));
    file->addMenu(recent);
    for (int slot = 1; slot <= 4; ++slot) {
        QAction* a = recent->addAction(QString());
        a->setObjectName(QStringLiteral("mnuFileRF%1").arg(slot));
        a->setVisible(false);
    }
    m_documents->attachRecentFilesMenu(recent, command(QStringLiteral("mnuFileRFsep")));
    file->addSeparator()->setObjectName(QStringLiteral("sep6"));
    QAction* exit = file->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("mnuExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    m_popupMenu = addMenu("mnuPopup", "Edit",
                          {{"mnuPopupUndo", "Undo", "Ctrl+Z", run(CodeSense::cmdUndo)},
                           {"mnuPopupRedo", "Redo", "Ctrl+Y", run(CodeSense::cmdRedo)},
                           {"sep3", "-"},
                           {"mnuPopupCut", "Cut", "Ctrl+X", run(CodeSense::cmdCut)},
                           {"mnuPopupCopy", "Copy", "Ctrl+C", run(CodeSense::cmdCopy)},
                           {"mnuPopupPaste", "Paste", "Ctrl+V", run(CodeSense::cmdPaste)},
                           {"mnuPopupSelectAll", "Select All", "Ctrl+A", run(CodeSense::cmdSelectAll)},
                           {"sep4", "-"},
                           {"mnuCommentBlock", "Comment Block", nullptr, [this] { m_editing->commentSelection(); }},
                           {"mnuUncommentBlock", "Uncomment Block", nullptr,
                            [this] { m_editing->uncommentSelection(); }},
                           {"sep12", "-"},
                           {"mnuMakeSelectionLowercase", "Make Selection Lowercase", "Ctrl+U",
                            run(CodeSense::cmdLowerCase)},
                           {"mnuMakeSelectionUppercase", "Make Selection Uppercase", nullptr,
                            run(CodeSense::cmdUpperCase)},
                           {"sep9", "-"},
                           {"mnuInsertFilePath", "Insert File Path...", nullptr, [this] { m_editing->insertFilePath(); }}});

    addMenu("mnuSearch", "Search",
            {{"mnuSearchFind", "Find", "Ctrl+F", run(CodeSense::cmdFind)},
             {"mnuFindNext", "Find Next", "F3", run(CodeSense::cmdFindNext)},
             {"mnuFindPrev", "Find Prev     ", "Shift+F3", run(CodeSense::cmdFindPrevious)},
             {"mnuSearchReplace", "Replace", "Ctrl+R", run(CodeSense::cmdReplace)},
             {"sep10", "-"},
             {"mnuGotoLine", "Goto Line", "Ctrl+G", run(CodeSense::cmdGoToLine)}});

    addMenu("mnuOptions", "Options",
            {{"mnuOptionsReloadDef", "Reload Definitions Files", nullptr, [this] { m_definitions->load(); }},
             {"sep2", "-"},
             {"mnuOptionsRegisterAVS", "Register .avs files", nullptr, registerAvsFilesCommand},
             {"mnuOptionsUnRegisterAVS", "Unregister .avs files", nullptr, unregisterAvsFilesCommand}});

    addMenu("mnuFilters", "Filters",
            {{"mnuSortByPlugin", "View by Plugin"},
             {"mnuSortByCategory", "View by Category"},
             {"sep11", "-"},
             {"mnuHideUnCategorizedFilters", "Hide Uncategorized Filters"}});
    m_browser->attachMenu(command(QStringLiteral("mnuSortByPlugin")), command(QStringLiteral("mnuSortByCategory")),
                          command(QStringLiteral("mnuHideUnCategorizedFilters")));

    m_definitions->attachMenu(addMenu("mnuDefinitions", "Definitions",
                                      {{"sep13", "-"},
                                       {"mnuReadFunctions", "Read Functions from AviSynth+", nullptr,
                                        [this] { m_functionReader->readFunctions(); }}}));
    m_functionReader->attachMenu(command(QStringLiteral("mnuReadFunctions")));

    addMenu("mnuPreview", "Preview",
            {{"mnuInternalPreview", "Internal Preview", "F5", [this] { m_preview->internalPreview(); }},
             {"mnuExternalPreview", "External Preview", "F6", [this] { m_preview->externalPreview(); }},
             {"mnuPreviewMediaFile", "Preview Media File...", nullptr, [this] { m_preview->previewMediaFile(); }},
             {"sep5", "-"},
             {"mnuChooseExternalPlayer", "Set External Player...", nullptr,
              [this] { m_preview->chooseExternalPlayer(); }},
             {"mnuKeepFrameOnReload", "Keep Frame on Reload"}});
    m_preview->attachMenu(command(QStringLiteral("mnuExternalPreview")), command(QStringLiteral("mnuKeepFrameOnReload")));
    // A held F5 reloads once, not at the keyboard's repeat rate.
    command(QStringLiteral("mnuInternalPreview"))->setAutoRepeat(false);

    addMenu("mnuHelp", "Help",
            {{"mnuHelpWebSite", "Web site", nullptr, [] { openWithShell(webSite); }},
             {"mnuHelpAbout", "About", nullptr, [this] { showAbout(); }}});

    QAction* back = menuBar()->addAction(QStringLiteral("Back to opener"));
    back->setObjectName(QStringLiteral("mnuBackToOpener"));
    back->setVisible(false);
    connect(back, &QAction::triggered, this, &Form1::backToOpener);

    connect(m_codeSense, &QWidget::customContextMenuRequested, this,
            [this] { m_popupMenu->exec(QCursor::pos()); });
}

void Form1::showAbout()
{
    PromptService::current().message(PromptService::Icon::Application, QStringLiteral("About"),
                                     m_appTitle + QStringLiteral("\r\n") + CodeSense::rightsNotice());
}

} // namespace cw
