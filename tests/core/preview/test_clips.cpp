#include "test_clips.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace cw::test {
namespace {

void fillFrame(AVFrame* f, int n)
{
    for (int y = 0; y < f->height; ++y)
        for (int x = 0; x < f->width; ++x) {
            int luma = 16 + ((x * 3 + y * 2 + n * 7) % 200);
            if (y < 16 && x < 16) luma = 16 + 12 * (n % 16);
            if (y < 16 && x >= 16 && x < 32) luma = 16 + 12 * (n / 16);
            f->data[0][y * f->linesize[0] + x] = static_cast<std::uint8_t>(luma);
        }
    for (int plane = 1; plane < 3; ++plane)
        for (int y = 0; y < f->height / 2; ++y) std::fill_n(f->data[plane] + y * f->linesize[plane], f->width / 2, 128);
}

} // namespace

std::string makeClip(const std::string& path, const ClipRecipe& recipe)
{
    AVFormatContext* format = nullptr;
    if (avformat_alloc_output_context2(&format, nullptr, nullptr, path.c_str()) < 0) return "no muxer";
    const AVCodec* encoder = avcodec_find_encoder_by_name(recipe.codec.c_str());
    AVStream* stream = avformat_new_stream(format, nullptr);
    AVCodecContext* codec = avcodec_alloc_context3(encoder);
    codec->width = recipe.width;
    codec->height = recipe.height;
    codec->pix_fmt = AV_PIX_FMT_YUV420P;
    codec->time_base = {1, 25};
    codec->framerate = stream->avg_frame_rate = {25, 1};
    codec->gop_size = recipe.gop;
    codec->max_b_frames = recipe.bFrames;
    codec->flags |= AV_CODEC_FLAG_QSCALE;
    codec->global_quality = FF_QP2LAMBDA * 2;
    if (format->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    bool ok = encoder && avcodec_open2(codec, encoder, nullptr) >= 0;
    if (ok) {
        avcodec_parameters_from_context(stream->codecpar, codec);
        stream->time_base = codec->time_base;
        ok = avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(format, nullptr) >= 0;
    }
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    const auto send = [&](AVFrame* f) {
        ok = ok && avcodec_send_frame(codec, f) >= 0;
        while (ok && avcodec_receive_packet(codec, packet) == 0) {
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            ok = av_interleaved_write_frame(format, packet) >= 0;
        }
    };
    frame->width = recipe.width;
    frame->height = recipe.height;
    frame->format = AV_PIX_FMT_YUV420P;
    av_frame_get_buffer(frame, 0);
    for (int n = 0; ok && n < recipe.frames; ++n) {
        av_frame_make_writable(frame);
        fillFrame(frame, n);
        frame->pts = n;
        frame->quality = codec->global_quality;
        send(frame);
    }
    send(nullptr);
    ok = ok && av_write_trailer(format) >= 0;
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    if (format->pb) avio_closep(&format->pb);
    avformat_free_context(format);
    return ok ? "" : "cannot encode " + recipe.codec;
}

bool haveX264Tool()
{
    return std::system("ffmpeg -hide_banner -encoders 2>/dev/null | grep -q libx264") == 0;
}

std::string makeX264Clip(const std::string& path, int frames, int gop)
{
    // A ".remux.avi" is first encoded to MP4, then copied into AVI as a
    // remuxing tool would, with the empty frames AVI adds for B-frames.
    const bool remux = path.ends_with(".remux.avi");
    const std::string encoded = remux ? path + ".mp4" : path;
    std::string command = "ffmpeg -v error -y -f lavfi -i testsrc2=size=160x120:rate=25 -frames:v " +
                          std::to_string(frames) + " -c:v libx264 -preset veryfast -g " + std::to_string(gop) +
                          " -bf 3 -pix_fmt yuv420p \"" + encoded + "\"";
    if (remux) command += " && ffmpeg -v error -y -i \"" + encoded + "\" -c copy \"" + path + "\"";
    return std::system(command.c_str()) == 0 ? "" : "ffmpeg failed";
}

std::vector<std::vector<std::uint8_t>> decodeSequentially(const std::string& path)
{
    std::vector<std::vector<std::uint8_t>> frames;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return frames;
    avformat_find_stream_info(format, nullptr);
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    AVCodecContext* codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(codec, format->streams[index]->codecpar);
    avcodec_open2(codec, decoder, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* sws = nullptr;
    const auto take = [&] {
        while (avcodec_receive_frame(codec, frame) == 0) {
            sws = sws_getCachedContext(sws, frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                       frame->height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
            std::vector<std::uint8_t> bgra(std::size_t(frame->width) * frame->height * 4);
            std::uint8_t* planes[4] = {bgra.data()};
            int strides[4] = {frame->width * 4};
            sws_scale(sws, frame->data, frame->linesize, 0, frame->height, planes, strides);
            frames.push_back(std::move(bgra));
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index) avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
        take();
    }
    avcodec_send_packet(codec, nullptr);
    take();
    sws_freeContext(sws);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    return frames;
}

int readFrameNumber(const std::uint8_t* bgra, int stride)
{
    const auto digit = [&](int x) {
        const double red = bgra[8 * stride + x * 4 + 2];
        return static_cast<int>(std::lround(red * 219.0 / 255.0 / 12.0));
    };
    return digit(8) + 16 * digit(24);
}

} // namespace cw::test
