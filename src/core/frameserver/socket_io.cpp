#include "core/frameserver/socket_io.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace cw {

bool sendMessage(int socket, const fsp::Message& message, int fd, std::string& error)
{
    const std::vector<std::uint8_t> bytes = fsp::encode(message);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        iovec io{const_cast<std::uint8_t*>(bytes.data() + sent), bytes.size() - sent};
        msghdr header{};
        header.msg_iov = &io;
        header.msg_iovlen = 1;
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
        if (fd >= 0 && sent == 0) {
            header.msg_control = control;
            header.msg_controllen = sizeof control;
            cmsghdr* c = CMSG_FIRSTHDR(&header);
            c->cmsg_level = SOL_SOCKET;
            c->cmsg_type = SCM_RIGHTS;
            c->cmsg_len = CMSG_LEN(sizeof(int));
            std::memcpy(CMSG_DATA(c), &fd, sizeof fd);
        }
        const ssize_t n = sendmsg(socket, &header, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = std::strerror(errno);
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

ssize_t receiveSome(int socket, fsp::MessageReader& reader, std::vector<int>& fds)
{
    std::uint8_t buffer[16384];
    iovec io{buffer, sizeof buffer};
    msghdr header{};
    header.msg_iov = &io;
    header.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(4 * sizeof(int))];
    header.msg_control = control;
    header.msg_controllen = sizeof control;
    ssize_t n;
    do {
        n = recvmsg(socket, &header, MSG_CMSG_CLOEXEC);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return n;
    for (cmsghdr* c = CMSG_FIRSTHDR(&header); c; c = CMSG_NXTHDR(&header, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS) continue;
        const std::size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int received;
            std::memcpy(&received, CMSG_DATA(c) + i * sizeof(int), sizeof received);
            fds.push_back(received);
        }
    }
    reader.append(buffer, static_cast<std::size_t>(n));
    if (header.msg_flags & MSG_CTRUNC) {
        errno = EMSGSIZE;
        return -1;
    }
    return n;
}

} // namespace cw
