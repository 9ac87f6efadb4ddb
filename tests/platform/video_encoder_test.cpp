// The video encoder, read back with FFmpeg as a player reads the file: MP4
// (H.264 High, AAC-LC) with its index in front and WebM (VP9, Opus), 100/3
// frames a second, every frame in its place, a sound track exactly as long as
// the video whether the music is shorter, longer or missing; and the 8-pixel
// colour conversion agreeing with the one-pixel one.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "platform/pixel_buffer.h"
#include "platform/video_encoder_ffmpeg.h"
#include "platform/video_facts.h"
#include "platform/yuv_convert.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 160, kHeight = 120;
constexpr double kFrameSeconds = 0.03;

std::string TonePath() { // 0.5 s of 440 Hz, mono MP3 at 44.1 kHz
    const char* data = std::getenv("FUIFJE_TEST_DATA");
    return (fs::path(data ? data : "tests/data") / "audio" / "tone.mp3").string();
}

// Frame Index: a light square on a dark ground, 6 pixels further right each frame.
void DrawFrame(PixelBuffer& Picture, int Index) {
    Picture.Fill(PackColor(Picture.Format(), RGB(20, 30, 60)));
    Picture.FillRect(Rect(6 * Index, 40, 6 * Index + 40, 80), PackColor(Picture.Format(), RGB(250, 220, 40)));
}

std::vector<uint8_t> (&Converted(PixelBuffer& Picture, int Index, std::vector<uint8_t> (&Planes)[3]))[3] {
    DrawFrame(Picture, Index);
    Planes[0].assign(kWidth * kHeight, 0);
    Planes[1].assign(kWidth * kHeight / 4, 0);
    Planes[2].assign(kWidth * kHeight / 4, 0);
    ConvertToYuv420(Picture.View(), YuvPlanes{{Planes[0].data(), Planes[1].data(), Planes[2].data()},
                                              {kWidth, kWidth / 2, kWidth / 2}});
    return Planes;
}

VideoSettings SettingsFor(const fs::path& File, VideoContainer Container, int Frames,
                          const std::string& Music) {
    VideoSettings settings;
    settings.File = File.string();
    settings.Container = Container;
    settings.Width = kWidth;
    settings.Height = kHeight;
    settings.Frames = Frames;
    settings.Music = Music;
    return settings;
}

struct Encoded {
    VideoFacts Facts;
    std::vector<std::string> Warnings;
};

// Encodes Frames frames with Music under them and reads the file back, keeping frame Keep.
Encoded Encode(VideoContainer Container, int Frames, const std::string& Music, int Keep) {
    const fs::path file = fs::temp_directory_path() / (std::string("fuifje-encoder-test") +
                                                       (Container == VideoContainer::Mp4 ? ".mp4" : ".webm"));
    Encoded result;
    VideoSettings settings = SettingsFor(file, Container, Frames, Music);
    settings.OnWarning = [&](const std::string& Warning) { result.Warnings.push_back(Warning); };
    {
        const std::unique_ptr<VideoEncoder> encoder = CreateFfmpegVideoEncoder(settings);
        PixelBuffer picture;
        picture.Create(kWidth, kHeight, PixelFormat::Rgb565);
        for (int i = 0; i < Frames; ++i) {
            DrawFrame(picture, i);
            encoder->AddFrame(picture.View());
        }
        encoder->Finish();
        EXPECT_EQ(encoder->BytesWritten(), int64_t(fs::file_size(file)));
    }
    result.Facts = ReadVideo(file.string(), Keep);
    fs::remove(file);
    return result;
}

} // namespace

TEST(VideoEncoder, WritesWhatPhonesAndBrowsersPlay) {
    struct Case {
        VideoContainer Container;
        const char* Video;
        const char* Audio;
        int SampleRate;
    };
    for (const Case c : {Case{VideoContainer::Mp4, "h264", "aac", 44100},
                         Case{VideoContainer::WebM, "vp9", "opus", 48000}}) {
        SCOPED_TRACE(c.Video);
        const int frames = 40; // 1.2 s over a tone of 0.5 s: the rest is silence
        const Encoded run = Encode(c.Container, frames, TonePath(), 7);
        const VideoFacts& f = run.Facts;
        EXPECT_TRUE(run.Warnings.empty());
        EXPECT_EQ(f.Video.Codec, c.Video);
        EXPECT_EQ(f.Video.Format, AV_PIX_FMT_YUV420P);
        EXPECT_EQ(f.Video.Rate.num * 3, f.Video.Rate.den * 100)
            << f.Video.Rate.num << "/" << f.Video.Rate.den;
        EXPECT_EQ(f.Video.Decoded, frames);
        EXPECT_EQ(f.Audio.Codec, c.Audio);
        EXPECT_EQ(f.Audio.SampleRate, c.SampleRate);
        EXPECT_EQ(f.Audio.Channels, 2);
        EXPECT_NEAR(f.Audio.Seconds, f.Video.Seconds, kFrameSeconds);
        EXPECT_GT(f.Audio.Peak, 0.2); // the tone is there (at half scale)
        if (c.Container == VideoContainer::Mp4) {
            EXPECT_EQ(f.Video.Profile, FF_PROFILE_H264_HIGH);
            EXPECT_EQ(f.Audio.Profile, FF_PROFILE_AAC_LOW);
            EXPECT_TRUE(f.IndexFirst) << "the index must come first, so the video plays while it downloads";
        }
        // Frame 7 is frame 7, not its neighbour.
        PixelBuffer picture;
        picture.Create(kWidth, kHeight, PixelFormat::Rgb565);
        std::vector<uint8_t> planes[3];
        const double own = Psnr(f.Planes, Converted(picture, 7, planes));
        EXPECT_GT(own, 35);
        EXPECT_GT(own, Psnr(f.Planes, Converted(picture, 6, planes)) + 5);
        EXPECT_GT(own, Psnr(f.Planes, Converted(picture, 8, planes)) + 5);
    }
}

