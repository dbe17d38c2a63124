#include "ui/winsvc/c_file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace cw {
namespace {

class QtFileDialogRunner : public FileDialogRunner {
public:
    QStringList run(const FileDialogRequest& r) override
    {
        QFileDialog dialog(r.owner, r.title, r.directory);
        dialog.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(r.save ? QFileDialog::AnyFile
                           : r.multiSelect ? QFileDialog::ExistingFiles
                           : r.mustExist   ? QFileDialog::ExistingFile
                                           : QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
        dialog.setNameFilters(r.nameFilters);
        if (r.filterIndex > 0 && r.filterIndex <= r.nameFilters.size())
            dialog.selectNameFilter(r.nameFilters.at(r.filterIndex - 1));
        dialog.setDefaultSuffix(r.defaultSuffix);
        if (!r.initialName.isEmpty()) dialog.selectFile(r.initialName);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
    }
};

QtFileDialogRunner g_qtRunner;
FileDialogRunner* g_runner = &g_qtRunner;

QString eitherCase(const QString& pattern)
{
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

} // namespace

FileDialogRunner& FileDialogRunner::current()
{
    return *g_runner;
}

FileDialogRunner* FileDialogRunner::install(FileDialogRunner* runner)
{
    FileDialogRunner* previous = g_runner;
    g_runner = runner ? runner : &g_qtRunner;
    return previous;
}

void CFileDialog::setDialogMode(int mode)
{
    m_mode = mode;
    Flags = mode == 1 ? openDefaultFlags : mode == 2 ? saveDefaultFlags : 0;
}

QStringList CFileDialog::nameFilters(const QString& mask)
{
    const QStringList parts = mask.trimmed().split(QLatin1Char('|'));
    if (mask.trimmed().isEmpty()) return {QStringLiteral("All Files (*)")};
    static const QRegularExpression trailingGroup(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (QString p : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
            patterns << eitherCase(p);
        }
        // The description keeps its own text; Qt reads the patterns from the
        // last parenthesised group and hides that group from the user.
        QString description = parts.at(i);
        if (!description.contains(trailingGroup)) description += QStringLiteral(" (") + parts.at(i + 1) + QLatin1Char(')');
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

QString CFileDialog::chooseFile(QWidget* owner, Mode mode, const QString& mask, const QString& title,
                               const QString& extension, const QString& initialPath)
{
    CFileDialog dialog;
    dialog.setDialogMode(static_cast<int>(mode));
    dialog.Flags = programFlags;
    dialog.hwndOwner = owner;
    dialog.Mask = mask;
    dialog.title = title;
    dialog.Extension = extension;
    if (!initialPath.isEmpty()) {
        const QFileInfo initial(initialPath);
        if (initialPath.contains(QLatin1Char('/'))) dialog.path = initial.path();
        dialog.setFilename(initial.fileName());
    }
    return dialog.filenameText();
}

QString CFileDialog::GetFileTitle(const QString& filename)
{
    return QFileInfo(filename).fileName();
}

void CFileDialog::clearRecord()
{
    hwndOwner = nullptr;
    Mask.clear();
    CustomFilter.clear();
    DefaultFilterIndex = 0;
    m_filename.clear();
    FileTitle.clear();
    path.clear();
    title.clear();
    Flags = 0;
    FileOffset = 0;
    ExtensionOffset = 0;
    Extension.clear();
}

QVariant CFileDialog::filename()
{
    int flags = Flags;
    if (flags == 0)
        flags = m_mode == 1 ? openDefaultFlags : saveDefaultFlags;
    else if (AllowMultiSelect)
        flags |= OFN_ALLOWMULTISELECT;

    m_lastError = 0;
    QStringList chosen;
    if (m_mode == 1 || m_mode == 2) {
        FileDialogRequest r;
        r.owner = hwndOwner ? hwndOwner.data() : QApplication::activeWindow();
        r.save = m_mode == 2;
        r.title = title;
        r.directory = path;
        r.initialName = m_filename;
        r.nameFilters = nameFilters(Mask);
        r.filterIndex = DefaultFilterIndex;
        r.defaultSuffix = m_mode == 2 ? Extension : QString();
        // A save dialog must accept new names whatever the flags say.
        r.mustExist = m_mode == 1 && (flags & OFN_FILEMUSTEXIST);
        r.confirmOverwrite = (flags & OFN_OVERWRITEPROMPT) != 0;
        r.multiSelect = m_mode == 1 && (flags & OFN_ALLOWMULTISELECT);
        chosen = FileDialogRunner::current().run(r);
        if (!r.multiSelect && chosen.size() > 1) chosen = chosen.mid(0, 1);
        if (r.multiSelect && !chosen.isEmpty()) {
            FileTitle.clear();
            return chosen;
        }
    }
    if (chosen.isEmpty()) {
        m_lastError = cancelled;
        clearRecord();
        return QString();
    }

    const QString file = QDir::toNativeSeparators(chosen.first());
    const QFileInfo info(file);
    m_filename = file;
    FileOffset = static_cast<int>(file.size() - info.fileName().size());
    path = file.left(FileOffset);
    FileTitle = GetFileTitle(file);
    const int dot = info.fileName().lastIndexOf(QLatin1Char('.'));
    ExtensionOffset = dot < 0 ? 0 : FileOffset + dot + 1;
    Extension = dot < 0 ? QString() : file.mid(ExtensionOffset);
    return file;
}

} // namespace cw
