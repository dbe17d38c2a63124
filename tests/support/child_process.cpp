#include "support/child_process.h"

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

namespace cw::test {

std::optional<std::string> runInChild(const std::function<std::string()>& work, unsigned seconds)
{
    int out[2];
    if (::pipe(out) != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        ::close(out[0]);
        ::alarm(seconds); // a hang ends the child, and the test sees nothing came back
        const std::string text = work();
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t n = ::write(out[1], text.data() + done, text.size() - done);
            if (n <= 0) ::_exit(2);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(out[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) != 0;) {
        if (n > 0) text.append(buf, static_cast<std::size_t>(n));
        else if (errno != EINTR) break;
    }
    ::close(out[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return text;
}

} // namespace cw::test
