#pragma once

#include <QObject>

class QWidget;

namespace cw {

class CodeSense;
class FindDialog;

// The Edit and Search commands that need more than one editor call:
// Comment and Uncomment Block, Insert File Path, and the find, replace and
// go-to-line dialogs, which belong to the window given.
class EditingCommands : public QObject {
    Q_OBJECT
public:
    EditingCommands(CodeSense& editor, QWidget& window);

    void commentSelection();
    void uncommentSelection();
    void insertFilePath();

private:
    void runEditorDialog(int command);

    CodeSense& m_editor;
    QWidget& m_window;
    FindDialog* m_findDialog = nullptr;
};

} // namespace cw
