#include "core/frameserver/child_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string_view>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace cw {
namespace {

void closeFd(int& fd)
{
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// The spawned program's descriptors 0 to 3 are filled from these; taken
// above 3 first so that no dup2 overwrites a source it still needs.
int highCopy(int fd)
{
    const int copy = fcntl(fd, F_DUPFD_CLOEXEC, 10);
    ::close(fd);
    return copy;
}

} // namespace

ChildProcess::~ChildProcess()
{
    if (m_pid > 0) {
        kill();
        int status;
        reap(-1, status);
    }
    release();
}

void ChildProcess::release()
{
    closeFd(m_socket);
    closeFd(m_output);
    closeFd(m_endFd);
    m_pid = -1;
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                         std::string& error) {
    int pair[2], pipeEnds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        ::close(pair[0]);
        ::close(pair[1]);
        return false;
    }
    int theirSocket = highCopy(pair[1]);
    int theirOutput = highCopy(pipeEnds[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, theirOutput, 1);
    posix_spawn_file_actions_adddup2(&actions, theirOutput, 2);
    posix_spawn_file_actions_adddup2(&actions, theirSocket, 3);
    // Whatever the editor blocks or ignores stays its own.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(theirSocket);
    ::close(theirOutput);
    if (rc != 0) {
        error = std::strerror(rc);
        ::close(pair[0]);
        ::close(pipeEnds[0]);
        return false;
    }
    m_pid = pid;
    m_socket = pair[0];
    m_output = pipeEnds[0];
    fcntl(m_socket, F_SETFL, fcntl(m_socket, F_GETFL) | O_NONBLOCK);
    fcntl(m_output, F_SETFL, fcntl(m_output, F_GETFL) | O_NONBLOCK);
#ifdef SYS_pidfd_open
    m_endFd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#endif
    return true;
}

void ChildProcess::closeSocket() { closeFd(m_socket); }

void ChildProcess::kill()
{
    // Not reaped yet, so the id cannot belong to another process.
    if (m_pid > 0) ::kill(m_pid, SIGKILL);
}

bool ChildProcess::reap(int waitMs, int& status)
{
    if (m_pid <= 0) return false;
    pid_t done = waitpid(m_pid, &status, WNOHANG);
    if (done == 0 && waitMs != 0) {
        if (m_endFd >= 0 && waitMs > 0) {
            pollfd p{m_endFd, POLLIN, 0};
            while (poll(&p, 1, waitMs) < 0 && errno == EINTR) {
            }
            done = waitpid(m_pid, &status, WNOHANG);
        } else if (waitMs > 0) {
            for (int waited = 0; done == 0 && waited < waitMs; waited += 5) {
                usleep(5000);
                done = waitpid(m_pid, &status, WNOHANG);
            }
        } else {
            while ((done = waitpid(m_pid, &status, 0)) < 0 && errno == EINTR) {
            }
        }
    }
    if (done == 0) return false;
    if (done < 0) status = 0; // reaped elsewhere; nothing is left of it
    release();
    return true;
}

std::string describeWaitStatus(int status)
{
    if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        const char* name = sigdescr_np(sig);
        return "signal " + std::to_string(sig) + (name ? std::string(", ") + name : std::string());
    }
    return "exit code " + std::to_string(WEXITSTATUS(status));
}

void OutputTail::append(const char* data, std::size_t size)
{
    m_text.append(data, size);
    if (m_text.size() > m_capacity) {
        m_text.erase(0, m_text.size() - m_capacity);
        m_cut = true;
    }
}

std::string OutputTail::lastLines(int maxLines) const
{
    std::string_view text = m_text;
    if (m_cut) {
        const std::size_t firstEnd = text.find('\n');
        text = firstEnd == std::string_view::npos ? std::string_view() : text.substr(firstEnd + 1);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    if (maxLines <= 0) return {};
    std::size_t start = text.size();
    for (int lines = 0; start > 0;) {
        const std::size_t lineEnd = text.rfind('\n', start - 1);
        if (lineEnd == std::string_view::npos) {
            start = 0;
        } else if (++lines == maxLines) {
            start = lineEnd + 1;
            break;
        } else {
            start = lineEnd;
        }
    }
    return std::string(text.substr(start));
}

} // namespace cw
