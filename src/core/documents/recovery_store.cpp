#include "core/documents/recovery_store.h"

#include "core/base/paths.h"
#include "core/base/text_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cw {
namespace {

const std::string lockSuffix = ".lock", copySuffix = ".recovery", backupSuffix = ".backup";

// The instance a file of the store belongs to, "" for any other file.
std::string instanceOf(const std::string& name)
{
    const auto dot = name.find('.');
    if (dot == 0 || dot == std::string::npos) return {};
    const std::string_view rest = std::string_view(name).substr(dot);
    if (rest != lockSuffix && rest != copySuffix && !rest.ends_with(backupSuffix)) return {};
    const std::string id = name.substr(0, dot);
    const bool plain = std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
    });
    return plain ? id : std::string();
}

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir))
        names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names;
}

} // namespace

std::string recoveryInstanceId()
{
    const auto started = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return std::to_string(::getpid()) + "-" + std::to_string(started.count());
}

RecoveryStore::RecoveryStore(std::string folder, std::string instanceId)
    : m_folder(std::move(folder)), m_id(std::move(instanceId))
{
}

RecoveryStore::~RecoveryStore()
{
    for (const auto& [instance, fd] : m_claims)
        ::close(fd);
    if (m_lock >= 0) ::close(m_lock);
}

std::string RecoveryStore::file(const std::string& instance, const std::string& suffix) const
{
    return m_folder + "/" + instance + suffix;
}

// The instance's lock, now held by this one, or -1 while its owner runs.
int RecoveryStore::lock(const std::string& instance) const
{
    const std::string path = file(instance, lockSuffix);
    // Not inherited by child processes: a frame server outliving a crash
    // must not keep the crashed instance's files looking alive.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return -1;
    // A lock file its owner removed while this one waited locks nothing.
    struct stat held {}, named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 || ::stat(path.c_str(), &named) != 0 ||
        held.st_ino != named.st_ino || held.st_dev != named.st_dev) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool RecoveryStore::holdOwnLock()
{
    if (m_lock < 0 && makePrivateFolder(m_folder)) m_lock = lock(m_id);
    return m_lock >= 0;
}

void RecoveryStore::finishClaim(const std::string& instance)
{
    const auto claim = m_claims.find(instance);
    if (claim == m_claims.end()) return;
    ::unlink(file(instance, lockSuffix).c_str());
    ::close(claim->second);
    m_claims.erase(claim);
}

std::vector<RecoveryStore::Left> RecoveryStore::claimLeft()
{
    const std::vector<std::string> names = namesIn(m_folder);
    std::set<std::string> instances;
    for (const std::string& name : names)
        if (const std::string id = instanceOf(name); !id.empty() && id != m_id && !m_claims.contains(id))
            instances.insert(id);

    std::vector<Left> left;
    for (const std::string& id : instances) {
        const int fd = lock(id);
        if (fd < 0) continue;
        m_claims[id] = fd;
        for (const std::string& name : names)
            if (name.starts_with(id + ".") && name.ends_with(backupSuffix))
                ::unlink((m_folder + "/" + name).c_str());

        const std::string copy = file(id, copySuffix);
        struct stat st {};
        if (::stat(copy.c_str(), &st) != 0 && errno == ENOENT) {
            finishClaim(id);
            continue;
        }
        const std::optional<std::string> bytes = readFileBytes(copy);
        std::optional<RecoveryRecord> record = bytes ? decodeRecovery(*bytes) : std::nullopt;
        if (!record) {
            finishClaim(id); // the lock goes, the file stays for whoever can read it
            continue;
        }
        left.push_back({id, st.st_mtime, std::move(*record)});
    }
    std::stable_sort(left.begin(), left.end(),
                     [](const Left& a, const Left& b) { return a.savedAt < b.savedAt; });
    return left;
}

void RecoveryStore::adopt(const Left& left)
{
    if (!holdOwnLock() ||
        ::rename(file(left.instance, copySuffix).c_str(), file(m_id, copySuffix).c_str()) != 0) {
        release(left);
        return;
    }
    finishClaim(left.instance);
}

void RecoveryStore::keepAsBackup(const Left& left)
{
    const std::string from = file(left.instance, copySuffix);
    const std::string date = localTimeText(left.savedAt, "%Y-%m-%d-%H%M%S");
    if (holdOwnLock()) {
        // Two texts saved in the same second keep a name each. Only this
        // instance makes names with its id, so nobody can take one between
        // the look and the rename.
        for (int n = 1; n < 100; ++n) {
            const std::string to = file(m_id, "." + date + (n > 1 ? "-" + std::to_string(n) : "") +
                                                  backupSuffix);
            if (fileExists(to)) continue;
            if (::rename(from.c_str(), to.c_str()) == 0) {
                finishClaim(left.instance);
                return;
            }
            break;
        }
    }
    release(left);
}

void RecoveryStore::release(const Left& left)
{
    const auto claim = m_claims.find(left.instance);
    if (claim == m_claims.end()) return;
    ::close(claim->second);
    m_claims.erase(claim);
}

std::string RecoveryStore::write(const RecoveryRecord& record)
{
    if (!holdOwnLock()) return m_folder + ": not a folder of this user's own that others cannot enter";
    return writeFile(file(m_id, copySuffix), encodeRecovery(record), WriteMode::Replace).message;
}

void RecoveryStore::remove()
{
    ::unlink(file(m_id, copySuffix).c_str());
}

void RecoveryStore::close()
{
    remove();
    if (m_lock < 0) return;
    ::unlink(file(m_id, lockSuffix).c_str());
    ::close(m_lock);
    m_lock = -1;
}

} // namespace cw
