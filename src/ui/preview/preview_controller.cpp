#include "ui/preview/preview_controller.h"

#include "core/base/paths.h"
#include "core/base/text_file.h"
#include "core/config/settings.h"
#include "core/preview/script_error.h"
#include "ui/base/qt_strings.h"
#include "ui/editor/code_sense.h"
#include "ui/preview/f_preview.h"
#include "ui/winsvc/c_file_dialog.h"
#include "ui/winsvc/prompt_service.h"

#include <QAction>
#include <QProcess>

namespace cw {

PreviewController::PreviewController(CodeSense& editor, Settings& settings, QWidget& window,
                                     std::function<QString()> documentName)
    : m_editor(editor), m_settings(settings), m_window(window), m_documentName(std::move(documentName))
{
}

// The preview is a window of its own, not a child of the main window.
PreviewController::~PreviewController()
{
    unloadPreview();
}

fPreview* PreviewController::preview() const
{
    return m_preview && !m_preview->isUnloaded() ? m_preview.data() : nullptr;
}

void PreviewController::attachMenu(QAction* externalPreview)
{
    m_externalPreview = externalPreview;
}

void PreviewController::readExternalPlayer()
{
    m_externalPlayer = fromUtf8String(m_settings.externalPlayer());
}

void PreviewController::chooseTempFolder()
{
    const TempFolder chosen = cw::chooseTempFolder(processEnvironment);
    m_tempFolder = fromUtf8String(chosen.path);
    if (const std::string notice = tempFolderNotice(chosen); !notice.empty()) emit noticed(fromUtf8String(notice));
    if (m_tempFolder.isEmpty()) m_tempFolder = fromUtf8String(m_settings.programFolder());
}

void PreviewController::applyExternalPreviewRule()
{
    m_externalPreview->setEnabled(fileExists(toUtf8String(m_externalPlayer)));
}

QString PreviewController::previewScriptPath() const
{
    return m_tempFolder + QStringLiteral("/preview.avs");
}

QString PreviewController::writePreviewScript()
{
    const QString path = previewScriptPath();
    // A file of the program's own: a link planted under its name is replaced, never followed.
    const std::string error =
        writeTextFile(toUtf8String(path), m_editor.textUtf8(), m_editor.lineEnd(), WriteMode::Replace);
    if (!error.empty()) {
        showError(QStringLiteral("The preview script could not be written.\r\n") + fromUtf8String(error));
        return {};
    }
    return path;
}

void PreviewController::internalPreview()
{
    if (fPreview* open = preview()) {
        // A script still opening is not run again over itself.
        if (!open->isOpening()) open->startPreview();
        return;
    }
    m_preview = new fPreview(m_player, [this] { return writePreviewScript(); }, &m_window);
    connect(m_preview, &fPreview::opened, &m_editor, &CodeSense::clearErrorMark);
    connect(m_preview, &fPreview::openFailed, this, &PreviewController::reportOpenFailure);
    if (m_preview->startPreview()) m_preview->show();
}

void PreviewController::reportOpenFailure(const QString& message)
{
    const std::string text = toUtf8String(message);
    const std::string script = toUtf8String(previewScriptPath());
    if (const std::optional<ScriptErrorLocation> at = findErrorLocation(text, script))
        m_editor.markErrorAt(at->line - 1, at->column.value_or(1) - 1);
    showError(fromUtf8String(nameScriptInMessage(text, script, toUtf8String(m_documentName()))));
}

void PreviewController::externalPreview()
{
    const QString script = writePreviewScript();
    if (script.isEmpty()) return;
    // The player and the script go as two arguments, no shell between:
    // blanks in either path need no quoting.
    QProcess player;
    player.setProgram(m_externalPlayer);
    player.setArguments({script});
    if (!player.startDetached())
        showError(QStringLiteral("The external player could not be started.\r\n") + m_externalPlayer +
                  QStringLiteral(": ") + player.errorString());
}

void PreviewController::chooseExternalPlayer()
{
    const QString chosen = CFileDialog::chooseFile(&m_window, CFileDialog::Mode::open, QStringLiteral("Programs (*)|*"),
                                                   QStringLiteral("Choose the player for External Preview"));
    if (chosen.isEmpty()) return;
    m_externalPlayer = chosen;
    const std::string error = m_settings.writeExternalPlayer(toUtf8String(chosen));
    if (!error.empty()) showError(fromUtf8String(error));
    applyExternalPreviewRule();
}

void PreviewController::closeAllMovies()
{
    if (m_preview) m_preview->stopTimer();
    m_player.closeAllMovies();
}

// A window waiting for its script is given up and closes itself once the
// wait has unwound; deleting it under its own wait would pull the stack away.
void PreviewController::unloadPreview()
{
    if (m_preview && m_preview->isOpening()) {
        m_preview->close();
        return;
    }
    delete m_preview.data();
}

} // namespace cw
