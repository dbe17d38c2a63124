#pragma once

#include "core/frameserver/interpreter_functions.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace cw {

// What the frame server knows of an open clip.
struct ClipFacts {
    int width = 0;
    int height = 0;
    // The exact rate; both 0 when the source gives none.
    std::uint32_t rateNumerator = 0;
    std::uint32_t rateDenominator = 0;
    int frameCount = 0;
    // The clip's own colour format before it is turned into RGB for showing
    // ("YV12", "YUV420P10", "yuv420p"), and its bits per component.
    std::string format;
    int bitDepth = 0;
    // 0 and 0 for a clip without sound.
    int audioRate = 0;
    int audioChannels = 0;

    bool operator==(const ClipFacts&) const = default;
};

// One frame property as text: type is "int", "float", "data", "clip",
// "frame" or another word the frame server chose; an array's values are
// joined by ", ".
struct FrameProperty {
    std::string key;
    std::string type;
    std::string value;

    bool operator==(const FrameProperty&) const = default;
};

// One component of a pixel as the clip stores it, before any conversion:
// name "Y", "U", "V", "R", "G" or "B"; value as text ("235", "0.5019608").
struct PixelComponent {
    std::string name;
    std::string value;

    bool operator==(const PixelComponent&) const = default;
};

enum class SourceKind : std::uint8_t { script = 0, mediaFile = 1 };

// script: AviSynth+ ran the script and rejected it or its clip; running it
// again gives the same answer (and repeats whatever else the script does).
enum class OpenFailureKind : std::uint8_t { script = 0, other = 1 };

// The messages between the editor and its frame server. Requests go to the
// server, each answered in order by one reply.
namespace fsp {

inline constexpr std::uint16_t version = 1;
// length (4), version (2), type (2); then the body.
inline constexpr std::size_t headerBytes = 8;
inline constexpr std::size_t maxBodyBytes = 1 << 20;

struct Hello {
    bool operator==(const Hello&) const = default;
};
struct HelloReply {
    std::uint32_t pid = 0;
    bool operator==(const HelloReply&) const = default;
};
struct Open {
    SourceKind kind = SourceKind::script;
    std::string path;
    bool operator==(const Open&) const = default;
};
// The shared memory the frames are written to travels beside this reply
// as a file descriptor.
struct Opened {
    ClipFacts facts;
    bool operator==(const Opened&) const = default;
};
struct OpenFailed {
    OpenFailureKind kind = OpenFailureKind::other;
    std::string text;
    bool operator==(const OpenFailed&) const = default;
};
// Frame number into slot 0 or 1 of the shared memory.
struct Frame {
    std::int32_t number = 0;
    std::uint8_t slot = 0;
    bool operator==(const Frame&) const = default;
};
struct FrameReady {
    std::int32_t number = 0;
    std::uint8_t slot = 0;
    std::vector<FrameProperty> properties;
    bool operator==(const FrameReady&) const = default;
};
struct FrameFailed {
    std::int32_t number = 0;
    std::string text;
    bool operator==(const FrameFailed&) const = default;
};
struct Close {
    bool operator==(const Close&) const = default;
};
struct Closed {
    bool operator==(const Closed&) const = default;
};
struct Ping {
    std::uint32_t token = 0;
    bool operator==(const Ping&) const = default;
};
struct Pong {
    std::uint32_t token = 0;
    bool operator==(const Pong&) const = default;
};
// Which functions the AviSynth+ the server loads offers, its autoload
// plugins loaded. The server keeps those plugins for the rest of its life:
// the editor asks a server of its own and ends it afterwards.
struct Functions {
    bool operator==(const Functions&) const = default;
};
struct FunctionList {
    InterpreterFunctions functions;
    bool operator==(const FunctionList&) const = default;
};
struct FunctionsFailed {
    std::string text;
    bool operator==(const FunctionsFailed&) const = default;
};

// The values of pixel (x, y) of a frame, read from the clip's own frame;
// no components when the point, the frame or the format cannot be read.
struct Pixel {
    std::int32_t number = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const Pixel&) const = default;
};
struct PixelValue {
    std::int32_t number = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::vector<PixelComponent> components;
    bool operator==(const PixelValue&) const = default;
};

// The variant's index is the message's type number on the wire.
using Message = std::variant<Hello, HelloReply, Open, Opened, OpenFailed, Frame, FrameReady, FrameFailed,
                             Close, Closed, Ping, Pong, Functions, FunctionList, FunctionsFailed, Pixel,
                             PixelValue>;

// The header and body of one message. Throws std::length_error when the
// body would be over maxBodyBytes (the sender trims what it sends).
std::vector<std::uint8_t> encode(const Message& message);

enum class DecodeStatus { complete, needMore, malformed };

struct Decoded {
    DecodeStatus status = DecodeStatus::needMore;
    Message message;
    std::size_t consumed = 0; // bytes of the complete message
    std::string error;        // why it is malformed
};

// The first message of bytes. A prefix of a valid message needs more; a
// header that is already wrong, or a body whose fields do not fill it
// exactly, is malformed. Reads nothing outside [data, data + size).
Decoded decode(const std::uint8_t* data, std::size_t size);

// Bytes arriving in any pieces, taken off as whole messages.
class MessageReader {
public:
    void append(const std::uint8_t* data, std::size_t size) {
        m_bytes.insert(m_bytes.end(), data, data + size);
    }
    // The next complete message, needMore, or malformed (the reader is then
    // of no further use).
    Decoded next();
    bool empty() const { return m_start == m_bytes.size(); }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_start = 0;
};

// The message's name for texts ("FrameReady").
const char* messageName(std::size_t typeIndex);

} // namespace fsp
} // namespace cw
