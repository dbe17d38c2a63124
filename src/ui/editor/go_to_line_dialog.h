#pragma once

#include <QDialog>

class QSpinBox;

namespace cw {

class CodeSense;

// Asks for a line number between 1 and the script's line count and moves
// the caret to the start of that line.
class GoToLineDialog : public QDialog {
    Q_OBJECT
public:
    GoToLineDialog(CodeSense* editor, QWidget* parent);

    void accept() override;

private:
    CodeSense* m_editor;
    QSpinBox* m_line;
};

} // namespace cw
