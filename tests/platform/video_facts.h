// A video file read back the way a player reads it, with FFmpeg's demuxers and
// decoders: what its streams are, how many frames and samples they really
// decode to, the loudest sample, and the planes of one decoded frame.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

struct StreamFacts {
    std::string Codec; // "h264", "aac", "vp9", "opus"; empty: no such stream
    int Profile = FF_PROFILE_UNKNOWN;
    int Format = -1;       // pixel or sample format
    AVRational Rate{0, 1}; // frames a second (video)
    int SampleRate = 0;    // audio
    int Channels = 0;      // audio
    int64_t Decoded = 0;   // frames (video) or samples (audio) that decode
    double Seconds = 0;    // Decoded over the rate
    double Peak = 0;       // audio: the largest sample, 1 full scale
};

struct VideoFacts {
    StreamFacts Video, Audio;
    bool IndexFirst = false;        // the MP4 index (moov) comes before the data (mdat)
    std::vector<uint8_t> Planes[3]; // Y, U, V of the kept frame, without padding
};

namespace video_facts {

struct Decoder {
    AVCodecContext* Context = nullptr;
    ~Decoder() { avcodec_free_context(&Context); }
};

inline void Count(StreamFacts& Facts, const AVFrame& Frame, bool Video, int64_t Keep, VideoFacts& Out) {
    if (!Video) {
        Facts.Decoded += Frame.nb_samples;
        for (int c = 0; c < Frame.ch_layout.nb_channels; ++c) {
            const bool planar = av_sample_fmt_is_planar(AVSampleFormat(Frame.format));
            const auto* samples = reinterpret_cast<const float*>(Frame.extended_data[planar ? c : 0]);
            if (Frame.format != AV_SAMPLE_FMT_FLTP && Frame.format != AV_SAMPLE_FMT_FLT) continue;
            const int n = planar ? Frame.nb_samples : Frame.nb_samples * Frame.ch_layout.nb_channels;
            for (int i = 0; i < n; ++i)
                Facts.Peak = std::max(Facts.Peak, double(std::fabs(samples[i])));
        }
        return;
    }
    if (Facts.Decoded++ != Keep) return;
    for (int p = 0; p < 3; ++p) {
        const int w = p ? (Frame.width + 1) / 2 : Frame.width, h = p ? (Frame.height + 1) / 2 : Frame.height;
        Out.Planes[p].clear();
        for (int y = 0; y < h; ++y)
            Out.Planes[p].insert(Out.Planes[p].end(), Frame.data[p] + y * Frame.linesize[p],
                                 Frame.data[p] + y * Frame.linesize[p] + w);
    }
}

// The order of the top-level boxes "moov" and "mdat" in an MP4 file.
inline bool IndexBeforeData(const std::string& File) {
    std::ifstream in(File, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const size_t moov = bytes.find("moov"), mdat = bytes.find("mdat");
    return moov != std::string::npos && mdat != std::string::npos && moov < mdat;
}

} // namespace video_facts

// Reads File whole; keeps the planes of video frame Keep (the first is 0).
inline VideoFacts ReadVideo(const std::string& File, int64_t Keep = -1) {
    using namespace video_facts;
    VideoFacts facts;
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, File.c_str(), nullptr, nullptr) < 0) {
        ADD_FAILURE() << "cannot open " << File;
        return facts;
    }
    avformat_find_stream_info(input, nullptr);
    std::vector<Decoder> decoders(input->nb_streams);
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVCodecParameters& p = *input->streams[i]->codecpar;
        StreamFacts& s = p.codec_type == AVMEDIA_TYPE_VIDEO ? facts.Video : facts.Audio;
        s.Codec = avcodec_get_name(p.codec_id);
        s.Profile = p.profile;
        s.Format = p.format;
        s.Rate = input->streams[i]->avg_frame_rate;
        s.SampleRate = p.sample_rate;
        s.Channels = p.ch_layout.nb_channels;
        const AVCodec* codec = avcodec_find_decoder(p.codec_id);
        decoders[i].Context = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoders[i].Context, &p);
        avcodec_open2(decoders[i].Context, codec, nullptr);
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto drain = [&](unsigned i) {
        const bool video = input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
        while (avcodec_receive_frame(decoders[i].Context, frame) == 0)
            Count(video ? facts.Video : facts.Audio, *frame, video, Keep, facts);
    };
    while (av_read_frame(input, packet) >= 0) {
        const unsigned i = unsigned(packet->stream_index);
        avcodec_send_packet(decoders[i].Context, packet);
        av_packet_unref(packet);
        drain(i);
    }
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        avcodec_send_packet(decoders[i].Context, nullptr);
        drain(i);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&input);
    if (facts.Video.Rate.num > 0)
        facts.Video.Seconds = facts.Video.Decoded * av_q2d(av_inv_q(facts.Video.Rate));
    if (facts.Audio.SampleRate > 0)
        facts.Audio.Seconds = double(facts.Audio.Decoded) / facts.Audio.SampleRate;
    facts.IndexFirst = IndexBeforeData(File);
    return facts;
}

// The peak signal-to-noise ratio of two sets of planes, all samples counted alike.
inline double Psnr(const std::vector<uint8_t> (&A)[3], const std::vector<uint8_t> (&B)[3]) {
    double squares = 0;
    size_t count = 0;
    for (int p = 0; p < 3; ++p) {
        if (A[p].size() != B[p].size()) return 0;
        for (size_t i = 0; i < A[p].size(); ++i) {
            const double d = double(A[p][i]) - double(B[p][i]);
            squares += d * d;
        }
        count += A[p].size();
    }
    return squares == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * double(count) / squares);
}
