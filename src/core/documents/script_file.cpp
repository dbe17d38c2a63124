#include "core/documents/script_file.h"

#include "core/base/paths.h"
#include "core/base/text_file.h"

namespace cw {

bool isAvsScript(const std::string& path)
{
    return fileExtension(path) == "avs";
}

std::optional<DecodedText> readScriptFile(const std::string& path)
{
    const std::optional<std::string> bytes = readFileBytes(path);
    if (!bytes) return std::nullopt;
    return decodeText(*bytes);
}

std::string writeScriptFile(const std::string& path, const std::string& utf8, TextEncoding& encoding,
                            const std::string& lineEnd)
{
    TextEncoding used = encoding;
    const std::string bytes = encodeText(utf8 + lineEnd, used);
    std::string error = writeFileAtomically(path, bytes);
    if (error.empty()) encoding = used;
    return error;
}

std::string notAvsScriptMessage(const std::string& path)
{
    return path + " is not an Avisynth script";
}

std::string unableToLoadMessage(const std::string& path)
{
    return "unable to load: " + path + "\r\nfile does not exist !";
}

std::string overwriteQuestion(const std::string& path)
{
    return "Overwrite " + path + "?";
}

std::string saveChangesQuestion(const std::string& currentFile)
{
    return "Save changes to " + (currentFile.empty() ? std::string("Untitled") : currentFile) + "?";
}

} // namespace cw
