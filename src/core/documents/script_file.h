#pragma once

#include "core/base/text_encoding.h"
#include "core/base/text_file.h"

#include <optional>
#include <string>

namespace cw {

// Scripts are recognised by their extension, compared lower-cased.
bool isAvsScript(const std::string& path);

// The script's text as the editor takes it, with what is needed to write it
// back byte for byte; nothing when the file cannot be read, and error (when
// given) then holds the message for the user. Only a regular file is read:
// a pipe, a device or a folder is refused at once, never waited on.
std::optional<DecodedText> readScriptFile(const std::string& path, std::string* error = nullptr);

// Saves utf8, ending with lineEnd unless it already ends with a line end, in
// encoding (see writeFile for how the file is replaced, and what is refused);
// a character that encoding cannot hold makes the file UTF-8, and encoding
// then says so. A read-only file is left as it is and reported as such.
WriteResult writeScriptFile(const std::string& path, const std::string& utf8, TextEncoding& encoding,
                            const std::string& lineEnd);

// The user-facing texts about script files.
std::string notAvsScriptMessage(const std::string& path);
std::string unableToLoadMessage(const std::string& path);
std::string overwriteQuestion(const std::string& path);
// currentFile names the document, "Untitled" when it was never saved.
std::string saveChangesQuestion(const std::string& currentFile);

} // namespace cw
