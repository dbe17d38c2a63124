#include "core/frameserver/frame_server_texts.h"

namespace cw {
namespace {

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

std::string withActivity(std::string text, const std::string& activity)
{
    if (!activity.empty()) text += " " + activity;
    return text + ".";
}

} // namespace

std::string aviSynthUnusableText(const std::string& libraryName)
{
    return libraryName + " is not a usable AviSynth+ library (a function is missing); install AviSynth+ 3.7 "
                         "or newer.";
}

std::string scriptEnvironmentFailedText() { return "AviSynth+ could not create a script environment."; }
std::string scriptFailedText() { return "The script failed."; }
std::string scriptNotAClipText() { return "The script did not return a clip."; }
std::string clipNotRgbText() { return "The clip cannot be shown as RGB."; }
std::string clipWithoutVideoText() { return "The script's clip holds no video."; }

std::string clipTooLargeText(int width, int height)
{
    return "The clip's frames (" + std::to_string(width) + "x" + std::to_string(height) +
           ") are too large to preview.";
}

std::string mediaCannotOpenText(const std::string& path, const std::string& reason)
{
    return "Cannot open " + quoted(path) + ": " + reason;
}

std::string mediaCannotReadText(const std::string& path, const std::string& reason)
{
    return "Cannot read " + quoted(path) + ": " + reason;
}

std::string mediaNoVideoText(const std::string& path)
{
    return quoted(path) + " holds no video that can be decoded.";
}

std::string mediaCannotDecodeText(const std::string& path, const std::string& reason)
{
    return "Cannot decode " + quoted(path) + ": " + reason;
}

std::string mediaNoFramesText() { return "The video holds no frames."; }

std::string ffmpegModuleMissingText(const std::string& reason)
{
    return "Media files cannot be opened: the frame server's FFmpeg module is missing or broken (" + reason + ").";
}

std::string frameOutsideClipText(int number) {
    return "Frame " + std::to_string(number) + " is outside the clip.";
}
std::string noClipOpenText() { return "No clip is open."; }

std::string frameNotProducedText(int number)
{
    return "AviSynth+ could not produce frame " + std::to_string(number) + ".";
}

std::string frameEmptyText(int number) {
    return "AviSynth+ returned an empty frame " + std::to_string(number) + ".";
}

std::string frameShapeText(int number, int rowSize, int rows, int pitch, int width, int height)
{
    return "AviSynth+ returned frame " + std::to_string(number) + " as " + std::to_string(rows) +
           " rows of " + std::to_string(rowSize) + " bytes, " + std::to_string(pitch) +
           " bytes apart, for a clip of " + std::to_string(width) + "x" + std::to_string(height) +
           "; the frame is not shown.";
}

std::string frameOutsideBufferText(int number, int rows, int pitch, std::size_t bufferBytes)
{
    return "AviSynth+ returned frame " + std::to_string(number) + " as " + std::to_string(rows) + " rows " +
           std::to_string(pitch) + " bytes apart in a buffer of " + std::to_string(bufferBytes) +
           " bytes; the frame is not shown.";
}

std::string frameBeyondAnyBufferText(int number, int rows, int pitch)
{
    return "AviSynth+ returned frame " + std::to_string(number) + " as " + std::to_string(rows) + " rows " +
           std::to_string(pitch) + " bytes apart, more than a frame buffer can hold; the frame is not shown.";
}

std::string frameDecodingFailedText(const std::string& reason) { return "Decoding failed: " + reason; }
std::string frameNotDecodedText(int number) {
    return "Frame " + std::to_string(number) + " could not be decoded.";
}
std::string seekingFailedText() { return "Seeking failed."; }
std::string pictureNotConvertibleText() { return "The picture format cannot be converted."; }
std::string outOfMemoryText() { return "Out of memory."; }

std::string aviSynthWithoutVariablesText()
{
    return "This AviSynth+ cannot tell which functions it has (avs_get_var is missing); install AviSynth+ 3.7 "
           "or newer.";
}

std::string autoloadFailedText(const std::string& reason)
{
    return "AviSynth+ could not load its autoload plugins: " + reason;
}

std::string tooManyFunctionsText(std::size_t count)
{
    return "AviSynth+ lists " + std::to_string(count) + " functions, more than the frame server can send.";
}

std::string whileOpeningScriptText() { return "while opening the script"; }
std::string whileOpeningMediaText() { return "while opening the media file"; }
std::string whileRenderingText(int number) { return "while rendering frame " + std::to_string(number); }
std::string whileReadingFunctionsText() { return "while loading the plugins of AviSynth+"; }

std::string frameServerNotStartedText(const std::string& program, const std::string& reason)
{
    return "The frame server could not be started (" + program + ": " + reason + ").";
}

std::string frameServerStoppedText(const std::string& how, const std::string& activity,
                                   const std::string& lastOutput)
{
    std::string text = withActivity("The frame server stopped (" + how + ")", activity);
    if (!lastOutput.empty()) text += "\n" + lastOutput;
    return text;
}

std::string frameServerStoppedByUserText(const std::string& activity)
{
    return withActivity("The frame server was stopped", activity);
}

std::string frameServerMalformedText(const std::string& detail)
{
    return "The frame server sent a reply that cannot be read (" + detail + "); it was stopped.";
}

std::string frameServerNotListeningText(const std::string& reason)
{
    return "The frame server no longer takes requests (" + reason + "); it was stopped.";
}

} // namespace cw
