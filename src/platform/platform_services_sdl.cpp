// The native program's platform: SDL's window, loop and message boxes with
// SDL2_mixer's audio, or the headless stand-ins.
#include "platform/application_sdl.h"
#include "platform/audio_headless.h"
#include "platform/audio_sdl_mixer.h"
#include "platform/platform_services.h"
#include "platform/presenter_sdl.h"
#include "platform/row_sharing.h"

PlatformServices MakeSdlPlatform(const PresenterOptions& Options) {
    // Frames paced by the clock are drawn on one thread: one takes a few
    // percent of its interval, so sharing its rows would show nothing sooner,
    // while a helper woken for every scene spends processor time waiting (in
    // a virtual machine it mostly wakes too late to help at all).
    UseRowSharing(false);
    PlatformServices p;
    p.Time = std::make_unique<SystemClock>();
    p.App = std::make_unique<SdlApplication>();
    auto screen = std::make_unique<SdlPresenter>(Options);
    p.Messages = std::make_unique<SdlMessageBox>(screen.get());
    p.Modes = std::make_unique<ClassicDisplayModes>(*screen);
    p.Screen = std::move(screen);
    return p;
}

PlatformServices MakeProgramPlatform(bool Headless, const PresenterOptions& Options) {
    return Headless ? MakeHeadlessPlatform() : MakeSdlPlatform(Options);
}

std::unique_ptr<AudioFacility> MakeProgramAudio(bool Headless) {
    if (Headless) return std::make_unique<HeadlessAudio>();
    return CreateSdlMixerAudio();
}
