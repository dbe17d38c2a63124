#include "ui/editor/editing_commands.h"

#include "core/editor/comment_block.h"
#include "ui/base/qt_strings.h"
#include "ui/editor/code_sense.h"
#include "ui/editor/find_dialog.h"
#include "ui/editor/go_to_line_dialog.h"
#include "ui/winsvc/c_file_dialog.h"

#include <QAction>

namespace cw {

EditingCommands::EditingCommands(CodeSense& editor, QWidget& window) : m_editor(editor), m_window(window)
{
    connect(&m_editor, &CodeSense::dialogCommand, this, &EditingCommands::runEditorDialog);

    // Ctrl+I selects all, as it always has; no menu item carries it.
    auto* selectAll = new QAction(&m_editor);
    selectAll->setObjectName(QStringLiteral("editorSelectAll"));
    selectAll->setShortcut(QKeySequence(QStringLiteral("Ctrl+I")));
    selectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_editor.addAction(selectAll);
    connect(selectAll, &QAction::triggered, this, [this] { m_editor.runCommand(CodeSense::cmdSelectAll); });
}

void EditingCommands::commentSelection()
{
    m_editor.replaceSelectedText(fromUtf8String(commentBlock(toUtf8String(m_editor.selectedText()))));
}

void EditingCommands::uncommentSelection()
{
    m_editor.replaceSelectedText(fromUtf8String(uncommentBlock(toUtf8String(m_editor.selectedText()))));
}

void EditingCommands::insertFilePath()
{
    const QString path = CFileDialog::chooseFile(&m_window, CFileDialog::Mode::open,
                                                 QStringLiteral("All files (*.*)|*.*"), QStringLiteral("Insert file path"));
    if (!path.isEmpty()) m_editor.insertTextAtCaret(path);
}

void EditingCommands::runEditorDialog(int command)
{
    if (command == CodeSense::cmdGoToLine) {
        auto* dialog = new GoToLineDialog(&m_editor, &m_window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
        return;
    }
    if (!m_findDialog) m_findDialog = new FindDialog(&m_editor, &m_window);
    switch (command) {
    case CodeSense::cmdFind:
        m_findDialog->openFor(false);
        break;
    case CodeSense::cmdReplace:
        m_findDialog->openFor(true);
        break;
    case CodeSense::cmdFindNext:
    case CodeSense::cmdFindPrevious:
        if (!m_findDialog->findAgain(command == CodeSense::cmdFindNext)) m_findDialog->openFor(false);
        break;
    default:
        break;
    }
}

} // namespace cw
