#pragma once

#include "core/base/text_encoding.h"
#include "core/documents/document_state.h"

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace cw {

class CodeSense;

// The script in the editor as a file: open, save, save as, import, export,
// the save-changes question and the recent files. Questions, messages and
// file dialogs go through the program's prompt and dialog services, owned by
// the window given.
class DocumentSession : public QObject {
    Q_OBJECT
public:
    DocumentSession(CodeSense& editor, QWidget& window);

    const DocumentState& state() const { return m_state; }
    void setModified(bool modified);
    void setRecentFiles(const RecentFiles& files);
    // The items mnuFileRF1 to mnuFileRF4 of submenu, with separator going
    // with the first, show the recent files and open them.
    void attachRecentFilesMenu(QMenu* submenu, QAction* separator);

    void openScriptDialog();
    // Opens an .avs script after asking about unsaved changes; a load that
    // fails or is cancelled changes nothing.
    void loadScript(const QString& path);
    // Text recovered after a crash becomes the document: unsaved changes to
    // path ("" for untitled).
    void restoreUnsaved(const DecodedText& text, const std::string& path);
    // A script asked for that does not exist: the document becomes untitled.
    void forgetFile();
    // Writes the editor's text to path; on success path becomes the document.
    bool saveScript(const QString& path);
    // Asks for a path (title empty: "Save Avisynth script") and saves there;
    // true only when the script was written.
    bool saveScriptAs(const QString& title = {});
    void saveCurrentScript();
    void importTemplate();
    void exportSelection();
    // Yes saves, No discards; false for Cancel or a save that did not happen.
    bool promptSaveChanges();

signals:
    // The file or the unsaved-changes mark changed: the title must follow.
    void stateChanged();

private:
    QString chooseSavePath(const QString& title);
    void refreshRecentFilesMenu();

    CodeSense& m_editor;
    QWidget& m_window;
    DocumentState m_state;
    QMenu* m_recentMenu = nullptr;
    QAction* m_recentSeparator = nullptr;
};

} // namespace cw
