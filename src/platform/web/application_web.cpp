#include "platform/web/application_web.h"

#include <emscripten.h>

#include <algorithm>

namespace {

// Frames drawn for one animation frame at most, and how far the show clock
// may trail real time before the show slows down rather than catch up.
constexpr int kMostStepsPerFrame = 4;
constexpr int64_t kMostLagMilliseconds = 120;

// The page's events as the script below queues them.
enum PageEvent { kNoEvent = 0, kKeyEvent = 1, kCloseEvent = 2, kVisibilityEvent = 3 };

// Queues keys (their virtual-key codes), the close button's clicks and the
// page's visibility for the loop, and wakes a loop waiting for them. The
// listeners stay for the page's life; each run of the show starts afresh.
EM_JS(void, ListenToPage, (), {
    var loop = Module.fuifjeLoop = Module.fuifjeLoop || {events : [], wake : null};
    loop.events.length = 0;
    if (loop.listening) return;
    loop.listening = true;
    function post(kind, value) {
        loop.events.push([ kind, value ]);
        if (loop.wake) loop.wake();
    }
    window.addEventListener(
        "keydown", function(e) { post(1, e.keyCode); });
    var close = document.getElementById("close");
    if (close)
        close.addEventListener(
            "click", function() { post(2, 0); });
    document.addEventListener(
        "visibilitychange", function() { post(3, document.hidden ? 0 : 1); });
});

// The oldest queued event (kNoEvent when none), its value in *Value.
EM_JS(int, TakePageEvent, (int* Value), {
    var event = Module.fuifjeLoop.events.shift();
    if (!event) return 0;
    HEAP32[Value >> 2] = event[1];
    return event[0];
});

// Returns at the next animation frame, or at once when an event comes first.
EM_ASYNC_JS(void, AwaitAnimationFrame, (), {
    var loop = Module.fuifjeLoop;
    if (loop.events.length) return;
    await new Promise(function(resolve) {
        loop.wake = resolve;
        requestAnimationFrame(function() { resolve(); });
    });
    loop.wake = null;
});

int64_t RealMilliseconds() {
    return int64_t(emscripten_get_now());
}

} // namespace

WebApplication::WebApplication(FakeClock& ShowTime) : FShowTime(ShowTime) {
    ListenToPage();
    SetShowTime(RealMilliseconds());
}

bool WebApplication::DispatchNextEvent() {
    int value = 0;
    switch (TakePageEvent(&value)) {
    case kKeyEvent:
        KeyDown(uint16_t(value));
        return true;
    case kCloseEvent:
        CloseRequested();
        return true;
    case kVisibilityEvent:
        Activate(value != 0);
        return true;
    default:
        return false;
    }
}

bool WebApplication::WaitForEvent(uint32_t Timeout) {
    if (Timeout != kIdleWaitForEvents && FSteps < kMostStepsPerFrame &&
        FShowMilliseconds + Timeout <= RealMilliseconds()) {
        ++FSteps;
        SetShowTime(FShowMilliseconds + Timeout);
        return true;
    }
    AwaitAnimationFrame();
    FSteps = 0;
    SetShowTime(std::max(FShowMilliseconds, RealMilliseconds() - kMostLagMilliseconds));
    DispatchNextEvent();
    return true;
}

void WebApplication::SetShowTime(int64_t Milliseconds) {
    FShowMilliseconds = Milliseconds;
    FShowTime.Set(uint32_t(Milliseconds)); // the frame timer's clock wraps at 32 bits
}
