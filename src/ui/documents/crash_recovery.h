#pragma once

#include "core/documents/recovery_schedule.h"
#include "core/documents/recovery_store.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

namespace cw {

class CodeSense;
class DocumentSession;

// Keeps a copy of the document's unsaved changes in the user's state
// folder, so that a crash or a kill loses nothing, and offers at start-up
// what ended runs left there. The text is taken between keystrokes and
// written on a thread of its own, so typing never waits for the disk.
class CrashRecovery : public QObject {
    Q_OBJECT
public:
    CrashRecovery(CodeSense& editor, DocumentSession& documents, const std::string& folder);

    // Asks about each text an ended run left, oldest first: Yes makes it the
    // document, No keeps it as a dated backup until the next start. Once one
    // is taken the others wait for a later start, so none replaces another.
    void offerRecovery();
    // Clean exit: the copy goes.
    void finish();

signals:
    // A copy could not be written: the changes are no longer covered.
    void noticed(const QString& text);

private:
    void changed();
    void copyWhenDue();
    void armTimer(RecoverySchedule::Clock::time_point now);
    void dropCopy();

    CodeSense& m_editor;
    DocumentSession& m_documents;
    // The writer thread's, apart from offerRecovery and finish, which run
    // while nothing is queued that could touch the lock or the claims.
    RecoveryStore m_store;
    RecoverySchedule m_schedule;
    QTimer m_timer;
    QString m_lastFailure; // the writer thread's alone
    // One thread, so copies and removals reach the disk in the order asked;
    // declared last, so it finishes its work before the store goes.
    QThreadPool m_writer;
};

} // namespace cw
