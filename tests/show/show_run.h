// A whole show on the headless platform, for tests: the main form made with a
// fixed random seed and the build folder's assets, shown, and driven frame by
// frame as the frame timer would.
#pragma once

#include <memory>
#include <string>

#include "core/random.h"
#include "platform/audio_headless.h"
#include "platform/platform_services.h"
#include "render/direct_draw_surface.h"
#include "show/main_form.h"

struct ShowRun {
    explicit ShowRun(uint32_t Seed = 1, const std::string& Folder = FUIFJE_BUILD_DIR) {
        SetRandomizeSource([Seed] { return Seed; });
        Form = std::make_unique<TMainForm>(Platform, Audio, Folder);
        Form->Show();
    }
    ~ShowRun() {
        Form.reset();
        SetRandomizeSource(nullptr);
    }

    // One tick of the frame timer; returns the number of frames drawn so far.
    int Frame() {
        Form->DXTimerTimer(Form->DXTimer, 1);
        return Platform.HeadlessScreen->PresentCount();
    }
    // The back surface as the last frame left it.
    PixelView Back() const { return Form->DS->Surface()->View(); }

    PlatformServices Platform = MakeHeadlessPlatform();
    HeadlessAudio Audio;
    std::unique_ptr<TMainForm> Form;
};
