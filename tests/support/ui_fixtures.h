#pragma once

#include "ui/app/form1.h"
#include "ui/winsvc/prompt_service.h"
#include "ui/winsvc/c_file_dialog.h"

#include "support/temp_dir.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <memory>

namespace cw::test {

// Records every message and question and answers from a script
// (default answers once the script runs out).
class RecordingPrompts : public PromptService {
public:
    struct Shown {
        Icon icon;
        QString title;
        QString text;
    };

    RecordingPrompts() : m_previous(PromptService::install(this)) {}
    ~RecordingPrompts() override { PromptService::install(m_previous); }

    void message(Icon icon, const QString& title, const QString& text) override
    {
        shown.push_back({icon, title, text});
    }
    Answer question(const QString& title, const QString& text, bool, Answer defaultAnswer) override
    {
        shown.push_back({Icon::Question, title, text});
        if (answers.empty()) return defaultAnswer;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }

    // Everything shown so far, one "title: text" per line.
    QString lines() const
    {
        QStringList all;
        for (const Shown& s : shown) all << s.title + ": " + s.text;
        return all.join('\n');
    }

    std::vector<Shown> shown;
    std::deque<Answer> answers;

private:
    PromptService* m_previous;
};

// Answers file dialogs from a script and keeps the requests it saw.
class ScriptedFileDialogs : public FileDialogRunner {
public:
    ScriptedFileDialogs() : m_previous(FileDialogRunner::install(this)) {}
    ~ScriptedFileDialogs() override { FileDialogRunner::install(m_previous); }

    QStringList run(const FileDialogRequest& request) override
    {
        requests.push_back(request);
        if (choices.empty()) return {};
        QStringList c = choices.front();
        choices.pop_front();
        return c;
    }

    std::vector<FileDialogRequest> requests;
    std::deque<QStringList> choices;

private:
    FileDialogRunner* m_previous;
};

// A main window running in its own program folder.
class FormFixture {
public:
    explicit FormFixture(const std::string& settings = {}, const QStringList& arguments = {});
    // prepare fills the program folder before the window starts.
    explicit FormFixture(const std::function<void(const TempDir&)>& prepare, const QStringList& arguments = {});
    ~FormFixture();

    TempDir home;
    RecordingPrompts prompts;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<Form1> form;

    std::string settingsFile() const { return home.read("conf.properties"); }
};

} // namespace cw::test