TEST(VideoEncoder, TheSoundTrackIsAsLongAsTheVideo) {
    // Music longer than the video is cut at its end.
    const Encoded cut = Encode(VideoContainer::Mp4, 10, TonePath(), -1);
    EXPECT_NEAR(cut.Facts.Audio.Seconds, 10 * kFrameSeconds, kFrameSeconds);
    // Music that cannot be read: one warning naming the file, and silence.
    const std::string missing = (fs::temp_directory_path() / "fuifje-no-such-music.mp3").string();
    const Encoded silent = Encode(VideoContainer::Mp4, 20, missing, -1);
    ASSERT_EQ(silent.Warnings.size(), 1u);
    EXPECT_NE(silent.Warnings[0].find(missing), std::string::npos) << silent.Warnings[0];
    EXPECT_EQ(silent.Facts.Audio.Codec, "aac");
    EXPECT_NEAR(silent.Facts.Audio.Seconds, 20 * kFrameSeconds, kFrameSeconds);
    EXPECT_LT(silent.Facts.Audio.Peak, 0.001);
}

TEST(VideoEncoder, RefusesAFileItCannotWriteAndAShortVideo) {
    VideoSettings settings =
        SettingsFor(fs::temp_directory_path() / "no-such-folder" / "x.mp4", VideoContainer::Mp4, 5, "");
    try {
        CreateFfmpegVideoEncoder(settings);
        ADD_FAILURE() << "an unwritable file was accepted";
    } catch (const EVideoError& error) {
        EXPECT_NE(error.Message.find("Cannot write \"" + settings.File + "\""), std::string::npos)
            << error.Message;
    }
    settings.File = (fs::temp_directory_path() / "fuifje-short.mp4").string();
    const std::unique_ptr<VideoEncoder> encoder = CreateFfmpegVideoEncoder(settings);
    PixelBuffer picture;
    picture.Create(kWidth, kHeight, PixelFormat::Rgb565);
    encoder->AddFrame(picture.View());
    EXPECT_THROW(encoder->Finish(), EVideoError); // 1 of 5 frames is no video
    fs::remove(settings.File);
}

// The eight-pixel way through a 5-6-5 picture gives the planes the one-pixel
// way gives the same colours in 24 bits, leftover columns and odd sizes included.
TEST(YuvConvert, EightPixelsAtATimeAsOneByOne) {
    std::mt19937 random(7);
    for (const auto& [width, height] : {std::pair{16, 4}, std::pair{21, 7}, std::pair{3, 1}}) {
        PixelBuffer fast, reference;
        fast.Create(width, height, PixelFormat::Rgb565);
        reference.Create(width, height, PixelFormat::Bgr24);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint32_t pixel = random() & 0xFFFF;
                fast.FillRect(Rect(x, y, x + 1, y + 1), pixel);
                reference.FillRect(Rect(x, y, x + 1, y + 1),
                                   PackColor(PixelFormat::Bgr24, UnpackColor(PixelFormat::Rgb565, pixel)));
            }
        const int cw = (width + 1) / 2, ch = (height + 1) / 2;
        std::vector<uint8_t> a[3], b[3];
        for (auto* planes : {&a, &b}) {
            (*planes)[0].assign(width * height, 0);
            (*planes)[1].assign(cw * ch, 0);
            (*planes)[2].assign(cw * ch, 0);
        }
        ConvertToYuv420(fast.View(), YuvPlanes{{a[0].data(), a[1].data(), a[2].data()}, {width, cw, cw}});
        ConvertToYuv420(reference.View(),
                        YuvPlanes{{b[0].data(), b[1].data(), b[2].data()}, {width, cw, cw}});
        for (int p = 0; p < 3; ++p)
            EXPECT_EQ(a[p], b[p]) << width << " x " << height << ", plane " << p;
    }
}
