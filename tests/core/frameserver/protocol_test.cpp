#include "core/frameserver/protocol.h"

#include <gtest/gtest.h>

namespace cw {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<fsp::Message> everyKind()
{
    ClipFacts facts{1920, 1080, 30000, 1001, 107892, "YUV420P10", 10, 48000, 6};
    return {fsp::Hello{},
            fsp::HelloReply{4242},
            fsp::Open{SourceKind::mediaFile, "/tmp/a b/clip \xc3\xa9.mkv"},
            fsp::Opened{facts},
            fsp::OpenFailed{OpenFailureKind::script, "Script error\n(preview.avs, line 3, column 7)"},
            fsp::Frame{-1, 1},
            fsp::FrameReady{
                7, 0, {{"_Matrix", "int", "1"}, {"_Text", "data", std::string("a\0b", 3)}, {"", "", ""}}},
            fsp::FrameFailed{2147483647, ""},
            fsp::Close{},
            fsp::Closed{},
            fsp::Ping{0xdeadbeef},
            fsp::Pong{1},
            fsp::Functions{},
            fsp::FunctionList{{"AviSynth+ 3.7.5 (x86_64)",
                               {"/usr/lib/avisynth/", ""},
                               {{"Trim", "ci[end]i[pad]b[cache]b"}, {"Hidden", "", false}},
                               {}}},
            fsp::FunctionsFailed{"AviSynth+ could not load its autoload plugins: x"},
            fsp::Pixel{3, -1, 1079},
            fsp::PixelValue{3, 0, 5, {{"Y", "235"}, {"U", "0.5019608"}, {"", ""}}}};
}

TEST(FrameServerProtocol, EveryMessageRoundTripsAloneAndInAStreamCutAnywhere)
{
    const auto messages = everyKind();
    ASSERT_EQ(messages.size(), std::variant_size_v<fsp::Message>);
    Bytes stream;
    for (const auto& m : messages) {
        const Bytes bytes = fsp::encode(m);
        const fsp::Decoded d = fsp::decode(bytes.data(), bytes.size());
        ASSERT_EQ(d.status, fsp::DecodeStatus::complete) << fsp::messageName(m.index()) << ": " << d.error;
        EXPECT_EQ(d.consumed, bytes.size());
        EXPECT_TRUE(d.message == m) << fsp::messageName(m.index());
        // Every proper prefix is only a message still arriving.
        for (std::size_t cut = 0; cut < bytes.size(); ++cut)
            EXPECT_EQ(fsp::decode(bytes.data(), cut).status, fsp::DecodeStatus::needMore)
                << fsp::messageName(m.index()) << " cut at " << cut;
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    }
    for (std::size_t piece : {std::size_t(1), std::size_t(5), std::size_t(64), stream.size()}) {
        fsp::MessageReader reader;
        std::vector<fsp::Message> got;
        for (std::size_t at = 0; at < stream.size(); at += piece) {
            reader.append(stream.data() + at, std::min(piece, stream.size() - at));
            for (fsp::Decoded d = reader.next(); d.status == fsp::DecodeStatus::complete; d = reader.next())
                got.push_back(d.message);
        }
        EXPECT_TRUE(got == messages) << "pieces of " << piece;
        EXPECT_TRUE(reader.empty());
    }
}

Bytes header(std::uint32_t length, std::uint16_t version, std::uint16_t type)
{
    return {std::uint8_t(length),       std::uint8_t(length >> 8), std::uint8_t(length >> 16),
            std::uint8_t(length >> 24), std::uint8_t(version),     std::uint8_t(version >> 8),
            std::uint8_t(type),         std::uint8_t(type >> 8)};
}

Bytes message(std::uint16_t type, const Bytes& body, std::uint16_t version = fsp::version)
{
    Bytes out = header(static_cast<std::uint32_t>(body.size()), version, type);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

TEST(FrameServerProtocol, MalformedInputIsAnErrorWithAReason)
{
    const struct {
        const char* what;
        Bytes bytes;
        const char* reason;
    } rows[] = {
        {"wrong version", message(10, {1, 0, 0, 0}, 2), "protocol version 2"},
        {"over the limit", header(fsp::maxBodyBytes + 1, fsp::version, 10), "over the limit"},
        {"length near 4 GB", header(0xffffffff, fsp::version, 0), "over the limit"},
        {"unknown type", message(200, {}), "unknown message type 200"},
        {"unknown type far out", message(0xffff, {}), "unknown message type 65535"},
        {"field cut short", message(2, {0, 4, 0}), "runs past the end"},
        {"string past the end", message(2, {0, 0xe8, 3, 0, 0, 'a', 'b'}), "runs past the end"},
        {"string length near 4 GB", message(4, {0, 0xff, 0xff, 0xff, 0xff, 'x'}), "runs past the end"},
        {"bytes left over", message(10, {1, 0, 0, 0, 9}), "1 byte left over"},
        {"empty body for a number", message(11, {}), "runs past the end"},
        {"unknown source kind", message(2, {7, 0, 0, 0, 0}), "source kind 7"},
        {"unknown failure kind", message(4, {2, 0, 0, 0, 0}), "failure kind 2"},
        {"slot out of range", message(5, {1, 0, 0, 0, 2}), "slot 2"},
        {"property count lies", message(6, {1, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff}), "runs past the end"},
        {"property cut short", message(6, {1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 'k', 0, 0, 0, 0}),
         "runs past the end"},
        {"function count lies", message(13, {0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff}), "runs past the end"},
        {"function flag out of range", message(13, {0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}),
         "a flag of 2"},
    };
    for (const auto& row : rows) {
        const fsp::Decoded d = fsp::decode(row.bytes.data(), row.bytes.size());
        EXPECT_EQ(d.status, fsp::DecodeStatus::malformed) << row.what;
        EXPECT_NE(d.error.find(row.reason), std::string::npos) << row.what << ": " << d.error;
        // Nothing after a bad message is read as if it were in step.
        fsp::MessageReader reader;
        reader.append(row.bytes.data(), row.bytes.size());
        const Bytes next = fsp::encode(fsp::Closed{});
        reader.append(next.data(), next.size());
        EXPECT_EQ(reader.next().status, fsp::DecodeStatus::malformed) << row.what;
    }
}

TEST(FrameServerProtocol, AHeaderIsJudgedBeforeItsBodyArrives)
{
    // A message that can never be valid is refused without waiting for the
    // megabytes it announces.
    const Bytes huge = header(fsp::maxBodyBytes + 1, fsp::version, 6);
    EXPECT_EQ(fsp::decode(huge.data(), huge.size()).status, fsp::DecodeStatus::malformed);
    const Bytes big = header(fsp::maxBodyBytes, fsp::version, 6);
    EXPECT_EQ(fsp::decode(big.data(), big.size()).status, fsp::DecodeStatus::needMore);
    EXPECT_THROW(fsp::encode(fsp::OpenFailed{OpenFailureKind::other, std::string(fsp::maxBodyBytes, 'x')}),
                 std::length_error);
}

} // namespace
} // namespace cw
