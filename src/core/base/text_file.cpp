#include "core/base/text_file.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cw {
namespace {

std::string systemReason(const std::string& path, int err)
{
    return path + ": " + std::strerror(err);
}

std::string notRegularFile(const std::string& path)
{
    return path + " is not a regular file";
}

WriteResult failed(std::string message, WriteFailure kind = WriteFailure::Other)
{
    return {kind, std::move(message)};
}

// Follows a chain of symbolic links to the file that is really written.
std::string resolveLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf - 1);
        if (n < 0) break;
        std::string target(buf, static_cast<std::size_t>(n));
        if (target.empty() || target[0] != '/') {
            const auto slash = path.rfind('/');
            target = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
        }
        path = std::move(target);
    }
    return path;
}

mode_t defaultFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Root passes every permission check, so a file without any write bit
// counts as read-only for root too: whoever cleared the bits meant it.
bool isReadOnly(const std::string& path, const struct stat& st)
{
    if ((st.st_mode & 0222) == 0) return true;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EROFS);
}

// 0, or the errno of the write that failed.
int writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

struct InPlaceResult {
    std::string error;
    bool touched = false; // the old text may no longer be whole
};

// Writes the bytes over the file that `expected` describes, so that every
// hard link sees them and its owner and group stay. The caller holds the
// finished text in a flushed temporary file. Space is reserved before the
// first byte is overwritten, so a full disk stops the save while the old
// text is still whole. The window of risk accepted: a crash or an I/O error
// between the first overwrite and the final flush leaves the file holding a
// mix of old and new text; the caller then keeps the temporary file, so the
// new text survives whole beside it.
InPlaceResult overwriteInPlace(const std::string& path, const std::string& target,
                               const struct stat& expected, const std::string& bytes)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return {systemReason(path, errno)};
    InPlaceResult result;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        result.error = systemReason(path, errno);
    } else if (st.st_dev != expected.st_dev || st.st_ino != expected.st_ino) {
        result.error = path + ": the file was replaced while it was being saved";
    } else if (!bytes.empty() &&
               ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
               errno != EOPNOTSUPP && errno != ENOSYS) {
        result.error = systemReason(path, errno);
    } else {
        result.touched = true;
        if (const int err = writeAll(fd, bytes); err != 0)
            result.error = systemReason(path, err);
        else if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd) != 0)
            result.error = systemReason(path, errno);
    }
    if (::close(fd) != 0 && result.error.empty()) result.error = systemReason(path, errno);
    return result;
}

} // namespace

std::optional<std::string> readFileBytes(const std::string& path, std::string* error)
{
    const auto fail = [&](std::string message) -> std::optional<std::string> {
        if (error) *error = std::move(message);
        return std::nullopt;
    };
    // Checked before opening as well, so that no device is ever opened.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return fail(notRegularFile(path));
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return fail(systemReason(path, errno));
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(systemReason(path, err));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(notRegularFile(path));
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return fail(systemReason(path, err));
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

WriteResult writeFile(const std::string& path, const std::string& bytes, WriteMode mode)
{
    const std::string target = mode == WriteMode::Save ? resolveLinks(path) : path;
    struct stat old {};
    bool exists = false;
    if (mode == WriteMode::Save) {
        if (::stat(target.c_str(), &old) == 0) {
            exists = true;
            if (!S_ISREG(old.st_mode)) return failed(notRegularFile(path));
            if (isReadOnly(target, old))
                return failed(path + ": the file is read-only", WriteFailure::ReadOnly);
        } else if (errno != ENOENT) {
            return failed(systemReason(path, errno));
        }
    }

    const auto slash = target.rfind('/');
    std::string temp = (slash == std::string::npos ? std::string("./") : target.substr(0, slash + 1)) +
                       ".clipwright-XXXXXX";
    // A name of our own, created here and now: nothing planted under it can
    // be followed.
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return failed(systemReason(path, errno));

    int err = writeAll(fd, bytes);
    // A new file belongs to whoever writes it. Where the owner or the group
    // cannot be given back (a user saving another's file), the new text is
    // written in place instead, which leaves both as they are.
    const bool ownerKept = !exists || ::fchown(fd, old.st_uid, old.st_gid) == 0;
    if (err == 0 && ::fchmod(fd, exists ? old.st_mode & 07777 : defaultFileMode()) != 0) err = errno;
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return failed(systemReason(path, err));
    }

    if (exists && (old.st_nlink > 1 || !ownerKept)) {
        const InPlaceResult written = overwriteInPlace(path, target, old, bytes);
        if (written.error.empty() || !written.touched) ::unlink(temp.c_str());
        if (written.error.empty()) return {};
        if (!written.touched) return failed(written.error);
        return failed(written.error + " (the new text is kept in " + temp + ")");
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        err = errno;
        ::unlink(temp.c_str());
        return failed(systemReason(path, err));
    }
    return {};
}

} // namespace cw
