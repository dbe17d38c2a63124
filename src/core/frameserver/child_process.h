#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace cw {

// A program started with a socket to talk to and a pipe for what it writes:
// in the program, descriptor 3 is the other end of socket(), standard input
// reads nothing and standard output and error both go to output().
class ChildProcess {
public:
    ChildProcess() = default;
    // Kills the program if it still runs and reaps it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // No shell: program is run as given. false with the reason when it
    // cannot be run at all.
    bool start(const std::string& program, const std::vector<std::string>& arguments, std::string& error);

    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    int socket() const { return m_socket; }
    int output() const { return m_output; }
    // Readable once the program has ended; -1 where the system has no such
    // descriptor (then the end shows as the end of socket()).
    int endFd() const { return m_endFd; }

    void closeSocket();
    void kill();
    // Reaps the program: at once when it has ended, else after waiting up
    // to waitMs (0: not at all). true with its wait status when reaped.
    bool reap(int waitMs, int& status);

private:
    void release();

    pid_t m_pid = -1;
    int m_socket = -1;
    int m_output = -1;
    int m_endFd = -1;
};

// "exit code 3" or "signal 11, Segmentation fault".
std::string describeWaitStatus(int status);

// A bounded tail of a program's output, for the lines before it ended.
class OutputTail {
public:
    explicit OutputTail(std::size_t capacity = 8192) : m_capacity(capacity) {}
    void append(const char* data, std::size_t size);
    void clear() { m_text.clear(); }
    // The last maxLines complete or partial lines, without a final line end;
    // a line cut off at the front of the tail is left out.
    std::string lastLines(int maxLines) const;

private:
    std::size_t m_capacity;
    std::string m_text;
    bool m_cut = false;
};

} // namespace cw
