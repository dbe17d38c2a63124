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
#include <QFileInfo>
#include <QProcess>

namespace cw {

PreviewController::PreviewController(CodeSense& editor, Settings& settings, QWidget& window,
                                     std::function<QString()> documentPath)
    : m_editor(editor), m_settings(settings), m_window(window), m_documentPath(std::move(documentPath))
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

void PreviewController::attachMenu(QAction* externalPreview, QAction* keepFrame)
{
    m_externalPreview = externalPreview;
    m_keepFrame = keepFrame;
    m_keepFrame->setCheckable(true);
    // Only the user's own choice is stored, never the state read at start-up.
    connect(m_keepFrame, &QAction::triggered, this, [this](bool on) {
        if (fPreview* open = preview()) open->setKeepFrameOnReload(on);
        const std::string error = m_settings.writeKeepFrameOnReload(on);
        if (!error.empty()) showError(fromUtf8String(error));
    });
}

void PreviewController::readSettings()
{
    m_externalPlayer = fromUtf8String(m_settings.externalPlayer());
    m_keepFrame->setChecked(m_settings.keepFrameOnReload());
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

fPreview& PreviewController::previewWindow()
{
    if (fPreview* open = preview()) return *open;
    m_preview = new fPreview(m_player, [this] { return writePreviewScript(); }, &m_window);
    connect(m_preview, &fPreview::opened, this, [this] {
        if (m_previewingScript) m_editor.clearErrorMark();
    });
    connect(m_preview, &fPreview::openFailed, this, &PreviewController::reportOpenFailure);
    connect(m_preview, &fPreview::bookmarksChanged, this,
            [this](const BookmarkSet& frames) { storeBookmarks(m_preview->sourcePath(), frames); });
    return *m_preview;
}

void PreviewController::preview(std::function<QString()> open, const QString& path, bool script)
{
    fPreview& w = previewWindow();
    // A clip still opening is not opened again over itself.
    if (w.isOpening()) return;
    m_previewingScript = script;
    auto known = m_bookmarks.find(path);
    if (known == m_bookmarks.end())
        known = m_bookmarks.emplace(path, path.isEmpty() ? BookmarkSet() : m_settings.bookmarks(toUtf8String(path)))
                    .first;
    w.setSource(std::move(open), path);
    w.setBookmarks(known->second);
    w.setKeepFrameOnReload(m_keepFrame && m_keepFrame->isChecked());
    const bool shown = w.isVisible();
    if (w.startPreview() && !shown) w.show();
}

void PreviewController::internalPreview()
{
    preview([this] { return writePreviewScript(); }, m_documentPath(), true);
}

void PreviewController::previewMediaFile()
{
    const QString chosen = CFileDialog::chooseFile(
        &m_window, CFileDialog::Mode::open,
        QStringLiteral("Video files|*.mkv;*.mp4;*.m4v;*.mov;*.avi;*.webm;*.mpg;*.mpeg;*.m2ts;*.mts;*.ts;*.vob;"
                       "*.wmv;*.flv;*.ogv;*.y4m;*.3gp;*.mxf;*.dv|All files|*.*"),
        QStringLiteral("Preview Media File"));
    if (!chosen.isEmpty()) previewMediaFile(chosen);
}

void PreviewController::previewMediaFile(const QString& path)
{
    preview([path] { return path; }, path, false);
}

// Kept for the session; stored for a script that has a file.
void PreviewController::storeBookmarks(const QString& path, const BookmarkSet& frames)
{
    m_bookmarks[path] = frames;
    if (path.isEmpty()) return;
    const std::string error = m_settings.writeBookmarks(toUtf8String(path), frames);
    if (!error.empty()) showError(fromUtf8String(error));
}

void PreviewController::reportOpenFailure(const QString& message)
{
    // FFmpeg's message names the media file already.
    if (!m_previewingScript) return showError(message);
    const std::string text = toUtf8String(message);
    const std::string script = toUtf8String(previewScriptPath());
    if (const std::optional<ScriptErrorLocation> at = findErrorLocation(text, script))
        m_editor.markErrorAt(at->line - 1, at->column.value_or(1) - 1);
    const QString path = m_documentPath();
    const QString name = path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName();
    showError(fromUtf8String(nameScriptInMessage(text, script, toUtf8String(name))));
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
