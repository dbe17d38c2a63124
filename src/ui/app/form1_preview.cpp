#include "ui/app/form1.h"

#include "core/base/paths.h"
#include "core/base/text_file.h"
#include "core/config/settings_keys.h"
#include "core/preview/media_player.h"
#include "ui/winsvc/prompt_service.h"
#include "ui/editor/code_sense.h"
#include "ui/preview/f_preview.h"
#include "ui/winsvc/c_file_dialog.h"

#include <QAction>
#include <QProcess>

namespace cw {

QString Form1::previewScriptPath() const
{
    return m_tempFolder + QStringLiteral("/preview.avs");
}

QString Form1::writePreviewScript()
{
    const QString path = previewScriptPath();
    // A file of the program's own: a link planted under its name is replaced, never followed.
    const std::string error = writeTextFile(path.toStdString(), m_codeSense->textUtf8(), m_codeSense->lineEnd(),
                                            WriteMode::Replace);
    if (!error.empty()) {
        showError(QStringLiteral("The preview script could not be written.\r\n") + QString::fromStdString(error));
        return {};
    }
    return path;
}

fPreview* Form1::preview() const
{
    return m_preview && !m_preview->isUnloaded() ? m_preview.data() : nullptr;
}

void Form1::internalPreview()
{
    if (fPreview* open = preview()) {
        open->startPreview();
        return;
    }
    m_preview = new fPreview(*this);
    if (m_preview->startPreview()) m_preview->show();
}

void Form1::externalPreview()
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

void Form1::chooseExternalPlayer()
{
    const QString chosen = CFileDialog::chooseFile(this, 1, QStringLiteral("Programs (*)|*"),
                                                   QStringLiteral("Choose the player for External Preview"));
    if (chosen.isEmpty()) return;
    m_externalPlayer = chosen;
    const std::string error = m_propertiesManager->writePropertie(m_configFile.toStdString(), keys::externalPlayer,
                                                                  chosen.toStdString());
    if (!error.empty()) showError(QString::fromStdString(error));
    applyExternalPreviewRule();
}

void Form1::applyExternalPreviewRule()
{
    command(QStringLiteral("mnuExternalPreview"))->setEnabled(fileExists(m_externalPlayer.toStdString()));
}

void Form1::closeAllMovies()
{
    if (m_preview) m_preview->stopTimer();
    cw::closeAllMovies();
}

void Form1::unloadPreview()
{
    delete m_preview.data();
}

} // namespace cw
