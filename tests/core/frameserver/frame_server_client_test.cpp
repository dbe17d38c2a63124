// The client against the real frame server program and the tests' stand-in
// AviSynth+ library: real processes, real sockets, real crashes.
#include "core/frameserver/frame_server_client.h"

#include "core/frameserver/frame_server_texts.h"
#include "core/preview/library_search.h"
#include "core/preview/test_clips.h"
#include "support/temp_dir.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace cw {
namespace {

constexpr int kWaitMs = 5000;

// Reaped, so not even a zombie is left.
bool gone(pid_t pid)
{
    errno = 0;
    return waitpid(pid, nullptr, WNOHANG) == -1 && errno == ECHILD && kill(pid, 0) == -1;
}

class FrameServerClientTest : public ::testing::Test {
protected:
    explicit FrameServerClientTest(FrameServerOptions options = {CLIPWRIGHT_FRAMESERVER,
                                                                 {CLIPWRIGHT_FAKE_AVISYNTH}})
        : client(std::move(options)) {
        FrameServerClient::Events events;
        events.opened = [this](const OpenResult& r) { opens.push_back(r); };
        events.frameReady = [this](const RenderedFrame& f) {
            frames.push_back(f.number);
            last = f;
        };
        events.frameFailed = [this](int n, const std::string& e) { failures.emplace_back(n, e); };
        events.pong = [this](std::uint32_t token) { pongs.push_back(token); };
        events.stopped = [this](const std::string& text) { stops.push_back(text); };
        client.setEvents(events);
    }

    std::string script(const std::string& text, const std::string& name = "preview.avs")
    {
        return dir.write(name, text);
    }

    OpenResult open(const std::string& path, SourceKind kind = SourceKind::script)
    {
        const std::size_t before = opens.size();
        client.open(path, kind);
        EXPECT_TRUE(client.waitUntil([&] { return opens.size() > before; }, kWaitMs)) << path;
        return opens.size() > before ? opens.back() : OpenResult{};
    }

    // true when frame n arrived, false when it failed.
    bool frame(int n)
    {
        const std::size_t shown = frames.size(), failed = failures.size();
        client.requestFrame(n);
        EXPECT_TRUE(
            client.waitUntil([&] { return frames.size() > shown || failures.size() > failed; }, kWaitMs));
        return frames.size() > shown && frames.back() == n;
    }

    void expectUsableAfterwards()
    {
        const OpenResult r = open(script("#fake 16 8 25 1 10\n", "after.avs"));
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_TRUE(frame(9));
        EXPECT_EQ(last.bytes[0], 9);
    }

    test::TempDir dir;
    FrameServerClient client;
    std::vector<OpenResult> opens;
    std::vector<int> frames;
    RenderedFrame last;
    std::vector<std::pair<int, std::string>> failures;
    std::vector<std::uint32_t> pongs;
    std::vector<std::string> stops;
};

TEST_F(FrameServerClientTest, AScriptOpensWithItsExactFactsAndFramesCarryPixelsAndProperties)
{
    const OpenResult r =
        open(script("#fake 64 48 30000 1001 500\n#fake-format YUV420P10 10\n#fake-audio 48000 2\n"));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.facts, (ClipFacts{64, 48, 30000, 1001, 500, "YUV420P10", 10, 48000, 2}));

    ASSERT_TRUE(frame(7));
    ASSERT_EQ(std::tuple(last.width, last.height, last.stride), std::tuple(64, 48, 256));
    for (int y : {0, 1, 47})
        for (int x : {0, 5, 63}) {
            const std::uint8_t* p = last.bytes + y * last.stride + x * 4;
            EXPECT_EQ(std::tuple(p[0], p[1], p[2]), std::tuple(7, y, x)) << x << "," << y;
        }
    ASSERT_EQ(last.properties.size(), 5u);
    EXPECT_EQ(last.properties[0], (FrameProperty{"_FakeFrame", "int", "7"}));
    EXPECT_EQ(last.properties[1], (FrameProperty{"_FakeRate", "float", "29.97002997002997"}));
    EXPECT_EQ(last.properties[2], (FrameProperty{"_FakeText", "data", "frame 7"}));
    EXPECT_EQ(last.properties[3], (FrameProperty{"_FakePair", "int", "7, 8"}));
    // The frame server sets AviSynth+'s cache limit before the script runs.
    const int memoryMax = std::stoi(last.properties[4].value);
    EXPECT_GE(memoryMax, 256);
    EXPECT_LE(memoryMax, 2048);

