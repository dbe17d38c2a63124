#pragma once

#include <cstddef>
#include <string>

// Every text of the frame server and its client that can reach the user.
namespace cw {

// Loading AviSynth+ (the text for a library not found is aviSynthNotFoundText
// in core/preview/library_search.h, which knows how the program was installed).
std::string aviSynthUnusableText(const std::string& libraryName);
std::string scriptEnvironmentFailedText();

// Opening a script.
std::string scriptFailedText();
std::string scriptNotAClipText();
std::string clipNotRgbText();
std::string clipWithoutVideoText();
std::string clipTooLargeText(int width, int height);

// Opening a media file.
std::string mediaCannotOpenText(const std::string& path, const std::string& reason);
std::string mediaCannotReadText(const std::string& path, const std::string& reason);
std::string mediaNoVideoText(const std::string& path);
std::string mediaCannotDecodeText(const std::string& path, const std::string& reason);
std::string mediaNoFramesText();
std::string ffmpegModuleMissingText(const std::string& reason);

// Frames.
std::string frameOutsideClipText(int number);
std::string noClipOpenText();
std::string frameNotProducedText(int number);
std::string frameEmptyText(int number);
// AviSynth+ handed over a frame whose shape is not the clip's, or whose rows
// lie outside its buffer.
std::string frameShapeText(int number, int rowSize, int rows, int pitch, int width, int height);
std::string frameOutsideBufferText(int number, int rows, int pitch, std::size_t bufferBytes);
std::string frameBeyondAnyBufferText(int number, int rows, int pitch);
std::string frameDecodingFailedText(const std::string& reason);
std::string frameNotDecodedText(int number);
std::string seekingFailedText();
std::string pictureNotConvertibleText();
std::string outOfMemoryText();

// Reading the functions of AviSynth+.
std::string aviSynthWithoutVariablesText();
std::string autoloadFailedText(const std::string& reason);
std::string tooManyFunctionsText(std::size_t count);

// The frame server process, as the editor sees it. activity is one of the
// texts below or "".
std::string whileOpeningScriptText();
std::string whileOpeningMediaText();
std::string whileRenderingText(int number);
std::string whileReadingFunctionsText();
std::string frameServerNotStartedText(const std::string& program, const std::string& reason);
// how: "signal 11, Segmentation fault" or "exit code 1". lastOutput, when
// not empty, follows on lines of its own.
std::string frameServerStoppedText(const std::string& how, const std::string& activity,
                                   const std::string& lastOutput);
std::string frameServerStoppedByUserText(const std::string& activity);
std::string frameServerMalformedText(const std::string& detail);
std::string frameServerNotListeningText(const std::string& reason);

} // namespace cw
