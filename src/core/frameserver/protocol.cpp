#include "core/frameserver/protocol.h"

#include <iterator>
#include <stdexcept>

namespace cw::fsp {
namespace {

// Little-endian fields, whatever the machine.
class Writer {
public:
    void u8(std::uint8_t v) { m_out.push_back(v); }
    void u16(std::uint16_t v) { unsigned_(v, 2); }
    void u32(std::uint32_t v) { unsigned_(v, 4); }
    void i32(std::int32_t v) { unsigned_(static_cast<std::uint32_t>(v), 4); }
    void text(const std::string& s)
    {
        if (s.size() > maxBodyBytes) throw std::length_error("frame server message field too long");
        u32(static_cast<std::uint32_t>(s.size()));
        m_out.insert(m_out.end(), s.begin(), s.end());
    }
    std::vector<std::uint8_t>& bytes() { return m_out; }

private:
    void unsigned_(std::uint32_t v, int width)
    {
        for (int i = 0; i < width; ++i) m_out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    std::vector<std::uint8_t> m_out;
};

// Every read checks the bytes left first; the first failure sticks and
// later reads give zeros.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_left(size) {}

    std::uint8_t u8() { return static_cast<std::uint8_t>(unsigned_(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(unsigned_(2)); }
    std::uint32_t u32() { return unsigned_(4); }
    std::int32_t i32() { return static_cast<std::int32_t>(unsigned_(4)); }
    std::string text()
    {
        const std::uint32_t length = u32();
        if (!take(length)) return {};
        return std::string(reinterpret_cast<const char*>(m_data - length), length);
    }
    void fail(std::string why)
    {
        if (m_error.empty()) m_error = std::move(why);
        m_left = 0;
    }
    std::size_t left() const { return m_left; }
    const std::string& error() const { return m_error; }

private:
    bool take(std::size_t n)
    {
        if (!m_error.empty()) return false;
        if (n > m_left) {
            fail("a field runs past the end of the message");
            return false;
        }
        m_data += n;
        m_left -= n;
        return true;
    }
    std::uint32_t unsigned_(int width)
    {
        if (!take(width)) return 0;
        std::uint32_t v = 0;
        for (int i = 0; i < width; ++i) v |= std::uint32_t(m_data[i - width]) << (8 * i);
        return v;
    }

    const std::uint8_t* m_data;
    std::size_t m_left;
    std::string m_error;
};

void put(Writer&, const Hello&) {}
void put(Writer& w, const HelloReply& m) { w.u32(m.pid); }
void put(Writer& w, const Open& m)
{
    w.u8(static_cast<std::uint8_t>(m.kind));
    w.text(m.path);
}
void put(Writer& w, const Opened& m)
{
    const ClipFacts& f = m.facts;
    w.i32(f.width);
    w.i32(f.height);
    w.u32(f.rateNumerator);
    w.u32(f.rateDenominator);
    w.i32(f.frameCount);
    w.text(f.format);
    w.i32(f.bitDepth);
    w.i32(f.audioRate);
    w.i32(f.audioChannels);
}
void put(Writer& w, const OpenFailed& m)
{
    w.u8(static_cast<std::uint8_t>(m.kind));
    w.text(m.text);
}
void put(Writer& w, const Frame& m)
{
    w.i32(m.number);
    w.u8(m.slot);
}
void put(Writer& w, const FrameReady& m)
{
    w.i32(m.number);
    w.u8(m.slot);
    w.u32(static_cast<std::uint32_t>(m.properties.size()));
    for (const FrameProperty& p : m.properties) {
        w.text(p.key);
        w.text(p.type);
        w.text(p.value);
    }
}
void put(Writer& w, const FrameFailed& m)
{
    w.i32(m.number);
    w.text(m.text);
}
void put(Writer&, const Close&) {}
void put(Writer&, const Closed&) {}
void put(Writer& w, const Ping& m) { w.u32(m.token); }
void put(Writer& w, const Pong& m) { w.u32(m.token); }
void put(Writer&, const Functions&) {}
void put(Writer& w, const std::vector<InterpreterFunction>& list)
{
    w.u32(static_cast<std::uint32_t>(list.size()));
    for (const InterpreterFunction& f : list) {
        w.text(f.name);
        w.text(f.parameters);
        w.u8(f.reported ? 1 : 0);
    }
}
void put(Writer& w, const FunctionList& m)
{
    const InterpreterFunctions& f = m.functions;
    w.text(f.version);
    w.u32(static_cast<std::uint32_t>(f.autoloadFolders.size()));
    for (const std::string& folder : f.autoloadFolders) w.text(folder);
    put(w, f.internal);
    put(w, f.plugin);
}
void put(Writer& w, const FunctionsFailed& m) { w.text(m.text); }
void put(Writer& w, const Pixel& m)
{
    w.i32(m.number);
    w.i32(m.x);
    w.i32(m.y);
}
void put(Writer& w, const PixelValue& m)
{
    w.i32(m.number);
    w.i32(m.x);
    w.i32(m.y);
    w.u32(static_cast<std::uint32_t>(m.components.size()));
    for (const PixelComponent& c : m.components) {
        w.text(c.name);
        w.text(c.value);
    }
}

void get(Reader&, Hello&) {}
void get(Reader& r, HelloReply& m) { m.pid = r.u32(); }
void get(Reader& r, Open& m)
{
    const std::uint8_t kind = r.u8();
    if (kind > static_cast<std::uint8_t>(SourceKind::mediaFile))
        r.fail("unknown source kind " + std::to_string(kind));
    m.kind = static_cast<SourceKind>(kind);
    m.path = r.text();
}
void get(Reader& r, Opened& m)
{
    ClipFacts& f = m.facts;
    f.width = r.i32();
    f.height = r.i32();
    f.rateNumerator = r.u32();
    f.rateDenominator = r.u32();
    f.frameCount = r.i32();
    f.format = r.text();
    f.bitDepth = r.i32();
    f.audioRate = r.i32();
    f.audioChannels = r.i32();
}
void get(Reader& r, OpenFailed& m)
{
    const std::uint8_t kind = r.u8();
    if (kind > static_cast<std::uint8_t>(OpenFailureKind::other))
        r.fail("unknown failure kind " + std::to_string(kind));
    m.kind = static_cast<OpenFailureKind>(kind);
    m.text = r.text();
}
std::uint8_t slot(Reader& r)
{
    const std::uint8_t s = r.u8();
    if (s > 1) r.fail("slot " + std::to_string(s) + " does not exist");
    return s;
}
void get(Reader& r, Frame& m)
{
    m.number = r.i32();
    m.slot = slot(r);
}
void get(Reader& r, FrameReady& m)
{
    m.number = r.i32();
    m.slot = slot(r);
    const std::uint32_t count = r.u32();
    // Each property takes at least its three lengths; checking first keeps
    // a lying count from reserving memory.
    if (count > r.left() / 12) {
        r.fail("a field runs past the end of the message");
        return;
    }
    m.properties.resize(count);
    for (FrameProperty& p : m.properties) {
        p.key = r.text();
        p.type = r.text();
        p.value = r.text();
    }
}
void get(Reader& r, FrameFailed& m)
{
    m.number = r.i32();
    m.text = r.text();
}
void get(Reader&, Close&) {}
void get(Reader&, Closed&) {}
void get(Reader& r, Ping& m) { m.token = r.u32(); }
void get(Reader& r, Pong& m) { m.token = r.u32(); }
void get(Reader&, Functions&) {}
// A count no larger than the entries of at least minBytes each that the
// bytes left can hold, so that a lying count reserves nothing.
std::uint32_t count(Reader& r, std::size_t minBytes)
{
    const std::uint32_t n = r.u32();
    if (n > r.left() / minBytes) {
        r.fail("a field runs past the end of the message");
        return 0;
    }
    return n;
}
void get(Reader& r, std::vector<InterpreterFunction>& list)
{
    list.resize(count(r, 9));
    for (InterpreterFunction& f : list) {
        f.name = r.text();
        f.parameters = r.text();
        const std::uint8_t reported = r.u8();
        if (reported > 1) r.fail("a flag of " + std::to_string(reported));
        f.reported = reported == 1;
    }
}
void get(Reader& r, FunctionList& m)
{
    InterpreterFunctions& f = m.functions;
    f.version = r.text();
    f.autoloadFolders.resize(count(r, 4));
    for (std::string& folder : f.autoloadFolders) folder = r.text();
    get(r, f.internal);
    get(r, f.plugin);
}
void get(Reader& r, FunctionsFailed& m) { m.text = r.text(); }
void get(Reader& r, Pixel& m)
{
    m.number = r.i32();
    m.x = r.i32();
    m.y = r.i32();
}
void get(Reader& r, PixelValue& m)
{
    m.number = r.i32();
    m.x = r.i32();
    m.y = r.i32();
    const std::uint32_t count = r.u32();
    // Each component takes at least its two lengths.
    if (count > r.left() / 8) {
        r.fail("a field runs past the end of the message");
        return;
    }
    m.components.resize(count);
    for (PixelComponent& c : m.components) {
        c.name = r.text();
        c.value = r.text();
    }
}

template <std::size_t I = 0> bool decodeBody(std::size_t type, Reader& r, Message& out)
{
    if constexpr (I < std::variant_size_v<Message>) {
        if (type != I) return decodeBody<I + 1>(type, r, out);
        std::variant_alternative_t<I, Message> m;
        get(r, m);
        out = std::move(m);
        return true;
    } else {
        return false;
    }
}

constexpr const char* kNames[] = {"Hello",      "HelloReply",  "Open",      "Opened",       "OpenFailed",
                                  "Frame",      "FrameReady",  "FrameFailed", "Close",     "Closed",
                                  "Ping",       "Pong",        "Functions", "FunctionList", "FunctionsFailed",
                                  "Pixel",      "PixelValue"};
static_assert(std::size(kNames) == std::variant_size_v<Message>);

} // namespace

const char* messageName(std::size_t typeIndex)
{
    return typeIndex < std::size(kNames) ? kNames[typeIndex] : "?";
}

std::vector<std::uint8_t> encode(const Message& message)
{
    Writer w;
    w.u32(0);
    w.u16(version);
    w.u16(static_cast<std::uint16_t>(message.index()));
    std::visit([&](const auto& m) { put(w, m); }, message);
    std::vector<std::uint8_t>& out = w.bytes();
    const std::size_t body = out.size() - headerBytes;
    if (body > maxBodyBytes) throw std::length_error("frame server message too long");
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(body >> (8 * i));
    return std::move(out);
}

Decoded decode(const std::uint8_t* data, std::size_t size)
{
    Decoded result;
    if (size < headerBytes) return result;
    Reader header(data, headerBytes);
    const std::uint32_t body = header.u32();
    const std::uint16_t messageVersion = header.u16();
    const std::uint16_t type = header.u16();
    result.status = DecodeStatus::malformed;
    if (messageVersion != version) {
        result.error = "protocol version " + std::to_string(messageVersion) + " where " +
                       std::to_string(version) + " was expected";
        return result;
    }
    if (body > maxBodyBytes) {
        result.error = "a message of " + std::to_string(body) + " bytes, over the limit of " +
                       std::to_string(maxBodyBytes);
        return result;
    }
    if (type >= std::variant_size_v<Message>) {
        result.error = "unknown message type " + std::to_string(type);
        return result;
    }
    if (size - headerBytes < body) {
        result.status = DecodeStatus::needMore;
        return result;
    }
    Reader r(data + headerBytes, body);
    decodeBody(type, r, result.message);
    if (r.error().empty() && r.left() != 0)
        r.fail(std::to_string(r.left()) + (r.left() == 1 ? " byte" : " bytes") + " left over");
    if (!r.error().empty()) {
        result.error = std::string(kNames[type]) + ": " + r.error();
        return result;
    }
    result.status = DecodeStatus::complete;
    result.consumed = headerBytes + body;
    return result;
}

Decoded MessageReader::next()
{
    Decoded d = decode(m_bytes.data() + m_start, m_bytes.size() - m_start);
    if (d.status == DecodeStatus::complete) m_start += d.consumed;
    // Keeps the buffer from growing without end while messages stream past.
    if (m_start == m_bytes.size()) {
        m_bytes.clear();
        m_start = 0;
    } else if (m_start > 65536) {
        m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_start));
        m_start = 0;
    }
    return d;
}

} // namespace cw::fsp
