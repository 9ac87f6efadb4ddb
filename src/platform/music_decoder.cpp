#include "platform/music_decoder.h"

#include "platform/ffmpeg_types.h"
#include "platform/video_encoder.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace {

// The demuxers a music file may use: no playlists, no image sequences, nothing
// that opens other files.
constexpr const char* kMusicFormats = "mp3,ogg,flac,wav,aiff,mp4,matroska,aac";

// File opened as one of the music formats with its stream facts read, or the
// reason it cannot be.
AvInputPtr OpenMusic(const std::string& File, std::string& Reason) {
    AVFormatContext* context = avformat_alloc_context();
    if (!context) throw std::bad_alloc();
    av_opt_set(context, "format_whitelist", kMusicFormats, 0);
    av_opt_set(context, "protocol_whitelist", "file", 0);
    int result = avformat_open_input(&context, File.c_str(), nullptr, nullptr); // frees context on failure
    if (result < 0) {
        Reason = FfmpegReason(result);
        return nullptr;
    }
    AvInputPtr input(context);
    result = avformat_find_stream_info(context, nullptr);
    if (result < 0) {
        Reason = FfmpegReason(result);
        return nullptr;
    }
    return input;
}

[[noreturn]] void Refuse(const std::string& File, const std::string& Reason) {
    throw EVideoError(Format("Cannot read the music \"%s\": %s", File.c_str(), Reason.c_str()));
}

} // namespace

struct MusicDecoder::State {
    AvInputPtr Input;
    AvCodecContextPtr Decoder;
    int Stream = -1;
    SwrPtr Resampler{swr_alloc()};
    AvAudioFifoPtr Fifo;
    AvFramePtr Decoded = NewFrame();
    AvFramePtr Converted = NewFrame();
    AvPacketPtr Packet = NewPacket();
    int Rate = 0;
    AVSampleFormat SampleFormat = AV_SAMPLE_FMT_NONE;
    bool Draining = false; // the file is read to its end; the decoder gives what it holds
    bool Ended = false;
};

MusicDecoder::MusicDecoder(const std::string& File, int Rate, int SampleFormat)
    : FState(std::make_unique<State>()) {
    State& s = *FState;
    s.Rate = Rate;
    s.SampleFormat = static_cast<AVSampleFormat>(SampleFormat);
    std::string reason;
    s.Input = OpenMusic(File, reason);
    if (!s.Input) Refuse(File, reason);
    const AVCodec* codec = nullptr;
    s.Stream = av_find_best_stream(s.Input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (s.Stream < 0 || !codec) Refuse(File, "no sound in a format this program decodes");
    s.Decoder.reset(avcodec_alloc_context3(codec));
    s.Fifo.reset(av_audio_fifo_alloc(s.SampleFormat, 2, 4096));
    if (!s.Decoder || !s.Resampler || !s.Fifo) throw std::bad_alloc();
    int result = avcodec_parameters_to_context(s.Decoder.get(), s.Input->streams[s.Stream]->codecpar);
    if (result >= 0) result = avcodec_open2(s.Decoder.get(), codec, nullptr);
    if (result < 0) Refuse(File, FfmpegReason(result));
}

MusicDecoder::~MusicDecoder() = default;

int MusicDecoder::Read(AVFrame& Frame, int Count) {
    State& s = *FState;
    while (av_audio_fifo_size(s.Fifo.get()) < Count && DecodeMore()) {
    }
    const int ready = std::min(Count, av_audio_fifo_size(s.Fifo.get()));
    if (ready <= 0) return 0;
    return av_audio_fifo_read(s.Fifo.get(), reinterpret_cast<void**>(Frame.extended_data), ready);
}

// Decodes the next frame of sound into the queue of converted samples; false
// once the music has ended.
bool MusicDecoder::DecodeMore() {
    State& s = *FState;
    while (!s.Ended) {
        const int received = avcodec_receive_frame(s.Decoder.get(), s.Decoded.get());
        if (received == 0) {
            Convert(s.Decoded.get());
            av_frame_unref(s.Decoded.get());
            return true;
        }
        if (received != AVERROR(EAGAIN)) { // the end, or a decoder that cannot go on
            Convert(nullptr);
            s.Ended = true;
            return true;
        }
        if (s.Draining || av_read_frame(s.Input.get(), s.Packet.get()) < 0) {
            s.Draining = true;
            avcodec_send_packet(s.Decoder.get(), nullptr);
            continue;
        }
        // A damaged packet is refused by the decoder and skipped.
        if (s.Packet->stream_index == s.Stream) avcodec_send_packet(s.Decoder.get(), s.Packet.get());
        av_packet_unref(s.Packet.get());
    }
    return false;
}

// Resamples Decoded (nullptr: what the resampler still holds) into the queue.
void MusicDecoder::Convert(AVFrame* Decoded) {
    State& s = *FState;
    if (Decoded && Decoded->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&Decoded->ch_layout, Decoded->ch_layout.nb_channels);
    SwrContext* resampler = s.Resampler.get();
    if (!Decoded && !swr_is_initialized(resampler)) return; // no sound was decoded at all
    AVFrame& out = *s.Converted;
    av_frame_unref(&out);
    out.format = s.SampleFormat;
    out.sample_rate = s.Rate;
    av_channel_layout_default(&out.ch_layout, 2);
    int result = swr_convert_frame(resampler, &out, Decoded);
    // A file may change its rate or channels midway: the resampler is set up anew.
    if (result == AVERROR_INPUT_CHANGED) {
        swr_close(resampler);
        result = swr_config_frame(resampler, &out, Decoded);
        if (result >= 0) result = swr_init(resampler);
        if (result >= 0) result = swr_convert_frame(resampler, &out, Decoded);
    }
    if (result < 0 || out.nb_samples <= 0) return; // samples that cannot be converted are skipped
    if (av_audio_fifo_write(s.Fifo.get(), reinterpret_cast<void**>(out.extended_data), out.nb_samples) < 0)
        throw std::bad_alloc();
}

int64_t MusicMilliseconds(const std::string& File) {
    std::string reason;
    const AvInputPtr input = OpenMusic(File, reason);
    if (!input) return -1;
    const int stream = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (stream < 0) return -1;
    const AVStream& audio = *input->streams[stream];
    if (audio.duration > 0) return av_rescale_q(audio.duration, audio.time_base, AVRational{1, 1000});
    if (input->duration > 0) return av_rescale(input->duration, 1000, AV_TIME_BASE);
    return -1;
}
