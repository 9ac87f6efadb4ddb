#include "show/video_export.h"

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <new>

#include "core/random.h"
#include "platform/audio_headless.h"
#include "platform/platform_services.h"
#include "platform/stop_signals.h"
#include "platform/video_encoder.h"
#include "show/data_folder.h"
#include "show/export_length.h"
#include "show/export_progress.h"
#include "show/main_form.h"
#include "show/pending_file.h"

namespace {

// The export's sound comes from the encoder, which tells of an unreadable music
// file itself and naming it; the show's own audio messages would only repeat it.
class QuietMessages : public MessageBox {
public:
    void ShowError(const std::string&, const std::string&) override {}
};

// Real time since the export began, for the progress line.
struct Stopwatch {
    SystemClock Time;
    uint32_t Start = Time.Milliseconds();

    int64_t Elapsed() const { return static_cast<uint32_t>(Time.Milliseconds() - Start); }
};

// What one export works with.
struct ExportJob {
    const Invitation& Content;
    int64_t Frames = 0;
    VideoEncoder& Encoder;
    ExportProgress& Progress;
    StopSignals& Signals;
    const Stopwatch& Watch;
};

// Runs the show frame by frame into the encoder until the last frame, a stop
// signal or an encoder failure.
void PlayInto(ExportJob& Job) {
    PlatformServices platform = MakeHeadlessPlatform();
    platform.Messages = std::make_unique<QuietMessages>();
    platform.HeadlessScreen->OnPresent = [&Job](const PixelView& Screen) { Job.Encoder.AddFrame(Screen); };
    HeadlessAudio audio; // never opens the sound device
    TMainForm form(platform, audio, ExecutableFolder(), Job.Content);
    const TDXTimerEvent drawFrame = form.DXTimer->OnTimer;
    form.DXTimer->OnTimer = [&](TObject* Sender, int32_t LagCount) {
        drawFrame(Sender, LagCount);
        const int frame = platform.HeadlessScreen->PresentCount();
        Job.Progress.Update(frame, Job.Encoder.BytesWritten(), Job.Watch.Elapsed());
        if (frame >= Job.Frames || Job.Signals.Received() || !Job.Encoder.Error().empty()) form.Close();
    };
    if (Job.Signals.Received()) return;
    form.Show();
    platform.App->Run();
}

VideoSettings SettingsFor(const CommandLine& Options, const Invitation& Content, const std::string& File,
                          int64_t Frames) {
    VideoSettings settings;
    settings.File = File;
    settings.DisplayName = Options.Export;
    settings.Container = ExtensionOf(Options.Export) == ".webm" ? VideoContainer::WebM : VideoContainer::Mp4;
    settings.Frames = Frames;
    settings.Music = InvitationFile(DataFolder(ExecutableFolder()), Content.Files.Music);
    settings.OnWarning = [](const std::string& Warning) {
        std::fprintf(stderr, "fuifje: %s\n", Warning.c_str());
    };
    return settings;
}

// The export itself; raises on a failure, returns the stopping signal or 0.
// The destination is tried first: a folder that cannot take the video is said
// at once, before the music is read or the data folder looked for.
int Export(const CommandLine& Options, const Invitation& Content, StopSignals& Signals) {
    PendingFile file(Options.Export);
    const std::string music = InvitationFile(DataFolder(ExecutableFolder()), Content.Files.Music);
    const int64_t frames =
        Options.ExportTime ? FramesFor(*Options.ExportTime) : ExportFrames(Content, SoundMilliseconds(music));
    const std::unique_ptr<VideoEncoder> encoder =
        CreateVideoEncoder(SettingsFor(Options, Content, file.Path(), frames));
    ExportProgress progress(Options.Export, frames, isatty(STDERR_FILENO) != 0);
    const Stopwatch watch;
    ExportJob job{Content, frames, *encoder, progress, Signals, watch};
    PlayInto(job);
    progress.Interrupt();
    if (Signals.Received()) return Signals.Received();
    if (const std::string error = encoder->Error(); !error.empty()) throw EVideoError(error);
    encoder->Finish();
    if (Signals.Received()) return Signals.Received();
    file.Keep();
    progress.Done(encoder->BytesWritten(), watch.Elapsed());
    return 0;
}

} // namespace

int RunVideoExport(const CommandLine& Options, const Invitation& Content) {
    SetRandomizeSource([seed = Options.Seed.value_or(1)] { return seed; });
    StopSignals signals;
    try {
        const int signal = Export(Options, Content, signals);
        return signal ? 128 + signal : 0;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "fuifje: Cannot make \"%s\": out of memory\n", Options.Export.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fuifje: %s\n", error.what());
    }
    return 1;
}
