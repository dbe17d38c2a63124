#pragma once

#include "core/documents/recovery_file.h"

#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace cw {

// This run's name among the program's runs: its process id and the moment
// it started, so that a process id handed out again never makes one run
// take another's files for its own.
std::string recoveryInstanceId();

// The recovery files of one user, shared by every running instance of the
// program. Each instance names its files with its id and holds a lock
// (flock) on its own lock file for as long as it runs; the system drops the
// lock however the process ends, so files whose lock is free were left by an
// instance that ended without closing cleanly (a crash, a kill, a power
// cut). Files: <id>.lock, <id>.recovery (the copy of the unsaved text) and
// <id>.<date>.backup (a copy the user declined to recover, kept until a
// start after that instance ends).
class RecoveryStore {
public:
    RecoveryStore(std::string folder, std::string instanceId);
    ~RecoveryStore(); // releases the locks; the files stay
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // A text an ended instance left.
    struct Left {
        std::string instance;
        std::time_t savedAt = 0;
        RecoveryRecord record;
    };
    // What ended instances left, oldest first. Each stays claimed (other
    // instances pass it by) until it is adopted, kept or released. The
    // declined copies those instances kept are removed now; a file that
    // cannot be read is left as it is.
    std::vector<Left> claimLeft();
    // The text becomes this instance's copy.
    void adopt(const Left& left);
    // The text is kept, named with its date, until a start after this
    // instance ends.
    void keepAsBackup(const Left& left);
    // The text stays for a later start to offer. Also what adopt and
    // keepAsBackup fall back to when the file cannot be moved.
    void release(const Left& left);

    // Replaces this instance's copy; "" or the reason it failed.
    std::string write(const RecoveryRecord& record);
    // This instance's copy goes: the text was saved or given up.
    void remove();
    // Clean exit: the copy and the lock go; backups stay until the next start.
    void close();

private:
    std::string file(const std::string& instance, const std::string& suffix) const;
    int lock(const std::string& instance) const;
    bool holdOwnLock();
    void finishClaim(const std::string& instance);

    std::string m_folder;
    std::string m_id;
    int m_lock = -1;
    std::map<std::string, int> m_claims; // instance -> its lock, held
};

} // namespace cw
