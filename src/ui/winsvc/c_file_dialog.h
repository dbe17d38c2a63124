#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

namespace cw {

// What a file dialog is asked to show, in Qt's terms.
struct FileDialogRequest {
    QWidget* owner = nullptr;
    bool save = false;
    QString title;
    QString directory;
    QString initialName;
    QStringList nameFilters; // "Description (patterns)"
    int filterIndex = 0;
    QString defaultSuffix;
    bool mustExist = false;
    bool confirmOverwrite = false;
    bool multiSelect = false;
};

// Shows file dialogs. Tests install a runner that scripts the user's choice.
class FileDialogRunner {
public:
    virtual ~FileDialogRunner() = default;
    // The chosen full paths, or nothing when the user cancelled.
    virtual QStringList run(const FileDialogRequest& request) = 0;

    static FileDialogRunner& current();
    static FileDialogRunner* install(FileDialogRunner* runner);
};

// The program's open and save dialogs, kept as a record of properties that
// a caller fills before reading filename().
class CFileDialog {
public:
    static constexpr int OFN_OVERWRITEPROMPT = 0x2;
    static constexpr int OFN_ALLOWMULTISELECT = 0x200;
    static constexpr int OFN_FILEMUSTEXIST = 0x1000;
    static constexpr int openDefaultFlags = 530444;
    static constexpr int saveDefaultFlags = 534542;
    static constexpr int cancelled = 32755;

    QPointer<QWidget> hwndOwner;
    QString Mask;
    QString CustomFilter;
    int DefaultFilterIndex = 0;
    QString FileTitle;
    QString path;
    QString title;
    int Flags = 0;
    int FileOffset = 0;
    int ExtensionOffset = 0;
    QString Extension;
    bool AllowMultiSelect = false;

    int DialogMode() const { return m_mode; }
    // 1 opens, 2 saves; also sets Flags to that mode's defaults (0 otherwise).
    void setDialogMode(int mode);
    int lastError() const { return m_lastError; }

    // The file name the dialog starts with.
    void setFilename(const QString& name) { m_filename = name; }
    // Shows the dialog on every call: the chosen path, a QStringList of full
    // paths when AllowMultiSelect took effect, or an empty string on cancel
    // (lastError 32755, every property of the record cleared).
    QVariant filename();
    // Convenience for single selection.
    QString filenameText() { return filename().toString(); }

    // The program's own dialogs: explorer style, existing files in open mode,
    // no overwrite question (callers ask themselves). initialPath proposes a
    // folder and a name. The path, or "" on cancel.
    static constexpr int programFlags = 528388;
    enum class Mode { open = 1, save = 2 };
    static QString chooseFile(QWidget* owner, Mode mode, const QString& mask, const QString& title,
                              const QString& extension = {}, const QString& initialPath = {});

    static QString GetFileTitle(const QString& filename);
    // "desc|pattern|..." as Qt name filters; "*.*" becomes "*" and letters
    // match either case, since Linux names need neither a dot nor capitals.
    static QStringList nameFilters(const QString& mask);

private:
    void clearRecord();

    QString m_filename;
    int m_mode = 0;
    int m_lastError = 0;
};

} // namespace cw