    // The shown frame stays intact while the next one renders elsewhere.
    const std::uint8_t* shown = last.bytes;
    ASSERT_TRUE(frame(8));
    EXPECT_NE(last.bytes, shown);
    EXPECT_EQ(shown[0], 7);
    ASSERT_TRUE(frame(9));
    EXPECT_EQ(last.bytes, shown);
    EXPECT_TRUE(stops.empty());
}

TEST_F(FrameServerClientTest, FailuresSayWhetherTheScriptRan)
{
    const std::string bogus = script("Version()\nBogus(3)\n");
    OpenResult r = open(bogus);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, OpenFailureKind::script);
    EXPECT_EQ(r.error, "Script error: There is no function named 'Bogus'.\n(" + bogus + ", line 2)");

    r = open(script("#fake 65536 16385 25 1 10\n"));
    EXPECT_EQ(r.failure, OpenFailureKind::script);
    EXPECT_EQ(r.error, clipTooLargeText(65536, 16385));

    ASSERT_TRUE(open(script("#fake 320 240 25 1 10\n#fake-fail 4\n#fake-lie 5\n")).ok);
    EXPECT_FALSE(frame(4));
    EXPECT_FALSE(frame(5));
    EXPECT_FALSE(frame(10));
    EXPECT_FALSE(frame(-1));
    ASSERT_EQ(failures.size(), 4u);
    EXPECT_EQ(failures[0].second, "Frame 4 failed on purpose");
    // The stand-in hands over 120 of the 240 rows it claims.
    EXPECT_EQ(failures[1].second, frameOutsideBufferText(5, 240, 1312, 120 * 1312));
    EXPECT_EQ(failures[2].second, frameOutsideClipText(10));
    EXPECT_EQ(failures[3].second, frameOutsideClipText(-1));
    EXPECT_TRUE(frame(3));
    EXPECT_TRUE(stops.empty());
}

TEST(FrameServerClient, TheFirstCompleteLibraryIsTakenAndPropertiesAreOptional)
{
    test::TempDir dir;
    const std::string path = dir.write("a.avs", "#fake 8 4 25 1 3\n");
    for (const auto& [libraries, error] :
         {std::pair{std::vector<std::string>{dir.file("libavisynth.so"), "libclipwright-none.so"},
                    aviSynthNotFoundText()},
          // A library that loads but is not AviSynth+ is named when nothing
          // later will do, and passed over when something does.
          std::pair{std::vector<std::string>{"libm.so.6", "libclipwright-none.so"},
                    aviSynthUnusableText("libm.so.6")},
          std::pair{std::vector<std::string>{"libclipwright-none.so", "libm.so.6", CLIPWRIGHT_FAKE_AVISYNTH_V7},
                    std::string()}}) {
        FrameServerClient client({CLIPWRIGHT_FRAMESERVER, libraries});
        std::optional<OpenResult> opened;
        std::optional<RenderedFrame> shown;
        client.setEvents({.opened = [&](const OpenResult& r) { opened = r; },
                          .frameReady = [&](const RenderedFrame& f) { shown = f; }});
        client.open(path, SourceKind::script);
        client.requestFrame(2);
        ASSERT_TRUE(client.waitUntil([&] { return opened && (!opened->ok || shown); }, kWaitMs));
        EXPECT_EQ(opened->error, error);
        if (!opened->ok) {
            EXPECT_EQ(opened->failure, OpenFailureKind::other);
        } else {
            EXPECT_EQ(shown->number, 2);
            EXPECT_TRUE(shown->properties.empty());
        }
    }
}

