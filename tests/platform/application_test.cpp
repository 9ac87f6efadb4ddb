#include "platform/application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/application_headless.h"
#include "platform/application_sdl.h"

namespace {

TEST(HeadlessApplication, RunsIdlePassesWithoutWaitingAndEndsWhenNothingCanHappen) {
    FakeClock time(100);
    HeadlessApplication app(time);
    std::vector<uint32_t> seen;
    app.SetIdleHandler([&] {
        seen.push_back(time.Milliseconds());
        if (seen.size() == 4) app.Terminate();
        return seen.size() == 2 ? 0u : 30u; // once: call again at once
    });
    app.Run();
    EXPECT_EQ(seen, (std::vector<uint32_t>{100, 130, 130, 160}));
    EXPECT_EQ(app.IdlePasses(), 4u);

    // No idle handler and no events: nothing can ever come, so Run returns.
    HeadlessApplication idle(time);
    idle.Run();
    EXPECT_FALSE(idle.Terminated());

    // A pass limit ends a run that would go on for ever.
    HeadlessApplication limited(time);
    limited.SetIdleHandler([] { return 1u; });
    limited.SetIdlePassLimit(5);
    limited.Run();
    EXPECT_EQ(limited.IdlePasses(), 5u);
}

TEST(HeadlessApplication, DeliversEventsBeforeIdleProcessing) {
    FakeClock time;
    HeadlessApplication app(time);
    std::vector<std::string> log;
    app.OnKeyDown = [&](uint16_t Key) { log.push_back("key " + std::to_string(Key)); };
    app.OnPaint = [&] { log.push_back("paint"); };
    const int hook =
        app.AddActivationHook([&](bool Active) { log.push_back(Active ? "active" : "inactive"); });
    app.SetIdleHandler([&] {
        log.push_back("idle");
        app.SetIdleHandler(nullptr); // a handler may remove itself while it runs
        return kIdleWaitForEvents;
    });
    app.PostKey(kKeyEscape);
    app.PostActivation(true); // already active: no news
    app.PostActivation(false);
    app.PostPaint();
    app.Run();
    EXPECT_EQ(log, (std::vector<std::string>{"key 27", "inactive", "paint", "idle"}));
    EXPECT_FALSE(app.Active());

    app.RemoveActivationHook(hook);
    app.PostActivation(true);
    app.PostClose(); // without OnClose a close request ends the loop
    app.Run();
    EXPECT_TRUE(app.Terminated());
    EXPECT_EQ(log.size(), 4u);

    HeadlessApplication closing(time);
    bool asked = false;
    closing.OnClose = [&] { asked = true; };
    closing.PostClose();
    closing.Run();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(closing.Terminated()); // the handler decides
}

TEST(SdlApplication, RunsItsLoopOnTheDummyDriverAndMapsKeys) {
    SdlApplication app;
    int passes = 0;
    app.SetIdleHandler([&] {
        if (++passes == 3) app.Terminate();
        return 1u;
    });
    app.Run();
    EXPECT_EQ(passes, 3);

    struct Case {
        int32_t Keycode;
        uint16_t VirtualKey;
    };
    // SDL key codes: printable keys are their characters, others have bit 30 set.
    const Case cases[] = {{27, 27},         {'a', 'A'},      {'z', 'Z'},        {'5', '5'},
                          {13, 13},         {' ', 32},       {0x4000003A, 112}, {0x40000045, 123},
                          {0x40000050, 37}, {0x40000080, 0}, {'[', 0}};
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyFromKeycode(c.Keycode), c.VirtualKey) << c.Keycode;
}

} // namespace
