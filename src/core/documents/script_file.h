#pragma once

#include "core/base/text_encoding.h"

#include <optional>
#include <string>

namespace cw {

// Scripts are recognised by their extension, compared lower-cased.
bool isAvsScript(const std::string& path);

// The script's text as the editor takes it, with what is needed to write it
// back byte for byte; nothing when the file cannot be read.
std::optional<DecodedText> readScriptFile(const std::string& path);

// Writes utf8 plus one lineEnd, replacing the file atomically, in encoding;
// a character that encoding cannot hold makes the file UTF-8, and encoding
// then says so. Returns "" on success, else "path: reason".
std::string writeScriptFile(const std::string& path, const std::string& utf8, TextEncoding& encoding,
                            const std::string& lineEnd);

// The user-facing texts about script files.
std::string notAvsScriptMessage(const std::string& path);
std::string unableToLoadMessage(const std::string& path);
std::string overwriteQuestion(const std::string& path);
// currentFile names the document, "Untitled" when it was never saved.
std::string saveChangesQuestion(const std::string& currentFile);

} // namespace cw
