#include "ui/editor/find_dialog.h"

#include "ui/editor/code_sense.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cw {

FindDialog::FindDialog(CodeSense* editor, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_what(new QLineEdit(this)), m_with(new QLineEdit(this)),
      m_withLabel(new QLabel(QStringLiteral("Replace &with:"), this)),
      m_matchCase(new QCheckBox(QStringLiteral("Match &case"), this)),
      m_wholeWord(new QCheckBox(QStringLiteral("Whole &word"), this)),
      m_replace(new QPushButton(QStringLiteral("&Replace"), this)),
      m_replaceAll(new QPushButton(QStringLiteral("Replace &All"), this)), m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("FindDialog"));
    setModal(false);
    m_what->setObjectName(QStringLiteral("findWhat"));
    m_with->setObjectName(QStringLiteral("replaceWith"));
    m_matchCase->setObjectName(QStringLiteral("matchCase"));
    m_wholeWord->setObjectName(QStringLiteral("wholeWord"));
    m_replace->setObjectName(QStringLiteral("replace"));
    m_replaceAll->setObjectName(QStringLiteral("replaceAll"));
    m_status->setObjectName(QStringLiteral("status"));

    auto* next = new QPushButton(QStringLiteral("Find &Next"), this);
    next->setObjectName(QStringLiteral("findNext"));
    next->setDefault(true);
    auto* previous = new QPushButton(QStringLiteral("Find &Prev"), this);
    previous->setObjectName(QStringLiteral("findPrevious"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);

    auto* whatLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    whatLabel->setBuddy(m_what);
    m_withLabel->setBuddy(m_with);
    auto* fields = new QGridLayout;
    fields->addWidget(whatLabel, 0, 0);
    fields->addWidget(m_what, 0, 1);
    fields->addWidget(m_withLabel, 1, 0);
    fields->addWidget(m_with, 1, 1);
    fields->addWidget(m_matchCase, 2, 1);
    fields->addWidget(m_wholeWord, 3, 1);
    fields->addWidget(m_status, 4, 0, 1, 2);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {next, previous, m_replace, m_replaceAll, close})
        buttons->addWidget(b);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    connect(next, &QPushButton::clicked, this, [this] { search(true); });
    connect(previous, &QPushButton::clicked, this, [this] { search(false); });
    connect(m_replace, &QPushButton::clicked, this, &FindDialog::replaceOne);
    connect(m_replaceAll, &QPushButton::clicked, this, &FindDialog::replaceEverything);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

void FindDialog::openFor(bool replacing)
{
    setWindowTitle(replacing ? QStringLiteral("Replace") : QStringLiteral("Find"));
    for (QWidget* w : {static_cast<QWidget*>(m_withLabel), static_cast<QWidget*>(m_with),
                       static_cast<QWidget*>(m_replace), static_cast<QWidget*>(m_replaceAll)})
        w->setVisible(replacing);
    const QString selected = m_editor->selectedText();
    if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')) && !selected.contains(QLatin1Char('\r')))
        m_what->setText(selected);
    m_status->clear();
    show();
    raise();
    activateWindow();
    m_what->setFocus();
    m_what->selectAll();
}

bool FindDialog::findAgain(bool forward)
{
    if (m_what->text().isEmpty()) return false;
    search(forward);
    return true;
}

void FindDialog::search(bool forward)
{
    report(m_editor->find(m_what->text(), {m_matchCase->isChecked(), m_wholeWord->isChecked()}, forward));
}

void FindDialog::replaceOne()
{
    report(m_editor->replace(m_what->text(), m_with->text(), {m_matchCase->isChecked(), m_wholeWord->isChecked()}));
}

void FindDialog::replaceEverything()
{
    const int count =
        m_editor->replaceAll(m_what->text(), m_with->text(), {m_matchCase->isChecked(), m_wholeWord->isChecked()});
    m_status->setText(count == 1 ? QStringLiteral("1 replacement made.")
                                 : QStringLiteral("%1 replacements made.").arg(count));
}

void FindDialog::report(bool found)
{
    m_status->setText(found ? QString() : QStringLiteral("Cannot find \"%1\".").arg(m_what->text()));
}

} // namespace cw
