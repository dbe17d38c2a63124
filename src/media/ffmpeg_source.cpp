#include "core/frameserver/frame_server_texts.h"
#include "core/frameserver/shared_frames.h"
#include "media/frame_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <deque>

namespace cw {
namespace {

// Frames this close before a seek target are decoded in full and kept, so
// stepping back from a sought frame is served from memory.
constexpr int kStepBackDepth = 12;
constexpr std::size_t kCacheCapacity = 40;

std::string avErrorText(int code)
{
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buffer, sizeof buffer);
    return buffer;
}

struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

class FfmpegSource : public FrameSource {
public:
    ~FfmpegSource() override;
    bool open(const std::string& path, std::string& error);

    const ClipFacts& facts() const override { return m_facts; }
    bool render(int n, std::uint8_t* out, std::size_t stride, std::vector<FrameProperty>& properties,
                std::string& error) override;
    std::vector<PixelComponent> readPixel(int n, int x, int y) override;

private:
    struct Packet {
        std::int64_t pts;
        std::int64_t dts;
        bool key;
    };
    struct Key {
        int frame;            // presentation number of the key frame
        // Demuxers index key frames by presentation or by decode time; the
        // presentation time lands on the key frame either way.
        std::int64_t seekTs;
    };

    void describe(const AVStream* stream);
    bool buildIndex(std::string& error);
    int keyBefore(int n) const;
    bool seekToKey(int keyIndex);
    int frameNumberOf(std::int64_t timestamp) const;
    AVFrame* decodeTo(int n, std::string& error);
    bool receiveOne(int target, std::string& error);
    void remember(int number, const AVFrame* f);
    const AVFrame* cached(int n) const;
    bool convert(const AVFrame* f, std::uint8_t* out, std::size_t stride, std::string& error);

    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVPacket* m_packet = nullptr;
    AVFrame* m_decoded = nullptr;
    SwsContext* m_sws = nullptr;
    int m_stream = -1;
    ClipFacts m_facts;

    // Presentation timestamps by frame number; empty in counting mode.
    std::vector<std::int64_t> m_index;
    // Containers without presentation timestamps (H.264 in AVI): frames are
    // numbered by counting decoder output from the key frame's packet.
    bool m_counting = false;
    std::vector<std::int64_t> m_dtsOrder; // counting mode: dts by decode position
    std::vector<Key> m_keys;

    // Decoder position: the last frame number it produced, -1 when it must
    // seek first.
    int m_last = -1;
    int m_nextCounted = -1; // counting mode: number of the next output
    bool m_drained = false;
    bool m_sentEof = false;

