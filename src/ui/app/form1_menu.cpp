#include "ui/app/form1.h"

#include "ui/winsvc/prompt_service.h"
#include "ui/app/window_helpers.h"
#include "ui/editor/code_sense.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <functional>
#include <vector>

namespace cw {
namespace {

const QString webSite = QStringLiteral("https://clipwright.org/");

// One line per menu entry: program name, caption ("-" for a separator),
// shortcut and handler. A handler left empty belongs to a later command.
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
                          {{"mnuFileOpen", "Open", "Ctrl+O", [this] { openScriptDialog(); }},
                           {"mnuFileSave", "Save", "Ctrl+S", [this] { saveCurrentScript(); }},
                           {"mnuFileSaveAs", "Save As...", "F12", [this] { saveScriptAs(); }},
                           {"sep1", "-"},
                           {"mnuEditInsertTemplate", "Import...", nullptr, [this] { importTemplate(); }},
                           {"mnuExportSelectionAsScriptTemplate", "Export Selection As...", nullptr,
                            [this] { exportSelection(); }},
                           {"mnuFileRFsep", "-"}});
    QMenu* recent = new QMenu(QStringLiteral("Recent files"), file);
    recent->setObjectName(QStringLiteral("mnuRecentFiles"));
    recent->menuAction()->setObjectName(QStringLiteral("mnuRecentFiles"));
    file->addMenu(recent);
    for (int slot = 1; slot <= 4; ++slot) {
        QAction* a = recent->addAction(QString());
        a->setObjectName(QStringLiteral("mnuFileRF%1").arg(slot));
        a->setVisible(false);
        connect(a, &QAction::triggered, this, [this, slot] { loadScript(m_recentFiles[slot - 1]); });
    }
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
                           {"mnuCommentBlock", "Comment Block", nullptr, [this] { commentSelection(); }},
                           {"mnuUncommentBlock", "Uncomment Block", nullptr, [this] { uncommentSelection(); }},
                           {"sep12", "-"},
                           {"mnuMakeSelectionLowercase", "Make Selection Lowercase", "Ctrl+U",
                            run(CodeSense::cmdLowerCase)},
                           {"mnuMakeSelectionUppercase", "Make Selection Uppercase", nullptr,
                            run(CodeSense::cmdUpperCase)},
                           {"sep9", "-"},
                           {"mnuInsertFilePath", "Insert File Path...", nullptr, [this] { insertFilePath(); }}});

    addMenu("mnuSearch", "Search",
            {{"mnuSearchFind", "Find", "Ctrl+F", run(CodeSense::cmdFind)},
             {"mnuFindNext", "Find Next", "F3", run(CodeSense::cmdFindNext)},
             {"mnuFindPrev", "Find Prev     ", "Shift+F3", run(CodeSense::cmdFindPrevious)},
             {"mnuSearchReplace", "Replace", "Ctrl+R", run(CodeSense::cmdReplace)},
             {"sep10", "-"},
             {"mnuGotoLine", "Goto Line", "Ctrl+G", run(CodeSense::cmdGoToLine)}});

    addMenu("mnuOptions", "Options",
            {{"mnuOptionsReloadDef", "Reload Definitions Files", nullptr, [this] { reloadDefinitions(); }},
             {"sep2", "-"},
             {"mnuOptionsRegisterAVS", "Register .avs files", nullptr, [this] { registerAvsFilesCommand(); }},
             {"mnuOptionsUnRegisterAVS", "Unregister .avs files", nullptr, [this] { unregisterAvsFilesCommand(); }}});

    addMenu("mnuFilters", "Filters",
            {{"mnuSortByPlugin", "View by Plugin", nullptr, [this] { sortByPlugin(); }},
             {"mnuSortByCategory", "View by Category", nullptr, [this] { sortByCategory(); }},
             {"sep11", "-"},
             {"mnuHideUnCategorizedFilters", "Hide Uncategorized Filters", nullptr,
              [this] { hideUncategorizedFilters(); }}});
    for (const char* name : {"mnuSortByPlugin", "mnuSortByCategory", "mnuHideUnCategorizedFilters"})
        command(QString::fromUtf8(name))->setCheckable(true);

    QMenu* definitions = addMenu("mnuDefinitions", "Definitions", {});
    QAction* def0 = definitions->addAction(QStringLiteral("DEF"));
    def0->setObjectName(QStringLiteral("mnuDefKey"));
    def0->setProperty("index", 0);
    def0->setCheckable(true);
    connect(def0, &QAction::triggered, this, [this, def0] { chooseDefinitionSet(def0); });

    addMenu("mnuPreview", "Preview",
            {{"mnuInternalPreview", "Internal Preview", "F5", [this] { internalPreview(); }},
             {"mnuExternalPreview", "External Preview", "F6", [this] { externalPreview(); }},
             {"sep5", "-"},
             {"mnuChooseExternalPlayer", "Set External Player...", nullptr, [this] { chooseExternalPlayer(); }}});
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

void Form1::applyFilterMenuStates()
{
    command(QStringLiteral("mnuSortByPlugin"))->setChecked(m_viewMode != 2);
    command(QStringLiteral("mnuSortByCategory"))->setChecked(m_viewMode == 2);
    QAction* hide = command(QStringLiteral("mnuHideUnCategorizedFilters"));
    hide->setEnabled(m_viewMode == 2);
    hide->setChecked(m_hideUncategorized);
}

} // namespace cw
