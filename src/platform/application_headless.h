// The loop without a window: events are posted by code (tests, scripted runs)
// and waiting never takes real time. When the idle handler allows a wait, the
// fake clock moves forward by that much at once, so a run of N frames at 30 ms
// takes no longer than drawing them.
#pragma once

#include <cstdint>
#include <deque>

#include "platform/application.h"
#include "platform/clock.h"

class HeadlessApplication : public Application {
public:
    explicit HeadlessApplication(FakeClock& Time) : FTime(Time) {}

    // Queue events as the window system would deliver them.
    void PostKey(uint16_t Key) { FQueue.push_back({Kind::Key, Key, false}); }
    void PostActivation(bool Active) { FQueue.push_back({Kind::Activation, 0, Active}); }
    void PostClose() { FQueue.push_back({Kind::Close, 0, false}); }
    void PostPaint() { FQueue.push_back({Kind::Paint, 0, false}); }

protected:
    bool DispatchNextEvent() override;
    // With a queued event: handles it. With a time limit: advances the clock by
    // it. Waiting for events with none queued and no limit would never end, so
    // it reports that nothing can come.
    bool WaitForEvent(uint32_t Timeout) override;

private:
    enum class Kind { Key, Activation, Close, Paint };
    struct Event {
        Kind What;
        uint16_t Key;
        bool Active;
    };

    FakeClock& FTime;
    std::deque<Event> FQueue;
};
