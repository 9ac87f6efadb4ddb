// The program: reads the command line, brings up the platform (SDL, or headless
// for tests), creates the main form and runs the application's loop until the
// form closes. An exception that escapes start-up or a frame (the project's
// own or any other std::exception, std::bad_alloc among them) is shown as the
// application reports errors and ends the program with status 1.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/random.h"
#include "platform/audio_headless.h"
#include "platform/audio_sdl_mixer.h"
#include "platform/platform_services.h"
#include "show/command_line.h"
#include "show/main_form.h"

namespace {

constexpr const char* kTitle = "Fuifje";

// The folder of the running executable, with its trailing slash.
std::string ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("./") : exe.parent_path().string() + "/";
}

// What an escaping exception says to the viewer: the library's name for running
// out of memory means nothing to a host.
std::string Describe(const std::exception& Error) {
    if (dynamic_cast<const std::bad_alloc*>(&Error)) return "Out of memory";
    return Error.what();
}

// Headless runs count drawn frames (the first is 1), write the asked snapshots
// and close the form after the last frame.
void WatchHeadlessFrames(TMainForm& Form, PlatformServices& Platform, const CommandLine& Options) {
    TDXTimerEvent drawFrame = Form.DXTimer->OnTimer;
    Form.DXTimer->OnTimer = [&Form, &Platform, &Options, drawFrame](TObject* Sender, int32_t LagCount) {
        const int before = Platform.HeadlessScreen->PresentCount();
        drawFrame(Sender, LagCount);
        const int frame = Platform.HeadlessScreen->PresentCount();
        if (frame == before) return;
        for (const Snapshot& snapshot : Options.Snapshots)
            if (snapshot.Frame == frame) Platform.HeadlessScreen->SaveFrame(snapshot.File);
        if (frame >= Options.Frames) Form.Close();
    };
}

int RunShow(const CommandLine& Options) {
    PlatformServices platform = Options.Headless
                                    ? MakeHeadlessPlatform()
                                    : MakeSdlPlatform(PresenterOptions{!Options.Window, 800, 600});
    std::unique_ptr<AudioFacility> audio;
    if (Options.Headless)
        audio = std::make_unique<HeadlessAudio>();
    else
        audio = CreateSdlMixerAudio();
    if (Options.Seed) SetRandomizeSource([seed = *Options.Seed] { return seed; });
    platform.App->SetTitle(kTitle);
    try {
        TMainForm form(platform, *audio, ExecutableFolder());
        if (Options.Headless && Options.Frames == 0) return 0;
        if (Options.Headless) WatchHeadlessFrames(form, platform, Options);
        form.Show();
        platform.App->Run();
        return 0;
    } catch (const ProgramHalt& halt) {
        return halt.ExitCode;
    } catch (const EPresenterError&) {
        throw;                              // no screen to show a message box on
    } catch (const std::exception& error) { // frames run inside App->Run(), so theirs arrive here too
        const std::string message = Describe(error);
        std::fprintf(stderr, "%s: %s\n", kTitle, message.c_str());
        if (!Options.Headless) platform.Messages->ShowError(kTitle, message);
        return 1;
    }
}

} // namespace

int main(int argc, char** argv) {
    CommandLine options;
    try {
        options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const CommandLineError& error) {
        std::fprintf(stderr, "fuifje: %s\n\n%s", error.Message.c_str(), Usage().c_str());
        return 2;
    }
    if (options.Help) {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }
    if (options.Version) {
        std::puts("fuifje " FUIFJE_VERSION);
        return 0;
    }
    try {
        return RunShow(options);
    } catch (const std::exception& error) { // the platform could not start: no display, no SDL, no memory
        std::fprintf(stderr, "fuifje: %s\n", Describe(error).c_str());
        return 1;
    }
}
