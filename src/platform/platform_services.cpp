#include "platform/platform_services.h"

PlatformServices MakeHeadlessPlatform() {
    PlatformServices p;
    auto time = std::make_unique<FakeClock>();
    auto app = std::make_unique<HeadlessApplication>(*time);
    auto screen = std::make_unique<HeadlessPresenter>();
    auto messages = std::make_unique<HeadlessMessageBox>();
    p.FakeTime = time.get();
    p.HeadlessApp = app.get();
    p.HeadlessScreen = screen.get();
    p.HeadlessMessages = messages.get();
    p.Modes = std::make_unique<ClassicDisplayModes>(*screen);
    p.Time = std::move(time);
    p.App = std::move(app);
    p.Screen = std::move(screen);
    p.Messages = std::move(messages);
    return p;
}
