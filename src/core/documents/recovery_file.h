#pragma once

#include "core/base/text_encoding.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace cw {

// A copy of a document's unsaved text, kept so that the text outlives a
// crash of the program, with what is needed to save it where and as it was.
struct RecoveryRecord {
    std::string path; // the document's file; "" for an untitled one
    DecodedText text;
};

// The record as a file: a few header lines, an empty line, then the text as
// UTF-8, byte for byte.
std::string encodeRecovery(const RecoveryRecord& record);
// Nothing for anything encodeRecovery did not make, a cut-off file included.
std::optional<RecoveryRecord> decodeRecovery(std::string_view bytes);

// time in the local time zone, through strftime's format; "" when it fails.
std::string localTimeText(std::time_t time, const char* format);

// "Recover the unsaved changes to <path or Untitled> from <local date and time>?"
std::string recoveryQuestion(const std::string& path, std::time_t savedAt);

} // namespace cw
