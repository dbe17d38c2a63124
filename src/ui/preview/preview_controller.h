#pragma once

#include "core/preview/media_player.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QWidget;

namespace cw {

class CodeSense;
class Settings;
class fPreview;

// The preview of the script being edited, saved or not: preview.avs in the
// temporary folder, the internal preview window with its player, and the
// external player with its choice.
class PreviewController : public QObject {
    Q_OBJECT
public:
    // documentName names the script being edited in messages ("Untitled"
    // before it has a file).
    PreviewController(CodeSense& editor, Settings& settings, QWidget& window, std::function<QString()> documentName);
    ~PreviewController() override;

    MediaPlayer& player() { return m_player; }
    const QString& tempFolder() const { return m_tempFolder; }
    const QString& externalPlayer() const { return m_externalPlayer; }
    // The preview window while it is loaded, else null.
    fPreview* preview() const;

    // "External Preview", which the player rule enables or disables.
    void attachMenu(QAction* externalPreview);
    // Start-up: the player as stored, and where preview.avs goes (a
    // TEMP or TMP folder passed over as unsafe is noticed).
    void readExternalPlayer();
    void chooseTempFolder();
    // External Preview works only while the player names an existing file.
    void applyExternalPreviewRule();

    QString previewScriptPath() const;
    // Writes the editor's whole text to preview.avs in UTF-8: its path, or
    // an empty string after showing why it could not be written.
    QString writePreviewScript();

    void internalPreview();
    void externalPreview();
    void chooseExternalPlayer();

signals:
    // Something the user should know once, in the status bar.
    void noticed(const QString& text);

public:
    // Shutdown: the window stops following the clip and every clip closes;
    // then the window goes.
    void closeAllMovies();
    void unloadPreview();

private:
    // The frame server's message about the script that ran: the caret goes
    // to the line it names, and the message names the edited script.
    void reportOpenFailure(const QString& message);

    CodeSense& m_editor;
    Settings& m_settings;
    QWidget& m_window;
    std::function<QString()> m_documentName;
    MediaPlayer m_player;
    QString m_tempFolder;
    QString m_externalPlayer;
    QAction* m_externalPreview = nullptr;
    QPointer<fPreview> m_preview;
};

} // namespace cw
