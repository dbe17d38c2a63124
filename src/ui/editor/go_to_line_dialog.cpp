#include "ui/editor/go_to_line_dialog.h"

#include "ui/editor/code_sense.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

namespace cw {

GoToLineDialog::GoToLineDialog(CodeSense* editor, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_line(new QSpinBox(this))
{
    setObjectName(QStringLiteral("GoToLineDialog"));
    setWindowTitle(QStringLiteral("Goto Line"));
    const int lines = editor->lineCount();
    m_line->setObjectName(QStringLiteral("lineNumber"));
    m_line->setRange(1, lines);
    m_line->setValue(editor->getSelection(false).end.line + 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("&Line number (1 - %1):").arg(lines), m_line);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void GoToLineDialog::accept()
{
    m_editor->goToLine(m_line->value() - 1);
    m_editor->focusEditor();
    QDialog::accept();
}

} // namespace cw
