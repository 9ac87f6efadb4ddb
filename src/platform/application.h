// The application object: the event loop with its idle processing, key,
// activation, close and repaint events, and the title. One interface with two
// loops behind it: SDL's events (application_sdl.h) and a headless queue that
// never waits (application_headless.h).
//
// Usage:
//     SdlApplication app;                       // or HeadlessApplication app(fakeClock);
//     app.SetTitle("Fuifje");
//     app.OnKeyDown = [&](uint16_t Key) { if (Key == kKeyEscape) app.Terminate(); };
//     app.OnClose = [&] { app.Terminate(); };
//     app.SetIdleHandler([&] { DrawFrame(); return 30u; }); // frame timers install their own
//     app.Run();                                // until Terminate()
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Virtual-key codes of the keys the application reports by name.
inline constexpr uint16_t kKeyEscape = 27;

// What an idle handler answers: how many milliseconds the loop may wait for
// events before calling it again. 0 calls it again at once; kIdleWaitForEvents
// waits for the next event however long that takes.
inline constexpr uint32_t kIdleWaitForEvents = UINT32_MAX;
using IdleHandler = std::function<uint32_t()>;

// Told true when the application becomes active, false when it stops being active.
using ActivationHook = std::function<void(bool Active)>;

class Application {
public:
    virtual ~Application() = default;

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Title) { FTitle = Title; }

    // Installs the handler the loop calls whenever its event queue is empty
    // (an empty function removes it).
    void SetIdleHandler(IdleHandler Handler) { FIdle = std::move(Handler); }
    bool HasIdleHandler() const { return bool(FIdle); }

    // A key went down (its virtual-key code; repeats come again).
    std::function<void(uint16_t Key)> OnKeyDown;
    // The user asked to close the window; without a handler the loop ends.
    std::function<void()> OnClose;
    // The window's content was lost and needs painting again.
    std::function<void()> OnPaint;

    // True while the application has the input focus (it starts active).
    bool Active() const { return FActive; }
    // Adds a hook told about activation changes; returns its number for removal.
    int AddActivationHook(ActivationHook Hook);
    // Removes the hook with that number (nothing when there is none).
    void RemoveActivationHook(int Id);

    // Runs the loop until Terminate: handles all queued events, then calls the
    // idle handler, then waits as long as it allows or until an event comes.
    // A loop that can never get another event ends by itself.
    void Run();
    // Makes Run return after the current event or idle call.
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    // Handles every queued event now, without idle processing.
    void ProcessMessages();
    // Calls of the idle handler so far.
    uint64_t IdlePasses() const { return FIdlePasses; }
    // Ends Run after this many idle calls in all (0: no limit).
    void SetIdlePassLimit(uint64_t Limit) { FIdlePassLimit = Limit; }

protected:
    // Takes one queued event and handles it; false when the queue is empty.
    virtual bool DispatchNextEvent() = 0;
    // Waits at most Timeout milliseconds (kIdleWaitForEvents: no limit) for an
    // event and handles it. False when no event can come any more.
    virtual bool WaitForEvent(uint32_t Timeout) = 0;

    // The events, as the loops deliver them.
    void KeyDown(uint16_t Key);
    void Activate(bool Active);
    void CloseRequested();
    void Paint();

private:
    std::string FTitle;
    IdleHandler FIdle;
    bool FActive = true;
    bool FTerminated = false;
    uint64_t FIdlePasses = 0;
    uint64_t FIdlePassLimit = 0;
    std::vector<std::pair<int, ActivationHook>> FHooks;
    int FNextHookId = 1;
};
