// Frame access of the FFmpeg source on a 1280x720 H.264 clip, against what
// plain decoding from the key frame costs in this process.
#include "media/frame_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// 1,000 frames at 25 fps, a key frame every 250, B-frames; made once.
const std::string& benchClip()
{
    static const std::string path = [] {
        const char* cache = std::getenv("XDG_CACHE_HOME");
        const char* home = std::getenv("HOME");
        std::filesystem::path folder = cache && *cache ? std::filesystem::path(cache)
                                                       : std::filesystem::path(home ? home : "/tmp") / ".cache";
        folder /= "clipwright";
        std::filesystem::create_directories(folder);
        const std::filesystem::path clip = folder / "media_bench_720p.mp4";
        if (!std::filesystem::exists(clip)) {
            const std::string partial = clip.string() + ".part.mp4";
            const std::string command =
                "ffmpeg -v error -y -f lavfi -i 'testsrc2=size=1280x720:rate=25,noise=alls=4:allf=t' "
                "-frames:v 1000 -c:v libx264 -preset medium -crf 23 -g 250 -keyint_min 250 -bf 3 "
                "-pix_fmt yuv420p '" + partial + "'";
            if (std::system(command.c_str()) != 0) std::abort();
            std::filesystem::rename(partial, clip);
        }
        return clip.string();
    }();
    return path;
}

std::unique_ptr<cw::FrameSource> openClip()
{
    std::string error;
    auto source = cw::openFfmpegSource(benchClip(), error);
    if (!source) std::abort();
    return source;
}

void show(cw::FrameSource& source, int n)
{
    static std::vector<std::uint8_t> pixels;
    static std::vector<cw::FrameProperty> properties;
    const cw::ClipFacts& f = source.facts();
    pixels.resize(static_cast<std::size_t>(f.width) * 4 * f.height);
    std::string error;
    if (!source.render(n, pixels.data(), static_cast<std::size_t>(f.width) * 4, properties, error)) std::abort();
    benchmark::DoNotOptimize(pixels.data());
}

// Plain decoding: seek to the key frame before the target, decode every
// frame up to it, convert nothing.
class PlainDecoder {
public:
    explicit PlainDecoder(int threads)
    {
        avformat_open_input(&m_format, benchClip().c_str(), nullptr, nullptr);
        avformat_find_stream_info(m_format, nullptr);
        const AVCodec* decoder = nullptr;
        m_stream = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
        m_codec = avcodec_alloc_context3(decoder);
        avcodec_parameters_to_context(m_codec, m_format->streams[m_stream]->codecpar);
        m_codec->thread_count = threads;
        avcodec_open2(m_codec, decoder, nullptr);
        m_packet = av_packet_alloc();
        m_frame = av_frame_alloc();
        // Where the key frames are, so each seek lands on the one before its
        // target and never a group earlier.
        while (av_read_frame(m_format, m_packet) >= 0) {
            if (m_packet->stream_index == m_stream && (m_packet->flags & AV_PKT_FLAG_KEY))
                m_keys.push_back(m_packet->pts);
            av_packet_unref(m_packet);
        }
        std::sort(m_keys.begin(), m_keys.end());
    }
    ~PlainDecoder()
    {
        av_frame_free(&m_frame);
        av_packet_free(&m_packet);
        avcodec_free_context(&m_codec);
        avformat_close_input(&m_format);
    }

    void decodeTo(int n)
    {
        const AVStream* stream = m_format->streams[m_stream];
        const std::int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
        const std::int64_t target = start + av_rescale_q(n, av_inv_q(stream->avg_frame_rate), stream->time_base);
        auto key = std::upper_bound(m_keys.begin(), m_keys.end(), target);
        av_seek_frame(m_format, m_stream, key == m_keys.begin() ? target : *(key - 1), AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(m_codec);
        bool eof = false;
        for (;;) {
            const int rc = avcodec_receive_frame(m_codec, m_frame);
            if (rc == 0) {
                if (m_frame->best_effort_timestamp >= target) return;
                continue;
            }
            if (rc == AVERROR_EOF) return;
            if (eof) return;
            if (av_read_frame(m_format, m_packet) < 0) {
                avcodec_send_packet(m_codec, nullptr);
                eof = true;
                continue;
            }
            if (m_packet->stream_index == m_stream) avcodec_send_packet(m_codec, m_packet);
            av_packet_unref(m_packet);
        }
    }

private:
    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVPacket* m_packet = nullptr;
    AVFrame* m_frame = nullptr;
    int m_stream = -1;
    std::vector<std::int64_t> m_keys;
};

void BM_OpenAndFirstFrame(benchmark::State& state)
{
    for (auto _ : state) {
        auto device = openClip();
        show(*device, 0);
    }
}
BENCHMARK(BM_OpenAndFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_NextFrame(benchmark::State& state)
{
    auto device = openClip();
    int n = 300;
    show(*device, n);
    for (auto _ : state) show(*device, ++n);
}
BENCHMARK(BM_NextFrame)->Unit(benchmark::kMillisecond)->Iterations(200);

// Stepping back from a frame reached by a seek, up to ten frames, as a user
// does with the arrow key; each round starts from a new seek (not timed).
void BM_PreviousFrame(benchmark::State& state)
{
    auto device = openClip();
    int n = 0;
    int stepsLeft = 0;
    int round = 0;
    for (auto _ : state) {
        if (stepsLeft == 0) {
            state.PauseTiming();
            n = 120 + (round++ * 97) % 800;
            show(*device, n);
            stepsLeft = 10;
            state.ResumeTiming();
        }
        show(*device, --n);
        --stepsLeft;
    }
}
BENCHMARK(BM_PreviousFrame)->Unit(benchmark::kMillisecond)->Iterations(100);

struct Stats {
    double median;
    double worst;
};

Stats stats(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {(times[times.size() / 2 - 1] + times[times.size() / 2]) / 2, times.back()};
}

// Fifty random seeks with the device, then the same targets decoded plainly
// from their key frames on one and on two threads. Times in milliseconds.
void BM_RandomSeek(benchmark::State& state)
{
    std::mt19937 random(2024);
    std::vector<int> targets;
    for (int i = 0; i < 50; ++i) targets.push_back(static_cast<int>(random() % 1000));
    std::vector<double> device, plain1, plain2;
    for (auto _ : state) {
        auto clip = openClip();
        show(*clip, 0);
        PlainDecoder one(1), two(2);
        for (int n : targets) {
            auto start = Clock::now();
            show(*clip, n);
            device.push_back(secondsSince(start) * 1000);
            start = Clock::now();
            one.decodeTo(n);
            plain1.push_back(secondsSince(start) * 1000);
            start = Clock::now();
            two.decodeTo(n);
            plain2.push_back(secondsSince(start) * 1000);
        }
        state.SetIterationTime(1);
    }
    const Stats d = stats(device), p1 = stats(plain1), p2 = stats(plain2);
    state.counters["device_median_ms"] = d.median;
    state.counters["device_worst_ms"] = d.worst;
    state.counters["plain1t_median_ms"] = p1.median;
    state.counters["plain1t_worst_ms"] = p1.worst;
    state.counters["plain2t_median_ms"] = p2.median;
    state.counters["plain2t_worst_ms"] = p2.worst;
    state.counters["ratio_median_1t"] = d.median / p1.median;
    state.counters["ratio_worst_1t"] = d.worst / p1.worst;
    state.counters["ratio_median_2t"] = d.median / p2.median;
    state.counters["ratio_worst_2t"] = d.worst / p2.worst;
}
BENCHMARK(BM_RandomSeek)->UseManualTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
