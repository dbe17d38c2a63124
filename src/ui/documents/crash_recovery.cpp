#include "ui/documents/crash_recovery.h"

#include "ui/base/qt_strings.h"
#include "ui/documents/document_session.h"
#include "ui/editor/code_sense.h"
#include "ui/winsvc/prompt_service.h"

namespace cw {

using Clock = RecoverySchedule::Clock;

CrashRecovery::CrashRecovery(CodeSense& editor, DocumentSession& documents, const std::string& folder)
    : m_editor(editor), m_documents(documents), m_store(folder, recoveryInstanceId())
{
    m_writer.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CrashRecovery::copyWhenDue);
    connect(&editor, &CodeSense::textChangedByUser, this, &CrashRecovery::changed);
    // Changes that come without typing (a recovered text, an export over
    // the document's own file) are copied too.
    connect(&documents, &DocumentSession::stateChanged, this, [this] {
        if (m_documents.state().isModified())
            changed();
        else
            dropCopy();
    });
}

void CrashRecovery::offerRecovery()
{
    bool taken = false;
    for (const RecoveryStore::Left& left : m_store.claimLeft()) {
        if (taken) {
            m_store.release(left);
            continue;
        }
        const QString question = fromUtf8String(recoveryQuestion(left.record.path, left.savedAt));
        if (PromptService::current().question(QStringLiteral("Clipwright"), question, false,
                                              PromptService::Answer::Yes) != PromptService::Answer::Yes) {
            m_store.keepAsBackup(left);
            continue;
        }
        m_store.adopt(left);
        m_documents.restoreUnsaved(left.record.text, left.record.path);
        taken = true;
    }
}

void CrashRecovery::finish()
{
    m_timer.stop();
    m_writer.waitForDone();
    m_store.close();
}

void CrashRecovery::changed()
{
    if (!m_documents.state().isModified()) return;
    const Clock::time_point now = Clock::now();
    m_schedule.changed(now);
    // Set for the earliest moment the copy can be due; copyWhenDue waits
    // again while typing goes on, so a keystroke costs no timer call.
    if (!m_timer.isActive()) armTimer(now);
}

void CrashRecovery::armTimer(Clock::time_point now)
{
    if (const std::optional<Clock::time_point> due = m_schedule.dueAt())
        m_timer.start(std::max(std::chrono::ceil<std::chrono::milliseconds>(*due - now),
                               std::chrono::milliseconds(0)));
}

void CrashRecovery::copyWhenDue()
{
    const std::optional<Clock::time_point> due = m_schedule.dueAt();
    const Clock::time_point now = Clock::now();
    if (!due) return;
    if (now < *due) {
        armTimer(now);
        return;
    }
    m_schedule.copied();
    // The whole text, taken here on the editor's thread, is what gets
    // written, whatever the user types while the disk works.
    RecoveryRecord record{m_documents.state().currentFile(),
                          {m_editor.textUtf8(), m_editor.encoding(), m_editor.lineEnd()}};
    m_writer.start([this, record = std::move(record)] {
        const QString failure = fromUtf8String(m_store.write(record));
        if (failure == m_lastFailure) return;
        m_lastFailure = failure;
        if (!failure.isEmpty())
            emit noticed(QStringLiteral("Unsaved changes cannot be kept for recovery: ") + failure);
    });
}

void CrashRecovery::dropCopy()
{
    m_timer.stop();
    m_schedule.copied();
    m_writer.start([this] { m_store.remove(); });
}

} // namespace cw
