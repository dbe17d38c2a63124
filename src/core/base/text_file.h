#pragma once

#include <optional>
#include <string>

namespace cw {

// The whole file as bytes, or nothing when it cannot be read; error (when
// given) then says why: "path: reason", or "path is not a regular file" for
// a folder, a pipe or a device. The file is opened without blocking and
// checked after opening, so a pipe with no writer is refused at once and
// what was checked is what is read.
std::optional<std::string> readFileBytes(const std::string& path, std::string* error = nullptr);

enum class WriteMode {
    // A file of the user's: a symbolic link is followed and kept; the
    // permission bits, the owner and group (as far as the program may set
    // them) and every hard link are kept. A read-only file, or one that is
    // not a regular file, is refused and left as it is.
    Save,
    // A file of the program's own in a folder it trusts: whatever has the
    // name, a planted symbolic link included, is replaced by a new file and
    // never written through.
    Replace,
};

enum class WriteFailure {
    None,
    ReadOnly, // the user may not write the file: another name is the way out
    Other,
};

struct WriteResult {
    WriteFailure failure = WriteFailure::None;
    std::string message; // "" on success, else the path and the reason
    bool ok() const { return failure == WriteFailure::None; }
};

// Replaces path with bytes so that a failure leaves the old file whole: the
// bytes go to a temporary file beside the target, are flushed to disk, and
// the temporary file is then renamed over the target. A target whose other
// hard links must see the new text, or whose owner the program may not give
// to a new file, is instead overwritten in place from the finished copy.
WriteResult writeFile(const std::string& path, const std::string& bytes, WriteMode mode = WriteMode::Save);

// writeFile for callers that only show the message: "" on success.
inline std::string writeFileAtomically(const std::string& path, const std::string& bytes,
                                       WriteMode mode = WriteMode::Save)
{
    return writeFile(path, bytes, mode).message;
}

// The text with lineEnd added unless it already ends with a line end, so
// that text read from a file writes back to the same bytes.
inline std::string withFinalLineEnd(const std::string& text, const std::string& lineEnd)
{
    const bool ended = !text.empty() && (text.back() == '\n' || text.back() == '\r');
    return ended ? text : text + lineEnd;
}

// A text file as the program writes it: the text, ending with a line end.
inline std::string writeTextFile(const std::string& path, const std::string& text,
                                 const std::string& lineEnd = "\r\n", WriteMode mode = WriteMode::Save)
{
    return writeFileAtomically(path, withFinalLineEnd(text, lineEnd), mode);
}

} // namespace cw
