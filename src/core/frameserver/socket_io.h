#pragma once

#include "core/frameserver/protocol.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace cw {

// Writes one message in full on a stream socket, with fd (when >= 0)
// travelling beside it. Never raises SIGPIPE. On a non-blocking socket a
// full buffer is a failure: the peer has stopped reading.
bool sendMessage(int socket, const fsp::Message& message, int fd, std::string& error);

// One read: the bytes go to reader, received descriptors (close-on-exec) to
// fds. Returns the byte count, 0 at the end of the stream, -1 with errno
// set (EAGAIN on a non-blocking socket with nothing to read; EMSGSIZE when
// descriptors were lost because too many came at once).
ssize_t receiveSome(int socket, fsp::MessageReader& reader, std::vector<int>& fds);

} // namespace cw
