#include "core/documents/script_file.h"

#include "core/base/paths.h"

namespace cw {

bool isAvsScript(const std::string& path)
{
    return fileExtension(path) == "avs";
}

std::optional<DecodedText> readScriptFile(const std::string& path, std::string* error)
{
    std::string reason;
    const std::optional<std::string> bytes = readFileBytes(path, &reason);
    if (!bytes) {
        if (error) *error = "unable to load: " + reason;
        return std::nullopt;
    }
    return decodeText(*bytes);
}

WriteResult writeScriptFile(const std::string& path, const std::string& utf8, TextEncoding& encoding,
                            const std::string& lineEnd)
{
    TextEncoding used = encoding;
    const std::string bytes = encodeText(withFinalLineEnd(utf8, lineEnd), used);
    WriteResult result = writeFile(path, bytes);
    if (result.ok()) encoding = used;
    return result;
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
