#include "ui/documents/document_session.h"

#include "core/base/paths.h"
#include "core/documents/script_file.h"
#include "ui/base/qt_strings.h"
#include "ui/editor/code_sense.h"
#include "ui/winsvc/c_file_dialog.h"
#include "ui/winsvc/prompt_service.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace cw {
namespace {

const QString scriptMask = QStringLiteral("Avisynth script (*.avs)|*.avs");
const QString appName = QStringLiteral("Clipwright");

// Menu captions show paths literally, not as mnemonics.
QString menuText(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

bool samePath(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

QAction* recentItem(QMenu* submenu, std::size_t slot)
{
    return submenu->findChild<QAction*>(QStringLiteral("mnuFileRF%1").arg(slot + 1));
}

} // namespace

DocumentSession::DocumentSession(CodeSense& editor, QWidget& window) : m_editor(editor), m_window(window)
{
    connect(&m_editor, &CodeSense::textChangedByUser, this, [this] {
        if (!m_state.isModified()) setModified(true);
    });
}

void DocumentSession::setModified(bool modified)
{
    m_state.setModified(modified);
    emit stateChanged();
}

void DocumentSession::setRecentFiles(const RecentFiles& files)
{
    m_state.setRecentFiles(files);
    refreshRecentFilesMenu();
}

void DocumentSession::attachRecentFilesMenu(QMenu* submenu, QAction* separator)
{
    m_recentMenu = submenu;
    m_recentSeparator = separator;
    for (std::size_t slot = 0; slot < m_state.recentFiles().size(); ++slot)
        connect(recentItem(submenu, slot), &QAction::triggered, this,
                [this, slot] { loadScript(fromUtf8String(m_state.recentFiles()[slot])); });
}

void DocumentSession::refreshRecentFilesMenu()
{
    if (!m_recentMenu) return;
    const RecentFiles& files = m_state.recentFiles();
    const RecentFilesMenu shown = recentFilesMenu(files);
    m_recentMenu->menuAction()->setEnabled(shown.submenuEnabled);
    if (!shown.submenuEnabled) return;
    m_recentSeparator->setVisible(shown.separatorVisible);
    for (std::size_t i = 0; i < files.size(); ++i) {
        QAction* item = recentItem(m_recentMenu, i);
        item->setVisible(shown.itemVisible[i]);
        if (shown.itemVisible[i]) item->setText(menuText(fromUtf8String(files[i])));
    }
}

void DocumentSession::openScriptDialog()
{
    loadScript(CFileDialog::chooseFile(&m_window, CFileDialog::Mode::open, scriptMask,
                                       QStringLiteral("Open Avisynth script")));
}

void DocumentSession::loadScript(const QString& path)
{
    if (path.isEmpty()) return;
    const std::string file = toUtf8String(path);
    if (!fileExists(file)) {
        showError(fromUtf8String(unableToLoadMessage(file)));
        return;
    }
    if (!isAvsScript(file)) {
        showError(fromUtf8String(notAvsScriptMessage(file)));
        return;
    }
    // Asked before reading, so a Yes that saves onto this very file loads what was saved.
    if (!promptSaveChanges()) return;
    std::string error;
    const std::optional<DecodedText> script = readScriptFile(file, &error);
    if (!script) {
        showError(fromUtf8String(error));
        return;
    }
    m_editor.setScript(*script);
    if (m_state.loaded(file)) refreshRecentFilesMenu();
    emit stateChanged();
}

void DocumentSession::restoreUnsaved(const DecodedText& text, const std::string& path)
{
    m_editor.setScript(text);
    m_state.recovered(path);
    emit stateChanged();
}

void DocumentSession::forgetFile()
{
    m_state.forgetFile();
    emit stateChanged();
}

bool DocumentSession::saveScript(const QString& path)
{
    TextEncoding encoding = m_editor.encoding();
    const WriteResult written = writeScriptFile(toUtf8String(path), m_editor.textUtf8(), encoding, m_editor.lineEnd());
    if (written.failure == WriteFailure::ReadOnly) {
        // A read-only file is not replaced behind the user's back; another name may do.
        const QString question =
            fromUtf8String(written.message) + QStringLiteral("\r\nSave the script under another name?");
        if (PromptService::current().question(appName, question, false, PromptService::Answer::No) ==
            PromptService::Answer::Yes)
            return saveScriptAs();
        return false;
    }
    if (written.failure != WriteFailure::None) {
        showError(fromUtf8String(written.message));
        return false;
    }
    m_editor.setEncoding(encoding);
    m_editor.markSaved();
    m_state.saved(toUtf8String(path));
    emit stateChanged();
    return true;
}

QString DocumentSession::chooseSavePath(const QString& title)
{
    const QString path =
        CFileDialog::chooseFile(&m_window, CFileDialog::Mode::save, scriptMask,
                                title.isEmpty() ? QStringLiteral("Save Avisynth script") : title, QStringLiteral("avs"));
    if (path.isEmpty()) return {};
    if (fileExists(toUtf8String(path)) &&
        PromptService::current().question(appName, fromUtf8String(overwriteQuestion(toUtf8String(path))), false,
                                          PromptService::Answer::No) != PromptService::Answer::Yes)
        return {};
    return path;
}

bool DocumentSession::saveScriptAs(const QString& title)
{
    const QString path = chooseSavePath(title);
    return !path.isEmpty() && saveScript(path);
}

void DocumentSession::saveCurrentScript()
{
    const std::string& current = m_state.currentFile();
    if (m_state.saveNeedsPath(fileExists(current)))
        saveScriptAs();
    else
        saveScript(fromUtf8String(current));
}

void DocumentSession::importTemplate()
{
    const QString path = CFileDialog::chooseFile(&m_window, CFileDialog::Mode::open,
                                                 scriptMask + QStringLiteral("|All files (*.*)|*.*"),
                                                 QStringLiteral("Import"));
    if (path.isEmpty()) return;
    std::string error;
    const std::optional<DecodedText> fragment = readScriptFile(toUtf8String(path), &error);
    if (!fragment) {
        showError(fromUtf8String(error));
        return;
    }
    m_editor.insertTextAtCaret(fromUtf8String(fragment->utf8));
}

void DocumentSession::exportSelection()
{
    const QString selection = m_editor.selectedText();
    if (selection.isEmpty()) {
        showError(QStringLiteral("unable to export empty selection"));
        return;
    }
    const QString path = chooseSavePath(QStringLiteral("Export selection as"));
    if (path.isEmpty()) return;
    TextEncoding encoding = m_editor.encoding();
    const std::string error =
        writeScriptFile(toUtf8String(path), toUtf8String(selection), encoding, m_editor.lineEnd()).message;
    if (!error.empty()) {
        showError(fromUtf8String(error));
        return;
    }
    // The document's own file now holds only the fragment: closing must not
    // pass for clean and lose the rest.
    if (samePath(path, fromUtf8String(m_state.currentFile()))) setModified(true);
}

bool DocumentSession::promptSaveChanges()
{
    const std::optional<std::string> question = m_state.saveChangesQuestion();
    if (!question) return true;
    switch (PromptService::current().question(appName, fromUtf8String(*question), true,
                                              PromptService::Answer::Yes)) {
    case PromptService::Answer::No:
        return true;
    case PromptService::Answer::Yes:
        return m_state.currentFile().empty() ? saveScriptAs() : saveScript(fromUtf8String(m_state.currentFile()));
    default:
        return false;
    }
}

} // namespace cw
