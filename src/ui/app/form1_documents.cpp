#include "ui/app/form1.h"

#include "core/app/command_line.h"
#include "core/app/opener_link.h"
#include "core/base/paths.h"
#include "core/app/recent_files.h"
#include "core/documents/file_association.h"
#include "core/documents/script_file.h"
#include "ui/winsvc/prompt_service.h"
#include "ui/editor/code_sense.h"
#include "ui/winsvc/c_file_dialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>

#include <cstdlib>

namespace cw {
namespace {

const QString scriptMask = QStringLiteral("Avisynth script (*.avs)|*.avs");
const QString appName = QStringLiteral("Clipwright");

std::string local(const QString& text)
{
    return text.toStdString();
}

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

// Menu captions show paths and titles literally, not as mnemonics.
QString menuText(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString runScriptDialog(QWidget* owner, int mode, const QString& mask, const QString& title)
{
    return CFileDialog::chooseFile(owner, mode, mask, title, mode == 2 ? QStringLiteral("avs") : QString());
}

RecentFiles toCore(const std::array<QString, 4>& files)
{
    RecentFiles out;
    for (std::size_t i = 0; i < files.size(); ++i) out[i] = local(files[i]);
    return out;
}

bool samePath(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

void Form1::watchEditorChanges()
{
    connect(m_codeSense, &CodeSense::textChangedByUser, this, [this] {
        if (!m_isModified) setModified(true);
    });
}

void Form1::setModified(bool modified)
{
    m_isModified = modified;
    refreshTitle();
}

void Form1::openScriptDialog()
{
    loadScript(runScriptDialog(this, 1, scriptMask, QStringLiteral("Open Avisynth script")));
}

void Form1::loadScript(const QString& path)
{
    if (path.isEmpty()) return;
    const std::string file = local(path);
    if (!fileExists(file)) {
        showError(qt(unableToLoadMessage(file)));
        return;
    }
    if (!isAvsScript(file)) {
        showError(qt(notAvsScriptMessage(file)));
        return;
    }
    // Asked before reading, so a Yes that saves onto this very file loads what was saved.
    if (!promptSaveChanges()) return;
    std::string error;
    const std::optional<DecodedText> script = readScriptFile(file, &error);
    if (!script) {
        showError(qt(error));
        return;
    }
    m_codeSense->setScript(*script);
    m_currentFile = path;
    setModified(false);
    addRecentFile(path);
}

bool Form1::saveScript(const QString& path)
{
    TextEncoding encoding = m_codeSense->encoding();
    const std::string error =
        writeScriptFile(local(path), m_codeSense->textUtf8(), encoding, m_codeSense->lineEnd()).message;
    if (!error.empty()) {
        showError(qt(error));
        return false;
    }
    m_codeSense->setEncoding(encoding);
    m_codeSense->markSaved();
    m_currentFile = path;
    setModified(false);
    return true;
}

QString Form1::chooseSavePath(const QString& title)
{
    const QString path = runScriptDialog(this, 2, scriptMask,
                                         title.isEmpty() ? QStringLiteral("Save Avisynth script") : title);
    if (path.isEmpty()) return {};
    if (fileExists(local(path)) &&
        PromptService::current().question(appName, qt(overwriteQuestion(local(path))), false,
                                          PromptService::Answer::No) != PromptService::Answer::Yes)
        return {};
    return path;
}

bool Form1::saveScriptAs(const QString& title)
{
    const QString path = chooseSavePath(title);
    return !path.isEmpty() && saveScript(path);
}

void Form1::saveCurrentScript()
{
    if (!m_currentFile.isEmpty() && fileExists(local(m_currentFile)))
        saveScript(m_currentFile);
    else
        saveScriptAs();
}

void Form1::importTemplate()
{
    const QString path = runScriptDialog(this, 1, scriptMask + QStringLiteral("|All files (*.*)|*.*"),
                                         QStringLiteral("Import"));
    if (path.isEmpty()) return;
    std::string error;
    const std::optional<DecodedText> fragment = readScriptFile(local(path), &error);
    if (!fragment) {
        showError(qt(error));
        return;
    }
    insertTextAtCaret(qt(fragment->utf8));
}

void Form1::exportSelection()
{
    const QString selection = m_codeSense->selectedText();
    if (selection.isEmpty()) {
        showError(QStringLiteral("unable to export empty selection"));
        return;
    }
    const QString path = chooseSavePath(QStringLiteral("Export selection as"));
    if (path.isEmpty()) return;
    TextEncoding encoding = m_codeSense->encoding();
    const std::string error =
        writeScriptFile(local(path), local(selection), encoding, m_codeSense->lineEnd()).message;
    if (!error.empty()) {
        showError(qt(error));
        return;
    }
    // The document's own file now holds only the fragment: closing must not
    // pass for clean and lose the rest.
    if (samePath(path, m_currentFile)) setModified(true);
}

bool Form1::promptSaveChanges()
{
    if (!m_isModified) return true;
    switch (PromptService::current().question(appName, qt(saveChangesQuestion(local(m_currentFile))), true,
                                              PromptService::Answer::Yes)) {
    case PromptService::Answer::No:
        return true;
    case PromptService::Answer::Yes:
        return m_currentFile.isEmpty() ? saveScriptAs() : saveScript(m_currentFile);
    default:
        return false;
    }
}

void Form1::loadRecentFiles()
{
    const RecentFiles files = cw::loadRecentFiles(*m_propertiesManager, local(m_configFile));
    for (std::size_t i = 0; i < files.size(); ++i) m_recentFiles[i] = qt(files[i]);
    refreshRecentFilesMenu();
}

void Form1::saveRecentFiles()
{
    const std::string error = cw::saveRecentFiles(*m_propertiesManager, local(m_configFile), toCore(m_recentFiles));
    if (!error.empty() && m_settingsWriteError.isEmpty()) m_settingsWriteError = qt(error);
}

void Form1::addRecentFile(const QString& path)
{
    RecentFiles files = toCore(m_recentFiles);
    if (cw::updateRecentFiles(files, local(path)))
        for (std::size_t i = 0; i < files.size(); ++i) m_recentFiles[i] = qt(files[i]);
    refreshRecentFilesMenu();
}

void Form1::refreshRecentFilesMenu()
{
    const RecentFilesMenu shown = recentFilesMenu(toCore(m_recentFiles));
    QAction* submenu = menu(QStringLiteral("mnuRecentFiles"))->menuAction();
    submenu->setEnabled(shown.submenuEnabled);
    if (!shown.submenuEnabled) return;
    command(QStringLiteral("mnuFileRFsep"))->setVisible(shown.separatorVisible);
    for (std::size_t i = 0; i < m_recentFiles.size(); ++i) {
        QAction* item = command(QStringLiteral("mnuFileRF%1").arg(i + 1));
        item->setVisible(shown.itemVisible[i]);
        if (shown.itemVisible[i]) item->setText(menuText(m_recentFiles[i]));
    }
}

void Form1::handleCommandLine()
{
    std::vector<std::string> arguments;
    for (qsizetype i = 1; i < m_arguments.size(); ++i) arguments.push_back(local(m_arguments.at(i)));
    const CommandLineOptions options =
        parseCommandLine(splitCommandLine(joinArguments(arguments)), fileExists);

    if (options.scriptPath) {
        if (fileExists(*options.scriptPath)) {
            // Absolute, so the title and the recent list name it wherever the program starts next.
            loadScript(QFileInfo(qt(*options.scriptPath)).absoluteFilePath());
        } else {
            m_currentFile.clear();
            refreshTitle();
        }
    }
    m_openerHwnd = options.openerWindow;
    m_openerTitle = qt(options.openerTitle);
    QAction* back = command(QStringLiteral("mnuBackToOpener"));
    back->setVisible(m_openerHwnd != 0);
    back->setText(menuText(qt(backToOpenerCaption(options.openerTitle))));
}

void Form1::backToOpener()
{
    const std::string error = setOpenerWindowText(m_openerHwnd, m_codeSense->textUtf8());
    if (!error.empty()) {
        showError(qt(error));
        return;
    }
    m_skipSavePrompt = true;
    close();
}

void Form1::registerAvsFilesCommand()
{
    const std::string error = registerAvsFiles(local(QCoreApplication::applicationFilePath()), processEnvironment);
    if (error.empty())
        showInfo(QStringLiteral(".avs files successfully registered with Clipwright"));
    else
        showError(qt(error));
}

void Form1::unregisterAvsFilesCommand()
{
    const std::string error = unregisterAvsFiles(processEnvironment);
    if (error.empty())
        showInfo(QStringLiteral(".avs files successfully unregistered"));
    else
        showError(qt(error));
}

} // namespace cw
