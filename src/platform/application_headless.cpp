#include "platform/application_headless.h"

bool HeadlessApplication::DispatchNextEvent() {
    if (FQueue.empty()) return false;
    const Event e = FQueue.front();
    FQueue.pop_front();
    switch (e.What) {
    case Kind::Key:
        KeyDown(e.Key);
        break;
    case Kind::Activation:
        Activate(e.Active);
        break;
    case Kind::Close:
        CloseRequested();
        break;
    case Kind::Paint:
        Paint();
        break;
    }
    return true;
}

bool HeadlessApplication::WaitForEvent(uint32_t Timeout) {
    if (!FQueue.empty()) return DispatchNextEvent();
    if (Timeout == kIdleWaitForEvents) return false;
    FTime.Advance(Timeout);
    return true;
}
