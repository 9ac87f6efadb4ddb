// The platform in one bundle: clock, application loop, screen, display modes
// and message boxes, made either on SDL or headless. Headless and real runs
// share all other code; the typed pointers give tests and headless runs the
// extra controls of the headless parts. The program asks for its platform by
// MakeProgramPlatform, which each build defines for where it runs (SDL
// natively, the page in a browser).
#pragma once

#include <memory>

#include "platform/application.h"
#include "platform/application_headless.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display_modes.h"
#include "platform/message_box.h"
#include "platform/presenter.h"
#include "platform/presenter_headless.h"

struct PlatformServices {
    // Declared in the order they depend on each other, so they go in reverse.
    std::unique_ptr<Clock> Time;
    std::unique_ptr<Application> App;
    std::unique_ptr<Presenter> Screen;
    std::unique_ptr<DisplayModeSource> Modes;
    std::unique_ptr<MessageBox> Messages;

    // Set only by MakeHeadlessPlatform: the same objects as above, typed.
    FakeClock* FakeTime = nullptr;
    HeadlessApplication* HeadlessApp = nullptr;
    HeadlessPresenter* HeadlessScreen = nullptr;
    HeadlessMessageBox* HeadlessMessages = nullptr;
};

// Real time, SDL's loop, an SDL window (opened later by Screen->Open) and SDL
// message boxes. Raises Exception when SDL cannot start.
PlatformServices MakeSdlPlatform(const PresenterOptions& Options);

// A fake clock starting at 0, the headless loop on it, the headless screen,
// the classic display modes of its 1920x1080 desktop and recorded messages.
PlatformServices MakeHeadlessPlatform();

// The platform the program runs on: headless when asked (tests, snapshots,
// still frames), else the real one, whose screen opens later by Screen->Open.
// Raises Exception when the real one cannot start.
PlatformServices MakeProgramPlatform(bool Headless, const PresenterOptions& Options);

// The audio facility that goes with it: the recording stand-in when headless.
std::unique_ptr<AudioFacility> MakeProgramAudio(bool Headless);
