#include "core/preview/playback_clock.h"

#include <gtest/gtest.h>

#include <functional>

namespace cw {
namespace {

struct Shown {
    std::int32_t frame;
    std::int64_t at;
};

// Plays against a simulated clock and a renderer that takes renderUs(n)
// microseconds for frame n, one frame at a time, as the frame server does.
struct Simulation {
    Simulation(PlaybackClock c, std::function<std::int64_t(std::int32_t)> r) : clock(c), renderUs(std::move(r)) {}

    PlaybackClock clock;
    std::function<std::int64_t(std::int32_t)> renderUs;
    std::vector<Shown> shown;
    std::vector<std::pair<std::int32_t, std::int64_t>> asked;

    void run(std::int64_t until)
    {
        std::optional<std::pair<std::int32_t, std::int64_t>> rendering; // frame, ready at
        std::optional<std::int64_t> wake;
        const auto apply = [&](const PlaybackClock::Step& s, std::int64_t now) {
            if (s.show) shown.push_back({*s.show, now});
            if (s.request) {
                asked.emplace_back(*s.request, now);
                rendering = std::pair{*s.request, now + renderUs(*s.request)};
            }
            if (s.wakeAt) wake = s.wakeAt;
        };
        apply(clock.wake(0), 0);
        while (!clock.finished() && (rendering || wake)) {
            if (rendering && (!wake || rendering->second <= *wake)) {
                const auto [frame, now] = *rendering;
                rendering.reset();
                if (now > until) return;
                apply(clock.arrived(frame, now), now);
            } else {
                const std::int64_t now = *wake;
                wake.reset();
                if (now > until) return;
                apply(clock.wake(now), now);
            }
        }
    }
};

TEST(PlaybackClock, AFastRendererShowsEveryFrameAtItsMomentAndStopsAtTheLast)
{
    const FrameRate rate{30000, 1001};
    Simulation s{PlaybackClock(10, 69, rate, 0), [](std::int32_t) { return 5000; }};
    s.run(10'000'000);
    ASSERT_TRUE(s.clock.finished());
    ASSERT_EQ(s.shown.size(), 59u);
    for (std::size_t i = 0; i < s.shown.size(); ++i) {
        EXPECT_EQ(s.shown[i].frame, static_cast<std::int32_t>(11 + i));
        // Frame n is due n x 1001/30000 s after the start, never before.
        const std::int64_t due = ((s.shown[i].frame - 10) * 1001'000'000LL + 29'999) / 30'000;
        EXPECT_GE(s.shown[i].at + 1000, due);
        EXPECT_LE(s.shown[i].at, due);
    }
    EXPECT_EQ(s.clock.dropped(), 0);
    EXPECT_NEAR(s.clock.achievedRate(), 29.97, 0.01);
}

TEST(PlaybackClock, ASlowRendererDropsFramesNeverFallsBehindAndCountsTheDrops)
{
    // 50 ms a frame against 40 ms of clip time: a fifth of the frames go.
    Simulation s{PlaybackClock(0, 249, {25, 1}, 0), [](std::int32_t) { return 50'000; }};
    s.run(100'000'000);
    ASSERT_TRUE(s.clock.finished());
    for (std::size_t i = 1; i < s.shown.size(); ++i) EXPECT_GT(s.shown[i].frame, s.shown[i - 1].frame);
    // Each frame asked for is the clock's own frame or the one after the
    // last asked for: never one the clock has left behind.
    for (std::size_t i = 1; i < s.asked.size(); ++i)
        EXPECT_GE(s.asked[i].first, s.clock.frameAt(s.asked[i].second));
    EXPECT_EQ(static_cast<std::int64_t>(s.shown.size()) + s.clock.dropped(), 249);
    EXPECT_NEAR(s.clock.achievedRate(), 20.0, 0.5);
    EXPECT_NEAR(static_cast<double>(s.clock.dropped()), 249 / 5.0, 3);
}

TEST(PlaybackClock, PlayingFromBeforeTheFirstFrameShowsFrame0OneFrameLater)
{
    Simulation s{PlaybackClock(-1, 2, {10, 1}, 0), [](std::int32_t) { return 1000; }};
    s.run(10'000'000);
    ASSERT_EQ(s.shown.size(), 3u);
    EXPECT_EQ(s.clock.dropped(), 0);
    EXPECT_EQ(s.shown[0].frame, 0);
    EXPECT_EQ(s.shown[0].at, 100'000);
    EXPECT_EQ(s.shown[2].at, 300'000);
}

} // namespace
} // namespace cw
