#include "platform/video_track.h"

#include "platform/yuv_convert.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace {

// H.264 for every phone: High profile at level 3.1 (up to 1280 x 720 at 30
// frames a second). Constant quality (CRF) tuned for the least error per bit
// (no psychovisual tweaks, no adaptive quantisation): the show is flat colour
// and sharp edges, and the built-in invitation's 3:55 must fit the 16 MB chat
// apps send inline, 128 kbit/s of sound included. CRF 30 fits with about 1 MB
// to spare; "veryfast" leaves the time to draw the show on a 2-core machine.
constexpr const char* kH264Options = "preset=veryfast:tune=psnr:crf=30:profile=high:level=3.1";
// VP9 for browsers: constant quality, fast real-time settings, rows in
// parallel. CRF 40 gives about the H.264 track's error at 28 MB for the
// built-in invitation's 3:55, where CRF 32 made 47 MB.
constexpr const char* kVp9Options = "crf=40:deadline=realtime:cpu-used=8:row-mt=1";

} // namespace

VideoTrack::VideoTrack(AVFormatContext& Output, const VideoSettings& Settings) : FName(Settings.DisplayName) {
    const bool webm = Settings.Container == VideoContainer::WebM;
    FEncoder = NewEncoder(webm ? "libvpx-vp9" : "libx264", FName);
    AVCodecContext& encoder = *FEncoder;
    encoder.width = Settings.Width;
    encoder.height = Settings.Height;
    encoder.pix_fmt = AV_PIX_FMT_YUV420P;
    encoder.time_base = AVRational{kVideoFrameRateDen, kVideoFrameRateNum};
    encoder.framerate = AVRational{kVideoFrameRateNum, kVideoFrameRateDen};
    encoder.gop_size = 600; // a key frame at least every 18 s: enough to seek, few costly pictures
    encoder.color_range = AVCOL_RANGE_MPEG;
    encoder.colorspace = AVCOL_SPC_SMPTE170M;
    encoder.color_primaries = AVCOL_PRI_SMPTE170M;
    encoder.color_trc = AVCOL_TRC_SMPTE170M;
    encoder.thread_count = 0; // as many as the encoder finds useful on this machine
    if (webm) encoder.bit_rate = 0;
    FStream = &OpenStream(Output, encoder, webm ? kVp9Options : kH264Options, FName);
    FStream->avg_frame_rate = encoder.framerate;

    FFrame->format = encoder.pix_fmt;
    FFrame->width = encoder.width;
    FFrame->height = encoder.height;
    if (av_frame_get_buffer(FFrame.get(), 0) < 0) throw std::bad_alloc();
}

void VideoTrack::Encode(const PixelView& Frame, int64_t Index, const PacketSink& Write) {
    if (Frame.Width != FEncoder->width || Frame.Height != FEncoder->height)
        throw EVideoError(Format("Cannot encode \"%s\": a frame of %d x %d pixels in a video of %d x %d",
                                 FName.c_str(), Frame.Width, Frame.Height, FEncoder->width,
                                 FEncoder->height));
    AVFrame& frame = *FFrame;
    int result = av_frame_make_writable(&frame); // the encoder may still hold the last picture
    if (result < 0) RaiseEncodeError(FName, result);
    ConvertToYuv420(Frame, YuvPlanes{{frame.data[0], frame.data[1], frame.data[2]},
                                     {frame.linesize[0], frame.linesize[1], frame.linesize[2]}});
    frame.pts = Index;
    result = avcodec_send_frame(FEncoder.get(), &frame);
    if (result < 0) RaiseEncodeError(FName, result);
    DrainPackets(*FEncoder, *FStream, *FPacket, Write, FName);
}

void VideoTrack::Finish(const PacketSink& Write) {
    const int result = avcodec_send_frame(FEncoder.get(), nullptr);
    if (result < 0) RaiseEncodeError(FName, result);
    DrainPackets(*FEncoder, *FStream, *FPacket, Write, FName);
}
