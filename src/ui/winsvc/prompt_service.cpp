#include "ui/winsvc/prompt_service.h"

#include <QApplication>
#include <QMessageBox>
#include <QStyle>

#include <cstdio>

namespace cw {
namespace {

MessageBoxPrompts g_messageBoxes;
PromptService* g_current = &g_messageBoxes;

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

PromptService& PromptService::current()
{
    return *g_current;
}

PromptService* PromptService::install(PromptService* service)
{
    PromptService* previous = g_current;
    g_current = service ? service : &g_messageBoxes;
    return previous;
}

void MessageBoxPrompts::message(Icon icon, const QString& title, const QString& text)
{
    const auto qtIcon = icon == Icon::Critical      ? QMessageBox::Critical
                        : icon == Icon::Information ? QMessageBox::Information
                                                    : QMessageBox::Question;
    QMessageBox box(qtIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    if (icon == Icon::Application) {
        const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        // Drawn for the box's screen, so it is sharp on a high-density one.
        box.setIconPixmap(QApplication::windowIcon().pixmap(QSize(size, size), box.devicePixelRatio()));
    }
    box.exec();
}

PromptService::Answer MessageBoxPrompts::question(const QString& title, const QString& text, bool withCancel,
                                                  Answer defaultAnswer)
{
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, title, text, buttons, QApplication::activeWindow());
    box.setDefaultButton(defaultAnswer == Answer::No       ? QMessageBox::No
                         : defaultAnswer == Answer::Cancel ? QMessageBox::Cancel
                                                           : QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return withCancel ? Answer::Cancel : Answer::No;
    }
}

void StderrPrompts::message(Icon, const QString& title, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(oneLine(text)));
}

PromptService::Answer StderrPrompts::question(const QString& title, const QString& text, bool,
                                              Answer defaultAnswer)
{
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(oneLine(text)));
    return defaultAnswer;
}

void showError(const QString& text)
{
    PromptService::current().message(PromptService::Icon::Critical, QStringLiteral("#error"), text);
}

void showInfo(const QString& text)
{
    PromptService::current().message(PromptService::Icon::Information, QStringLiteral("Information"), text);
}

} // namespace cw
