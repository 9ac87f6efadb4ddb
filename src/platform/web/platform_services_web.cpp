// The program's platform in a web page: the page's canvas, loop, message
// panel and audio; headless, for a still frame ("#frame=N"), the headless
// stand-ins with a screen that shows its frames on the page.
#include "platform/audio_headless.h"
#include "platform/platform_services.h"
#include "platform/web/application_web.h"
#include "platform/web/audio_web.h"
#include "platform/web/message_box_web.h"
#include "platform/web/presenter_web.h"
#include "platform/web/still_presenter_web.h"

namespace {

PlatformServices MakePagePlatform() {
    PlatformServices p;
    auto time = std::make_unique<FakeClock>(); // the show clock the loop moves
    p.App = std::make_unique<WebApplication>(*time);
    p.Time = std::move(time);
    auto screen = std::make_unique<WebPresenter>();
    p.Modes = std::make_unique<ClassicDisplayModes>(*screen);
    p.Screen = std::move(screen);
    p.Messages = std::make_unique<WebMessageBox>();
    return p;
}

PlatformServices MakeStillPlatform() {
    PlatformServices p = MakeHeadlessPlatform();
    auto screen = std::make_unique<StillPresenterWeb>();
    p.HeadlessScreen = screen.get();
    p.Modes = std::make_unique<ClassicDisplayModes>(*screen);
    p.Screen = std::move(screen);
    return p;
}

} // namespace

PlatformServices MakeProgramPlatform(bool Headless, const PresenterOptions& /*Options*/) {
    return Headless ? MakeStillPlatform() : MakePagePlatform();
}

std::unique_ptr<AudioFacility> MakeProgramAudio(bool Headless) {
    if (Headless) return std::make_unique<HeadlessAudio>();
    return CreateWebAudio();
}