TEST_F(FrameServerClientTest, MediaFilesOpenThroughFfmpegInTheServer)
{
    const std::string clip = dir.file("clip.mkv");
    ASSERT_EQ(test::makeClip(clip, {"ffv1", 64, 48, 30, 10, 0}), "");
    const OpenResult r = open(clip, SourceKind::mediaFile);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(std::tuple(r.facts.width, r.facts.height, r.facts.frameCount), std::tuple(64, 48, 30));
    EXPECT_EQ(std::tuple(r.facts.rateNumerator, r.facts.rateDenominator), std::tuple(25u, 1u));
    EXPECT_FALSE(r.facts.format.empty());
    for (int n : {17, 3, 29}) {
        ASSERT_TRUE(frame(n));
        EXPECT_EQ(test::readFrameNumber(last.bytes, last.stride), n);
    }
    const OpenResult broken = open(dir.write("noise.mp4", std::string(4096, 'x')), SourceKind::mediaFile);
    EXPECT_FALSE(broken.ok);
    EXPECT_NE(broken.error.find("noise.mp4"), std::string::npos) << broken.error;
}

// FFmpeg comes as a module beside the server; a server without it still
// previews scripts.
TEST(FrameServerClient, WithoutItsFfmpegModuleTheServerStillOpensScripts)
{
    test::TempDir dir;
    const std::string server = dir.file("clipwright-frameserver");
    std::filesystem::copy_file(CLIPWRIGHT_FRAMESERVER, server);
    FrameServerClient client({server, {CLIPWRIGHT_FAKE_AVISYNTH}});
    std::vector<OpenResult> opens;
    client.setEvents({.opened = [&](const OpenResult& r) { opens.push_back(r); }});
    client.open(dir.write("clip.mkv", "x"), SourceKind::mediaFile);
    ASSERT_TRUE(client.waitUntil([&] { return opens.size() == 1; }, kWaitMs));
    client.open(dir.write("a.avs", "#fake 8 4 25 1 3\n"), SourceKind::script);
    ASSERT_TRUE(client.waitUntil([&] { return opens.size() == 2; }, kWaitMs));
    EXPECT_EQ(opens[0].error.rfind("Media files cannot be opened: the frame server's FFmpeg module", 0), 0u)
        << opens[0].error;
    EXPECT_NE(opens[0].error.find("clipwright-ffmpeg.so"), std::string::npos);
    EXPECT_TRUE(opens[1].ok);
}

struct Fault {
    const char* name;
    const char* script;
    int frame; // -1: the fault comes while opening
    const char* text;
};

class FrameServerFaults : public FrameServerClientTest, public ::testing::WithParamInterface<Fault> {
protected:
    // A server built with AddressSanitizer would report the crashes itself
    // instead of dying of them.
    static void SetUpTestSuite()
    {
        const char* options = std::getenv("ASAN_OPTIONS");
        const std::string value = options && *options ? std::string(options) + ":handle_segv=0" : "handle_segv=0";
        setenv("ASAN_OPTIONS", value.c_str(), 1);
    }
};

// The server dies; the answer to what it was doing and the stopped event
// both say how, the process is reaped, and the next clip opens in a new
// server.
TEST_P(FrameServerFaults, TheEndIsReportedAndTheNextClipWorks)
{
    const Fault& fault = GetParam();
    const std::string path = script(fault.script);
    std::string answer;
    pid_t pid = -1;
    if (fault.frame < 0) {
        client.open(path, SourceKind::script);
        pid = client.pid();
        ASSERT_TRUE(client.waitUntil([&] { return !opens.empty(); }, kWaitMs));
        EXPECT_FALSE(opens[0].ok);
        EXPECT_EQ(opens[0].failure, OpenFailureKind::other);
        answer = opens[0].error;
    } else {
        ASSERT_TRUE(open(path).ok);
        pid = client.pid();
        client.requestFrame(fault.frame);
        ASSERT_TRUE(client.waitUntil([&] { return !failures.empty(); }, kWaitMs));
        EXPECT_EQ(failures[0].first, fault.frame);
        answer = failures[0].second;
    }
    EXPECT_EQ(answer, fault.text);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], answer);
    EXPECT_FALSE(client.running());
    EXPECT_TRUE(gone(pid));
    expectUsableAfterwards();
    EXPECT_NE(client.pid(), pid);
}

