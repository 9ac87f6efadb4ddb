// The program: reads the command line and the invitation file (a bad one ends
// it with status 2 before any window opens), then either exports the
// invitation (video_export.h, page_export.h) or brings up the platform (a
// window, or headless for tests), creates the main form and runs the
// application's loop until the form closes. An exception that escapes start-up
// or a frame (the project's own or any other std::exception, std::bad_alloc
// among them) is shown as the application reports errors and ends the program
// with status 1.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/random.h"
#include "platform/platform_services.h"
#include "show/command_line.h"
#include "show/data_folder.h"
#include "show/invitation_printer.h"
#include "show/invitation_reader.h"
#include "show/main_form.h"
#include "show/page_export.h"
#include "show/video_export.h"

namespace {

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
    HeadlessPresenter& screen = *Platform.HeadlessScreen;
    Form.DXTimer->OnTimer = [&Form, &screen, &Options, drawFrame](TObject* Sender, int32_t LagCount) {
        const int before = screen.PresentCount();
        // Only the frames that are saved, and the last, are composed into a whole screen.
        const int next = before + 1;
        screen.KeepFrames =
            next >= Options.Frames || std::any_of(Options.Snapshots.begin(), Options.Snapshots.end(),
                                                  [next](const Snapshot& S) { return S.Frame == next; });
        drawFrame(Sender, LagCount);
        const int frame = screen.PresentCount();
        if (frame == before) return;
        for (const Snapshot& snapshot : Options.Snapshots)
            if (snapshot.Frame == frame) screen.SaveFrame(snapshot.File);
        if (frame >= Options.Frames) Form.Close();
    };
}

int RunShow(const CommandLine& Options, const Invitation& Content) {
    PlatformServices platform =
        MakeProgramPlatform(Options.Headless, PresenterOptions{!Options.Window, 800, 600});
    std::unique_ptr<AudioFacility> audio = MakeProgramAudio(Options.Headless);
    if (Options.Seed) SetRandomizeSource([seed = *Options.Seed] { return seed; });
    const std::string& title = Content.Title;
    platform.App->SetTitle(title);
    try {
        TMainForm form(platform, *audio, ExecutableFolder(), Content);
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
        std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
        if (!Options.Headless) platform.Messages->ShowError(title, message);
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
    if (options.PrintInvitation) {
        try {
            const Invitation builtIn = WithAbsoluteFiles(Invitation(), DataFolder(ExecutableFolder()));
            std::fputs(PrintInvitation(builtIn).c_str(), stdout);
        } catch (const std::exception& error) { // no data folder to name the built-in files in
            std::fprintf(stderr, "fuifje: %s\n", error.what());
            return 1;
        }
        return 0;
    }
    Invitation content;
    try {
        if (!options.Invitation.empty()) content = ReadInvitation(options.Invitation);
    } catch (const EInvitationError& error) {
        std::fprintf(stderr, "fuifje: %s\n", error.what());
        return 2;
    }
    if (ExtensionOf(options.Export) == ".html") return ExportPage(options, content);
    if (!options.Export.empty()) return RunVideoExport(options, content);
    try {
        return RunShow(options, content);
    } catch (const std::exception& error) { // the platform could not start: no display, no SDL, no memory
        std::fprintf(stderr, "fuifje: %s\n", Describe(error).c_str());
        return 1;
    }
}
