#pragma once

#include "core/preview/bookmarks.h"
#include "core/preview/media_player.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>

class QAction;
class QWidget;

namespace cw {

class CodeSense;
class Settings;
class fPreview;

// The preview of the script being edited, saved or not: preview.avs in the
// temporary folder, the internal preview window with its player, and the
// external player with its choice. The same window previews media files,
// and keeps each script's bookmarks.
class PreviewController : public QObject {
    Q_OBJECT
public:
    // documentPath gives the path of the script being edited ("" before it
    // has a file); messages name it, bookmarks belong to it.
    PreviewController(CodeSense& editor, Settings& settings, QWidget& window, std::function<QString()> documentPath);
    ~PreviewController() override;

    MediaPlayer& player() { return m_player; }
    const QString& tempFolder() const { return m_tempFolder; }
    const QString& externalPlayer() const { return m_externalPlayer; }
    // The preview window while it is loaded, else null.
    fPreview* preview() const;

    // "External Preview", which the player rule enables or disables, and
    // "Keep Frame on Reload", whose choice is stored when the user makes it.
    void attachMenu(QAction* externalPreview, QAction* keepFrame);
    // Start-up: the player and the reload choice as stored, and where
    // preview.avs goes (a TEMP or TMP folder passed over as unsafe is noticed).
    void readSettings();
    void chooseTempFolder();
    // External Preview works only while the player names an existing file.
    void applyExternalPreviewRule();

    QString previewScriptPath() const;
    // Writes the editor's whole text to preview.avs in UTF-8: its path, or
    // an empty string after showing why it could not be written.
    QString writePreviewScript();

    void internalPreview();
    // A video file chosen by the user, in the internal preview.
    void previewMediaFile();
    void previewMediaFile(const QString& path);
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
    // The preview window, made when it is not loaded.
    fPreview& previewWindow();
    // Shows what open gives in the preview, its bookmarks those of path.
    void preview(std::function<QString()> open, const QString& path, bool script);
    // The frame server's message about the script that ran: the caret goes
    // to the line it names, and the message names the edited script.
    void reportOpenFailure(const QString& message);
    void storeBookmarks(const QString& path, const BookmarkSet& frames);

    CodeSense& m_editor;
    Settings& m_settings;
    QWidget& m_window;
    std::function<QString()> m_documentPath;
    MediaPlayer m_player;
    QString m_tempFolder;
    QString m_externalPlayer;
    QAction* m_externalPreview = nullptr;
    QAction* m_keepFrame = nullptr;
    QPointer<fPreview> m_preview;
    bool m_previewingScript = true;
    // Every script's bookmarks this session, by path.
    std::map<QString, BookmarkSet> m_bookmarks;
};

} // namespace cw
