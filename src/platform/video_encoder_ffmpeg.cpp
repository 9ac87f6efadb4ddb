// The video encoder on FFmpeg's libraries: the drawing thread hands frames over
// through a small queue; one encoder thread converts and encodes them
// (libx264 or libvpx adds threads of its own), lays the sound under them as it
// goes, and writes both streams interleaved into the file.
#include <atomic>
#include <filesystem>
#include <mutex>
#include <new>
#include <thread>

#include "platform/audio_track.h"
#include "platform/ffmpeg_types.h"
#include "platform/frame_queue.h"
#include "platform/video_encoder_ffmpeg.h"
#include "platform/video_track.h"

namespace {

// Enough frames to ride out the encoder's slower moments (a key frame, a scene
// change) without holding the drawing; each is 800 x 600 x 2 bytes.
constexpr size_t kQueuedFrames = 8;

struct AvOutputFree {
    void operator()(AVFormatContext* Context) const {
        if (Context->pb) avio_closep(&Context->pb);
        avformat_free_context(Context);
    }
};
using AvOutputPtr = std::unique_ptr<AVFormatContext, AvOutputFree>;

class FfmpegVideoEncoder final : public VideoEncoder {
public:
    explicit FfmpegVideoEncoder(const VideoSettings& Settings);
    ~FfmpegVideoEncoder() override;

    void AddFrame(const PixelView& Frame) override;
    std::string Error() const override;
    int64_t BytesWritten() const override { return FBytes; }
    void Finish() override;

private:
    void OpenFile();
    void Run();
    void Write(AVPacket& Packet);
    void Fail(const std::string& Message);
    [[noreturn]] void RaiseWriteError(int Code) const;

    VideoSettings FSettings;
    AvOutputPtr FOutput;
    std::unique_ptr<VideoTrack> FVideo;
    std::unique_ptr<AudioTrack> FAudio;
    PacketSink FWrite;
    FrameQueue FQueue{kQueuedFrames};
    int64_t FQueuedCount = 0;  // frames handed over (drawing thread)
    int64_t FEncodedCount = 0; // frames encoded (encoder thread until joined)
    std::atomic<int64_t> FBytes = 0;
    mutable std::mutex FErrorLock;
    std::string FError;
    std::thread FWorker;
};

FfmpegVideoEncoder::FfmpegVideoEncoder(const VideoSettings& Settings) : FSettings(Settings) {
    if (FSettings.DisplayName.empty()) FSettings.DisplayName = FSettings.File;
    const bool webm = FSettings.Container == VideoContainer::WebM;
    AVFormatContext* output = nullptr;
    const int result =
        avformat_alloc_output_context2(&output, nullptr, webm ? "webm" : "mp4", FSettings.File.c_str());
    if (result < 0 || !output) RaiseEncodeError(FSettings.DisplayName, result);
    FOutput.reset(output);
    FWrite = [this](AVPacket& Packet) { Write(Packet); };
    FVideo = std::make_unique<VideoTrack>(*FOutput, FSettings);
    FAudio = std::make_unique<AudioTrack>(*FOutput, FSettings);
    OpenFile();
    FWorker = std::thread([this] { Run(); });
}

FfmpegVideoEncoder::~FfmpegVideoEncoder() {
    FQueue.Stop();
    if (FWorker.joinable()) FWorker.join();
}

// Opens the file and writes the container's header; an MP4 gets its index
// moved to the front when it is finished (+faststart), so it plays while it downloads.
void FfmpegVideoEncoder::OpenFile() {
    int result = avio_open(&FOutput->pb, FSettings.File.c_str(), AVIO_FLAG_WRITE);
    if (result < 0) RaiseWriteError(result);
    AVDictionary* options = nullptr;
    if (FSettings.Container == VideoContainer::Mp4) av_dict_set(&options, "movflags", "+faststart", 0);
    result = avformat_write_header(FOutput.get(), &options);
    av_dict_free(&options);
    if (result < 0) RaiseWriteError(result);
    FBytes = avio_tell(FOutput->pb);
}

void FfmpegVideoEncoder::AddFrame(const PixelView& Frame) {
    if (FQueuedCount >= FSettings.Frames) return;
    if (FQueue.Push(Frame)) ++FQueuedCount;
}

std::string FfmpegVideoEncoder::Error() const {
    const std::lock_guard lock(FErrorLock);
    return FError;
}

// The encoder thread: a frame, then the sound that lies under it.
void FfmpegVideoEncoder::Run() {
    try {
        for (PixelView frame = FQueue.Pop(); !frame.Empty(); frame = FQueue.Pop()) {
            FVideo->Encode(frame, FEncodedCount, FWrite);
            FQueue.Release();
            ++FEncodedCount;
            FAudio->EncodeUntil(FEncodedCount, FWrite);
        }
    } catch (const std::bad_alloc&) {
        Fail(Format("Cannot encode \"%s\": out of memory", FSettings.DisplayName.c_str()));
    } catch (const std::exception& error) {
        Fail(error.what());
    }
}

void FfmpegVideoEncoder::Fail(const std::string& Message) {
    {
        const std::lock_guard lock(FErrorLock);
        if (FError.empty()) FError = Message;
    }
    FQueue.Stop();
}

void FfmpegVideoEncoder::Write(AVPacket& Packet) {
    int result = av_interleaved_write_frame(FOutput.get(), &Packet);
    if (result >= 0) result = FOutput->pb->error;
    if (result < 0) RaiseWriteError(result);
    FBytes = avio_tell(FOutput->pb);
}

void FfmpegVideoEncoder::RaiseWriteError(int Code) const {
    throw EVideoError(
        Format("Cannot write \"%s\": %s", FSettings.DisplayName.c_str(), FfmpegReason(Code).c_str()));
}

void FfmpegVideoEncoder::Finish() {
    FQueue.EndInput();
    if (FWorker.joinable()) FWorker.join();
    if (const std::string error = Error(); !error.empty()) throw EVideoError(error);
    if (FEncodedCount < FSettings.Frames)
        throw EVideoError(Format("Cannot encode \"%s\": it ends after frame %lld of %lld",
                                 FSettings.DisplayName.c_str(), static_cast<long long>(FEncodedCount),
                                 static_cast<long long>(FSettings.Frames)));
    FVideo->Finish(FWrite);
    FAudio->Finish(FEncodedCount, FWrite);
    int result = av_write_trailer(FOutput.get());
    if (result >= 0) result = FOutput->pb->error;
    if (result < 0) RaiseWriteError(result);
    result = avio_closep(&FOutput->pb); // the last bytes reach the disk here
    if (result < 0) RaiseWriteError(result);
    std::error_code unknown;
    FBytes = static_cast<int64_t>(std::filesystem::file_size(FSettings.File, unknown));
}

} // namespace

std::unique_ptr<VideoEncoder> CreateFfmpegVideoEncoder(const VideoSettings& Settings) {
    av_log_set_level(AV_LOG_FATAL); // failures come back as our own messages naming the file
    return std::make_unique<FfmpegVideoEncoder>(Settings);
}
