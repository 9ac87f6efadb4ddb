#include "platform/audio_track.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

namespace {

constexpr int64_t kAudioBitRate = 128000;
// Opus tuned for music rather than speech; FFmpeg's AAC encoder with its fast
// quantiser search, which at 128 kbit/s sounds no different and takes a
// fraction of the time its default search takes (the export's time goes to the picture).
constexpr const char* kOpusOptions = "application=audio";
constexpr const char* kAacOptions = "aac_coder=fast";

// The encoder's sample format: planar or packed float when it takes one, so
// the music is not rounded to 16 bits on its way.
AVSampleFormat PickSampleFormat(const AVCodec& Codec) {
    if (!Codec.sample_fmts) return AV_SAMPLE_FMT_FLTP;
    for (AVSampleFormat wanted : {AV_SAMPLE_FMT_FLTP, AV_SAMPLE_FMT_FLT})
        for (const AVSampleFormat* format = Codec.sample_fmts; *format != AV_SAMPLE_FMT_NONE; ++format)
            if (*format == wanted) return wanted;
    return Codec.sample_fmts[0];
}

} // namespace

AudioTrack::AudioTrack(AVFormatContext& Output, const VideoSettings& Settings) : FName(Settings.DisplayName) {
    const bool webm = Settings.Container == VideoContainer::WebM;
    FEncoder = NewEncoder(webm ? "libopus" : "aac", FName);
    AVCodecContext& encoder = *FEncoder;
    encoder.sample_fmt = PickSampleFormat(*encoder.codec);
    encoder.sample_rate = webm ? 48000 : 44100; // Opus runs at 48 kHz; AAC at the CD rate most music has
    av_channel_layout_default(&encoder.ch_layout, 2);
    encoder.bit_rate = kAudioBitRate;
    encoder.profile = webm ? FF_PROFILE_UNKNOWN : FF_PROFILE_AAC_LOW;
    encoder.time_base = AVRational{1, encoder.sample_rate};
    FStream = &OpenStream(Output, encoder, webm ? kOpusOptions : kAacOptions, FName);

    FFrame->format = encoder.sample_fmt;
    FFrame->sample_rate = encoder.sample_rate;
    FFrame->nb_samples = encoder.frame_size > 0 ? encoder.frame_size : 1024;
    av_channel_layout_default(&FFrame->ch_layout, 2);
    if (av_frame_get_buffer(FFrame.get(), 0) < 0) throw std::bad_alloc();

    if (Settings.Music.empty()) return;
    try {
        FMusic = std::make_unique<MusicDecoder>(Settings.Music, encoder.sample_rate, encoder.sample_fmt);
    } catch (const EVideoError& error) {
        if (Settings.OnWarning) Settings.OnWarning(error.Message + "; the video's sound is silent");
    }
}

int64_t AudioTrack::SamplesUnder(int64_t Frames) const {
    return Frames * FEncoder->sample_rate * kVideoFrameRateDen / kVideoFrameRateNum;
}

void AudioTrack::EncodeUntil(int64_t Frames, const PacketSink& Write) {
    const int frameSize = FFrame->nb_samples;
    while (FSamples + frameSize <= SamplesUnder(Frames))
        EncodeFrame(frameSize, Write);
}

void AudioTrack::Finish(int64_t Frames, const PacketSink& Write) {
    EncodeUntil(Frames, Write);
    const int rest = static_cast<int>(SamplesUnder(Frames) - FSamples);
    // An encoder that takes no short last frame gets it padded with silence:
    // the sound then ends less than one of its frames (20 to 23 ms) after the video.
    const bool shortLast =
        FEncoder->codec->capabilities & (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    if (rest > 0) EncodeFrame(shortLast ? rest : FFrame->nb_samples, Write);
    const int result = avcodec_send_frame(FEncoder.get(), nullptr);
    if (result < 0) RaiseEncodeError(FName, result);
    DrainPackets(*FEncoder, *FStream, *FPacket, Write, FName);
}

void AudioTrack::EncodeFrame(int Count, const PacketSink& Write) {
    AVFrame& frame = *FFrame;
    int result = av_frame_make_writable(&frame);
    if (result < 0) RaiseEncodeError(FName, result);
    const int music = FMusic ? FMusic->Read(frame, Count) : 0;
    if (music < Count) {
        av_samples_set_silence(frame.extended_data, music, Count - music, 2,
                               static_cast<AVSampleFormat>(frame.format));
        FMusic.reset(); // the music has ended: silence from here on
    }
    const int capacity = frame.nb_samples;
    frame.nb_samples = Count;
    frame.pts = FSamples;
    result = avcodec_send_frame(FEncoder.get(), &frame);
    frame.nb_samples = capacity;
    if (result < 0) RaiseEncodeError(FName, result);
    FSamples += Count;
    DrainPackets(*FEncoder, *FStream, *FPacket, Write, FName);
}