    std::deque<std::pair<int, FramePtr>> m_cache;
};

FfmpegSource::~FfmpegSource()
{
    m_cache.clear();
    sws_freeContext(m_sws);
    av_frame_free(&m_decoded);
    av_packet_free(&m_packet);
    avcodec_free_context(&m_codec);
    avformat_close_input(&m_format);
}

bool FfmpegSource::open(const std::string& path, std::string& error)
{
    int rc = avformat_open_input(&m_format, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        error = mediaCannotOpenText(path, avErrorText(rc));
        return false;
    }
    rc = avformat_find_stream_info(m_format, nullptr);
    if (rc < 0) {
        error = mediaCannotReadText(path, avErrorText(rc));
        return false;
    }
    const AVCodec* decoder = nullptr;
    m_stream = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (m_stream < 0 || !decoder) {
        error = mediaNoVideoText(path);
        return false;
    }
    AVStream* stream = m_format->streams[m_stream];
    describe(stream);
    for (unsigned i = 0; i < m_format->nb_streams; ++i)
        if (static_cast<int>(i) != m_stream) m_format->streams[i]->discard = AVDISCARD_ALL;

    m_codec = avcodec_alloc_context3(decoder);
    m_packet = av_packet_alloc();
    m_decoded = av_frame_alloc();
    if (!m_codec || !m_packet || !m_decoded) {
        error = outOfMemoryText();
        return false;
    }
    avcodec_parameters_to_context(m_codec, stream->codecpar);
    m_codec->pkt_timebase = stream->time_base;
    // Two threads: the decoder is the bottleneck of every seek.
    m_codec->thread_count = 2;
    m_codec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    rc = avcodec_open2(m_codec, decoder, nullptr);
    if (rc < 0) {
        error = mediaCannotDecodeText(path, avErrorText(rc));
        return false;
    }
    m_facts.width = stream->codecpar->width;
    m_facts.height = stream->codecpar->height;
    if (m_facts.width <= 0 || m_facts.height <= 0) {
        error = mediaNoVideoText(path);
        return false;
    }
    FrameLayout layout;
    if (!frameLayout(m_facts.width, m_facts.height, layout)) {
        error = clipTooLargeText(m_facts.width, m_facts.height);
        return false;
    }
    if (!buildIndex(error)) return false;

    // The container's average counts the empty frames AVI holds for
    // B-frames, doubling the rate of a remuxed H.264 stream; FFmpeg's own
    // guess prefers the stream's base rate unless that is implausible.
    AVRational rate = av_guess_frame_rate(m_format, stream, nullptr);
    if (rate.num <= 0 || rate.den <= 0) {
        const double span =
            m_index.size() > 1 ? (m_index.back() - m_index.front()) * av_q2d(stream->time_base) : 0;
        rate = span > 0 ? av_d2q((m_index.size() - 1) / span, 1000000) : AVRational{25, 1};
    }
    m_facts.rateNumerator = static_cast<std::uint32_t>(rate.num);
    m_facts.rateDenominator = static_cast<std::uint32_t>(rate.den);
    m_facts.frameCount = static_cast<int>(m_index.size());
    return true;
}

// One pass over the packets without decoding: the presentation order of the
// frames, their count and the key frames, whatever the container states.
bool FfmpegSource::buildIndex(std::string& error)
{
    std::vector<Packet> packets;
    bool allPts = true;
    while (av_read_frame(m_format, m_packet) >= 0) {
        if (m_packet->stream_index == m_stream && !(m_packet->flags & AV_PKT_FLAG_DISCARD) &&
            m_packet->size > 0) {
            packets.push_back({m_packet->pts, m_packet->dts, (m_packet->flags & AV_PKT_FLAG_KEY) != 0});
            if (m_packet->pts == AV_NOPTS_VALUE) allPts = false;
        }
        av_packet_unref(m_packet);
    }
    if (packets.empty()) {
        error = mediaNoFramesText();
        return false;
    }
    m_counting = !allPts;
    if (!m_counting) {
        for (const Packet& p : packets) m_index.push_back(p.pts);
        std::sort(m_index.begin(), m_index.end());
        m_index.erase(std::unique(m_index.begin(), m_index.end()), m_index.end());
        for (const Packet& p : packets)
            if (p.key)
                m_keys.push_back({frameNumberOf(p.pts), p.pts});
    } else {
        // Decode order stands in for presentation order; each packet is one
        // frame and a key frame's number is its position.
        std::int64_t synthetic = 0;
        for (const Packet& p : packets) {
            const std::int64_t dts = p.dts != AV_NOPTS_VALUE ? p.dts : synthetic;
            m_dtsOrder.push_back(dts);
            synthetic = dts + 1;
        }
        std::sort(m_dtsOrder.begin(), m_dtsOrder.end());
        // A key frame's place in decode order is its frame number only when
        // no frame after it is shown before it: always so without reordering
        // and for H.264, whose key frames close their group. Otherwise
        // (MPEG-4 with B-frames in AVI) counting must start at the first frame.
        const AVCodecParameters* par = m_format->streams[m_stream]->codecpar;
        const bool keysClosed = par->video_delay == 0 || par->codec_id == AV_CODEC_ID_H264;
        for (std::size_t i = 0; i < packets.size(); ++i)
            if (packets[i].key && (keysClosed || i == 0))
                m_keys.push_back({static_cast<int>(i), m_dtsOrder[i]});
        m_index.assign(m_dtsOrder.begin(), m_dtsOrder.end());
    }
    std::sort(m_keys.begin(), m_keys.end(), [](const Key& a, const Key& b) { return a.frame < b.frame; });
    if (m_keys.empty() || m_keys.front().frame != 0) m_keys.insert(m_keys.begin(), Key{0, INT64_MIN});
    return true;
}

int FfmpegSource::keyBefore(int n) const
{
    auto it = std::upper_bound(m_keys.begin(), m_keys.end(), n,
                               [](int value, const Key& k) { return value < k.frame; });
    return static_cast<int>(it - m_keys.begin()) - 1;
}

// The number of the frame whose timestamp is the last one not after it.
int FfmpegSource::frameNumberOf(std::int64_t timestamp) const
{
    auto it = std::upper_bound(m_index.begin(), m_index.end(), timestamp);
    return std::max(0, static_cast<int>(it - m_index.begin()) - 1);
}

bool FfmpegSource::seekToKey(int keyIndex)
{
    avcodec_flush_buffers(m_codec);
    m_last = -1;
    m_nextCounted = -1;
    m_drained = false;
    m_sentEof = false;
    const Key& key = m_keys[keyIndex];
    if (key.seekTs == INT64_MIN)
        return avformat_seek_file(m_format, m_stream, INT64_MIN, INT64_MIN, INT64_MIN, 0) >= 0 ||
               av_seek_frame(m_format, m_stream, 0, AVSEEK_FLAG_BACKWARD) >= 0;
    return av_seek_frame(m_format, m_stream, key.seekTs, AVSEEK_FLAG_BACKWARD) >= 0;
}

void FfmpegSource::remember(int number, const AVFrame* f)
{
    if (cached(number)) return;
    if (m_cache.size() >= kCacheCapacity) m_cache.pop_front();
    m_cache.emplace_back(number, FramePtr(av_frame_clone(f)));
}

const AVFrame* FfmpegSource::cached(int n) const
{
    for (const auto& [number, f] : m_cache)
        if (number == n) return f.get();
    return nullptr;
}

// Feeds packets until the decoder hands out one frame, numbered into m_last.
// Frames well before the target that nothing refers to are not decoded at
// all; that leaves every later frame exact.
bool FfmpegSource::receiveOne(int target, std::string& error)
{
    for (;;) {
        int rc = avcodec_receive_frame(m_codec, m_decoded);
        if (rc == 0) {
            if (m_counting) {
                if (m_nextCounted < 0) m_nextCounted = 0;
                m_last = m_nextCounted++;
            } else {
                std::int64_t ts = m_decoded->best_effort_timestamp;
                if (ts == AV_NOPTS_VALUE) ts = m_decoded->pts;
                m_last = ts == AV_NOPTS_VALUE ? m_last + 1 : frameNumberOf(ts);
            }
            return true;
        }
        if (rc == AVERROR_EOF) {
            m_drained = true;
            return false;
        }
        if (rc != AVERROR(EAGAIN)) {
            error = frameDecodingFailedText(avErrorText(rc));
            m_drained = true;
            return false;
        }
        if (m_sentEof) {
            m_drained = true;
            return false;
        }
        for (;;) {
            rc = av_read_frame(m_format, m_packet);
            if (rc < 0) {
                avcodec_send_packet(m_codec, nullptr);
                m_sentEof = true;
                break;
            }
            if (m_packet->stream_index != m_stream) {
                av_packet_unref(m_packet);
                continue;
            }
            if (m_counting && m_nextCounted < 0) {
                // The first packet after a seek is a key frame: its place in
                // decode order is its frame number.
                const std::int64_t dts = m_packet->dts;
                auto it = std::lower_bound(m_dtsOrder.begin(), m_dtsOrder.end(), dts);
                m_nextCounted = dts == AV_NOPTS_VALUE ? 0 : static_cast<int>(it - m_dtsOrder.begin());
            }
            bool skippable = false;
            if (!m_counting && m_packet->pts != AV_NOPTS_VALUE)
                skippable = frameNumberOf(m_packet->pts) < target - kStepBackDepth;
            m_codec->skip_frame = skippable ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
            rc = avcodec_send_packet(m_codec, m_packet);
            av_packet_unref(m_packet);
            // Damaged packets are dropped; the decoder resynchronises itself.
            (void)rc;
            break;
        }
    }
}

AVFrame* FfmpegSource::decodeTo(int n, std::string& error)
{
    const int key = keyBefore(n);
    const bool forward = m_last >= 0 && m_last < n && !m_drained && m_keys[key].frame <= m_last;
    int seekKey = key;
    if (!forward && !seekToKey(seekKey)) {
        error = seekingFailedText();
        return nullptr;
    }
    bool fresh = !forward;
    FramePtr best;
    for (;;) {
        if (!receiveOne(n, error)) break;
        if (fresh) {
            fresh = false;
            if (m_last > n && seekKey > 0) {
                // The demuxer landed after the key frame asked for: go one
                // key frame further back.
                if (!seekToKey(--seekKey)) break;
                fresh = true;
                continue;
            }
        }
        if (m_last >= n - kStepBackDepth) remember(m_last, m_decoded);
        if (m_last == n) return m_decoded;
        if (m_last < n) {
            best.reset(av_frame_clone(m_decoded));
        } else {
            break;
        }
    }
    // The frame itself never came out (a damaged stream): the nearest
    // earlier one stands in for it.
    if (best) {
        av_frame_unref(m_decoded);
        av_frame_move_ref(m_decoded, best.get());
        m_last = -1;
        return m_decoded;
    }
    if (error.empty()) error = frameNotDecodedText(n);
    m_last = -1;
    return nullptr;
}

bool FfmpegSource::convert(const AVFrame* f, std::uint8_t* out, std::size_t stride, std::string& error)
{
    // A stream may change size midway; the clip keeps the size it opened with.
    m_sws =
        sws_getCachedContext(m_sws, f->width, f->height, static_cast<AVPixelFormat>(f->format), m_facts.width,
                             m_facts.height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_sws) {
        error = pictureNotConvertibleText();
        return false;
    }
    std::uint8_t* planes[4] = {out, nullptr, nullptr, nullptr};
    int strides[4] = {static_cast<int>(stride), 0, 0, 0};
    sws_scale(m_sws, f->data, f->linesize, 0, f->height, planes, strides);
    return true;
}

bool FfmpegSource::render(int n, std::uint8_t* out, std::size_t stride,
                          std::vector<FrameProperty>& properties, std::string& error) {
    properties.clear();
    if (n < 0 || n >= m_facts.frameCount) {
        error = frameOutsideClipText(n);
        return false;
    }
    const AVFrame* f = cached(n);
    if (!f) f = decodeTo(n, error);
    return f && convert(f, out, stride, error);
}

// The decoded picture before conversion: Y U V, or R G B for RGB and
// paletted pictures, each as stored (a palette entry's bytes for the latter).
std::vector<PixelComponent> pixelOf(const AVFrame* f, int x, int y)
{
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(f->format));
    if (!d || (d->flags & (AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BITSTREAM)) || x >= f->width ||
        y >= f->height)
        return {};
    const auto** data = const_cast<const std::uint8_t**>(f->data);
    if (d->flags & AV_PIX_FMT_FLAG_PAL) {
        std::uint32_t index = 0;
        av_read_image_line2(&index, data, f->linesize, d, x, y, 0, 1, 0, 4);
        const std::uint32_t entry = AV_RN32(f->data[1] + 4 * (index & 0xff));
        return {{"R", std::to_string((entry >> 16) & 0xff)},
                {"G", std::to_string((entry >> 8) & 0xff)},
                {"B", std::to_string(entry & 0xff)}};
    }
    const bool rgb = d->flags & AV_PIX_FMT_FLAG_RGB;
    // Grey pictures have Y and perhaps alpha.
    const int count = rgb ? 3 : d->nb_components >= 3 ? 3 : 1;
    static const char* const rgbNames[] = {"R", "G", "B"};
    static const char* const yuvNames[] = {"Y", "U", "V"};
    std::vector<PixelComponent> out;
    for (int c = 0; c < count; ++c) {
        const bool chroma = !rgb && c > 0;
        const int cx = chroma ? x >> d->log2_chroma_w : x;
        const int cy = chroma ? y >> d->log2_chroma_h : y;
        std::string value;
        if (d->flags & AV_PIX_FMT_FLAG_FLOAT) {
            const AVComponentDescriptor& comp = d->comp[c];
            if (comp.depth != 32) return {};
            const std::uint8_t* at = f->data[comp.plane] + static_cast<std::ptrdiff_t>(cy) * f->linesize[comp.plane] +
                                     cx * comp.step + comp.offset;
            const std::uint32_t bits = d->flags & AV_PIX_FMT_FLAG_BE ? AV_RB32(at) : AV_RL32(at);
            float v;
            std::memcpy(&v, &bits, 4);
            char buffer[32];
            value.assign(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
        } else {
            std::uint32_t v = 0;
            av_read_image_line2(&v, data, f->linesize, d, cx, cy, c, 1, 0, 4);
            value = std::to_string(v);
        }
        out.push_back({rgb ? rgbNames[c] : yuvNames[c], std::move(value)});
    }
    return out;
}

std::vector<PixelComponent> FfmpegSource::readPixel(int n, int x, int y)
{
    if (n < 0 || n >= m_facts.frameCount) return {};
    std::string error;
    const AVFrame* f = cached(n);
    if (!f) f = decodeTo(n, error);
    return f ? pixelOf(f, x, y) : std::vector<PixelComponent>{};
}

// The file's own picture format and its sound, before anything is converted.
void FfmpegSource::describe(const AVStream* stream)
{
    const auto format = static_cast<AVPixelFormat>(stream->codecpar->format);
    if (const char* name = av_get_pix_fmt_name(format)) m_facts.format = name;
    if (const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format))
        m_facts.bitDepth = descriptor->comp[0].depth;
    const int audio = av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (audio >= 0) {
        const AVCodecParameters* par = m_format->streams[audio]->codecpar;
        m_facts.audioRate = par->sample_rate;
        m_facts.audioChannels = par->ch_layout.nb_channels;
    }
}

} // namespace

std::unique_ptr<FrameSource> openFfmpegSource(const std::string& path, std::string& error)
{
    auto source = std::make_unique<FfmpegSource>();
    if (!source->open(path, error)) return nullptr;
    return source;
}

} // namespace cw
