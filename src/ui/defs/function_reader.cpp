#include "ui/defs/function_reader.h"

#include "core/config/settings.h"
#include "core/defs/installed_set.h"
#include "ui/base/qt_strings.h"
#include "ui/defs/definition_sets.h"
#include "ui/winsvc/prompt_service.h"

#include <QAction>
#include <QEventLoop>
#include <QProgressDialog>
#include <QSocketNotifier>
#include <QTimer>

#include <optional>

namespace cw {
namespace {

const QString readCaption = QStringLiteral("Read Functions from AviSynth+");
// A quick answer comes and goes without a window flashing up.
constexpr int progressAfterMs = 400;

} // namespace

FunctionReader::FunctionReader(DefinitionSets& sets, Settings& settings, QWidget& window)
    : m_sets(sets), m_settings(settings), m_window(window)
{
}

void FunctionReader::attachMenu(QAction* item)
{
    m_item = item;
    m_item->setText(readCaption);
}

QString FunctionReader::checkVersion(const QString& installedVersion)
{
    const std::string setVersion = installedSetVersion(toUtf8String(m_sets.definitionSet()));
    const bool outdated = !setVersion.empty() && versionsDiffer(setVersion, toUtf8String(installedVersion));
    if (m_item) m_item->setText(outdated ? readCaption + QStringLiteral(" Again") : readCaption);
    if (!outdated) return {};
    return QStringLiteral("  (the definitions were read from AviSynth+ %1: Definitions > %2 reads them again)")
        .arg(fromUtf8String(setVersion), readCaption);
}

void FunctionReader::readFunctions()
{
    FrameServerClient client(m_options);
    std::optional<InterpreterFunctions> found;
    std::string error;
    bool answered = false;
    FrameServerClient::Events events;
    events.functionsListed = [&](const InterpreterFunctions& functions) {
        found = functions;
        answered = true;
    };
    events.functionsFailed = [&](const std::string& text) {
        error = text;
        answered = true;
    };
    client.setEvents(events);
    client.requestFunctions();

    // A nested event loop, as a modal dialog runs one: the window stays
    // painted while the plugins load.
    QProgressDialog progress(QStringLiteral("Loading AviSynth+ and its plugins..."), QStringLiteral("Cancel"), 0, 0,
                             &m_window);
    progress.setWindowTitle(readCaption);
    progress.setWindowModality(Qt::WindowModal);
    QTimer::singleShot(progressAfterMs, &progress, [&] {
        if (!answered) progress.show();
    });
    QEventLoop loop;
    QSocketNotifier notifier(client.eventFd(), QSocketNotifier::Read);
    connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
        client.onReadable();
        if (answered) loop.quit();
    });
    bool cancelled = false;
    connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        client.stop();
    });
    // Until the progress shows, the menu is still there to be used.
    if (m_item) m_item->setEnabled(false);
    if (!answered) loop.exec();
    if (m_item) m_item->setEnabled(true);
    progress.reset();
    client.shutdown();

    if (cancelled) return;
    if (!found) {
        showError(QStringLiteral("The functions of AviSynth+ could not be read.\r\n") + fromUtf8String(error));
        return;
    }
    const std::string name = writeInstalledSet(*found, m_settings.definitionFolders(), error);
    if (name.empty()) {
        showError(QStringLiteral("The definition set could not be written.\r\n") + fromUtf8String(error));
        return;
    }
    m_sets.adopt(fromUtf8String(name));
    emit setWritten();
}

} // namespace cw