INSTANTIATE_TEST_SUITE_P(
    FrameServerCrashes, FrameServerFaults,
    ::testing::Values(
        Fault{"SegfaultAtOpen", "#fake-crash open\n", -1,
              "The frame server stopped (signal 11, Segmentation fault) while opening the script."},
        Fault{"StackOverflowAtOpen", "#fake-recurse\n", -1,
              "The frame server stopped (signal 11, Segmentation fault) while opening the script."},
        Fault{"SegfaultAtFrame", "#fake-crash 3\n", 3,
              "The frame server stopped (signal 11, Segmentation fault) while rendering frame 3."},
        Fault{"AbortAtFrame", "#fake-abort 2\n", 2,
              "The frame server stopped (signal 6, Aborted) while rendering frame 2."},
        Fault{"LastWordsFollow",
              "#fake-say loading plugin\n#fake-say   plugin says: bad header\n#fake-crash 1\n", 1,
              "The frame server stopped (signal 11, Segmentation fault) while rendering frame 1.\n"
              "loading plugin\n  plugin says: bad header"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(FrameServerClientTest, StopEndsAHungFrameAndTheNextClipWorks)
{
    ASSERT_TRUE(open(script("#fake-hang 3\n")).ok);
    const pid_t pid = client.pid();
    client.requestFrame(3);
    EXPECT_FALSE(client.waitUntil([&] { return !failures.empty(); }, 200));
    EXPECT_TRUE(client.busy());
    client.stop();
    ASSERT_TRUE(client.waitUntil([&] { return !failures.empty(); }, kWaitMs));
    EXPECT_EQ(failures[0],
              std::pair(3, std::string("The frame server was stopped while rendering frame 3.")));
    EXPECT_EQ(stops, std::vector<std::string>{failures[0].second});
    EXPECT_TRUE(gone(pid));
    expectUsableAfterwards();
}

TEST_F(FrameServerClientTest, EndingTheClientNeverWaitsForAFrame)
{
    ASSERT_TRUE(open(script("#fake-hang 1\n")).ok);
    const pid_t pid = client.pid();
    client.requestFrame(1);
    client.waitUntil([] { return false; }, 50);
    const auto start = std::chrono::steady_clock::now();
    client.shutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_TRUE(gone(pid));
    EXPECT_TRUE(failures.empty() && stops.empty()) << "a requested end is not reported";
}

TEST(FrameServerClient, TheServerEndsWithTheClient)
{
    test::TempDir dir;
    pid_t pid = -1;
    {
        FrameServerClient client({CLIPWRIGHT_FRAMESERVER, {CLIPWRIGHT_FAKE_AVISYNTH}});
        bool opened = false;
        client.setEvents({.opened = [&](const OpenResult& r) { opened = r.ok; }});
        client.open(dir.write("a.avs", "#fake 8 4 25 1 3\n"), SourceKind::script);
        ASSERT_TRUE(client.waitUntil([&] { return opened; }, kWaitMs));
        pid = client.pid();
    }
    EXPECT_TRUE(gone(pid));
}

// A scrub asks for far more frames than can render; only the newest
// waiting request is kept.
TEST_F(FrameServerClientTest, AScrubRendersTheNewestPositionNotAQueue)
{
    ASSERT_TRUE(open(script("#fake 16 8 25 1 1000\n#fake-slow 20\n")).ok);
    for (int n = 0; n < 200; ++n) client.requestFrame(n);
    ASSERT_TRUE(client.waitUntil([&] { return !frames.empty() && frames.back() == 199; }, kWaitMs));
    EXPECT_EQ(frames, (std::vector<int>{0, 199}));

    frames.clear();
    const auto start = std::chrono::steady_clock::now();
    for (int n = 200; n < 400; ++n) {
        client.requestFrame(n);
        client.waitUntil([] { return false; }, 1);
    }
    ASSERT_TRUE(client.waitUntil([&] { return !frames.empty() && frames.back() == 399; }, kWaitMs));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(std::is_sorted(frames.begin(), frames.end()));
    EXPECT_LE(frames.size(), elapsed / std::chrono::milliseconds(20) + 2);
    EXPECT_LT(frames.size(), 100u);
    EXPECT_TRUE(failures.empty());
}

TEST_F(FrameServerClientTest, AnswersForAClosedClipAreDroppedAndAnIdleServerIsReused)
{
    ASSERT_TRUE(open(script("#fake 16 8 25 1 100\n#fake-slow 100\n", "slow.avs")).ok);
    const pid_t pid = client.pid();
    client.requestFrame(5);
    client.close();
    client.requestFrame(6); // no clip: ignored
    client.ping(77);
    ASSERT_TRUE(client.waitUntil([&] { return !pongs.empty(); }, kWaitMs));
    EXPECT_EQ(pongs, std::vector<std::uint32_t>{77});
    EXPECT_TRUE(frames.empty() && failures.empty());

    const OpenResult r = open(script("#fake 32 16 50 1 10\n", "next.avs"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.facts.width, 32);
    ASSERT_TRUE(frame(2));
    EXPECT_EQ(frames, std::vector<int>{2});
    EXPECT_EQ(client.pid(), pid) << "an open reuses the idle server";
}

TEST_F(FrameServerClientTest, AnOpenDoesNotWaitForAFrameOfTheLastClip)
{
    ASSERT_TRUE(open(script("#fake-hang 3\n", "hang.avs")).ok);
    const pid_t busy = client.pid();
    client.requestFrame(3);
    client.waitUntil([] { return false; }, 50);
    ASSERT_TRUE(open(script("#fake 32 16 50 1 10\n", "next.avs")).ok);
    EXPECT_TRUE(frame(1));
    EXPECT_NE(client.pid(), busy);
    EXPECT_TRUE(gone(busy));
    EXPECT_TRUE(failures.empty() && stops.empty()) << "the replaced server's end is not news";
}

TEST(FrameServerClient, AServerThatCannotStartAnswersLikeAnyOther)
{
    const std::string missing = "/nonexistent/clipwright-frameserver";
    FrameServerClient client({missing, {}});
    std::vector<OpenResult> opens;
    client.setEvents({.opened = [&](const OpenResult& r) { opens.push_back(r); }});
    client.open("/tmp/x.avs", SourceKind::script);
    EXPECT_TRUE(opens.empty()) << "answers never come from inside a request";
    ASSERT_TRUE(client.waitUntil([&] { return !opens.empty(); }, kWaitMs));
    EXPECT_EQ(opens[0].error, frameServerNotStartedText(missing, "No such file or directory"));
    EXPECT_FALSE(client.running());
}

// Stand-in servers written as shell scripts, saying what no real server
// says.
TEST(FrameServerClient, WhatCannotBeReadStopsTheServer)
{
    const struct {
        const char* name;
        const char* says;
        const char* text;
    } rows[] = {
        {"garbage", "printf 'garbage!' >&3; exec sleep 10", "protocol version 26465"},
        {"a body too large", "printf '\\377\\377\\377\\0\\1\\0\\6\\0' >&3; exec sleep 10", "over the limit"},
        {"wrong version", "printf '\\0\\0\\0\\0\\2\\0\\11\\0' >&3; exec sleep 10", "protocol version 2"},
        {"unasked reply", "printf '\\0\\0\\0\\0\\1\\0\\11\\0' >&3; exec sleep 10", "an unexpected Closed"},
        {"someone else's greeting", "printf '\\4\\0\\0\\0\\1\\0\\1\\0\\1\\0\\0\\0' >&3; exec sleep 10",
         "a greeting from another process"},
        {"cut short, then gone", "printf '\\4\\0\\0\\0\\1\\0\\1\\0\\1' >&3; exit 3",
         "The frame server stopped (exit code 3) while opening the script."},
        {"silent exit", "echo 'cannot load libsomething.so' >&2; exit 127",
         "The frame server stopped (exit code 127) while opening the script.\ncannot load libsomething.so"},
    };
    for (const auto& row : rows) {
        test::TempDir dir;
        const std::string program = dir.write("server", std::string("#!/bin/sh\n") + row.says + "\n");
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        FrameServerClient client({program, {}});
        std::vector<OpenResult> opens;
        std::vector<std::string> stops;
        client.setEvents({.opened = [&](const OpenResult& r) { opens.push_back(r); },
                          .stopped = [&](const std::string& t) { stops.push_back(t); }});
        client.open("/tmp/x.avs", SourceKind::script);
        const pid_t pid = client.pid();
        ASSERT_TRUE(client.waitUntil([&] { return !stops.empty(); }, kWaitMs)) << row.name;
        ASSERT_EQ(opens.size(), 1u) << row.name;
        EXPECT_NE(opens[0].error.find(row.text), std::string::npos) << row.name << ": " << opens[0].error;
        EXPECT_EQ(stops[0], opens[0].error);
        EXPECT_TRUE(gone(pid)) << row.name;
    }
}

} // namespace
} // namespace cw
