#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cw {

class CodeSense;

// The modeless Find and Replace dialog of the script pane. It stays open
// while the user edits; Find Next and Find Prev of the Search menu repeat
// its last search without showing it.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    FindDialog(CodeSense* editor, QWidget* parent);

    // Shows the dialog, with the replace fields when `replacing`. A selection
    // within one line becomes the text to find.
    void openFor(bool replacing);
    // Repeats the last search; false when nothing has been searched for yet.
    bool findAgain(bool forward);

private:
    void search(bool forward);
    void replaceOne();
    void replaceEverything();
    void report(bool found);

    CodeSense* m_editor;
    QLineEdit* m_what;
    QLineEdit* m_with;
    QLabel* m_withLabel;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QPushButton* m_replace;
    QPushButton* m_replaceAll;
    QLabel* m_status;
};

} // namespace cw
