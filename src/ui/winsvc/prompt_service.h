#pragma once

#include <QString>

namespace cw {

// Every message box and question of the program goes through the current
// prompt service, so tests can answer questions and read what was shown.
class PromptService {
public:
    // Application: the program's own icon, as in the About box.
    enum class Icon { Critical, Information, Question, Application };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~PromptService() = default;
    virtual void message(Icon icon, const QString& title, const QString& text) = 0;
    // Yes and No, plus Cancel when withCancel; defaultAnswer is what Enter gives.
    virtual Answer question(const QString& title, const QString& text, bool withCancel,
                            Answer defaultAnswer) = 0;

    static PromptService& current();
    // Installs service (not owned) until the returned previous one is restored.
    static PromptService* install(PromptService* service);
};

// Modal QMessageBox dialogs parented to the active window.
class MessageBoxPrompts : public PromptService {
public:
    void message(Icon icon, const QString& title, const QString& text) override;
    Answer question(const QString& title, const QString& text, bool withCancel, Answer defaultAnswer) override;
};

// For unattended runs: writes "title: text" on one line to standard error
// and takes the default answer of every question.
class StderrPrompts : public PromptService {
public:
    void message(Icon icon, const QString& title, const QString& text) override;
    Answer question(const QString& title, const QString& text, bool withCancel, Answer defaultAnswer) override;
};

// The critical box titled "#error" and the information box titled "Information".
void showError(const QString& text);
void showInfo(const QString& text);

} // namespace cw
