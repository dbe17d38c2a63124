#pragma once

#include <optional>
#include <string>

namespace cw {

// The whole file as bytes, or nothing when it cannot be opened or read.
std::optional<std::string> readFileBytes(const std::string& path);

// Replaces path with bytes: written to a temporary file in the target's
// folder, flushed to disk, then renamed over the target, so the old file
// stays whole if anything fails. A symbolic link is followed and kept, and
// an existing target's permission bits are kept. Returns the empty string on
// success, else "path: reason" with the system's reason.
std::string writeFileAtomically(const std::string& path, const std::string& bytes);

// A text file as the program writes it: the text, then one line end.
inline std::string writeTextFile(const std::string& path, const std::string& text,
                                 const std::string& lineEnd = "\r\n")
{
    return writeFileAtomically(path, text + lineEnd);
}

} // namespace cw
