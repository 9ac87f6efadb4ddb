#include "platform/application.h"

#include <algorithm>

int Application::AddActivationHook(ActivationHook Hook) {
    FHooks.emplace_back(FNextHookId, std::move(Hook));
    return FNextHookId++;
}

void Application::RemoveActivationHook(int Id) {
    std::erase_if(FHooks, [Id](const auto& h) { return h.first == Id; });
}

void Application::Run() {
    while (!FTerminated) {
        ProcessMessages();
        if (FTerminated) break;
        if (FIdlePassLimit != 0 && FIdlePasses >= FIdlePassLimit) break;
        // A copy: the handler may replace or remove itself while it runs.
        const IdleHandler idle = FIdle;
        uint32_t wait = kIdleWaitForEvents;
        if (idle) {
            ++FIdlePasses;
            wait = idle();
        }
        if (FTerminated) break;
        if (wait != 0 && !WaitForEvent(wait)) break;
    }
}

void Application::ProcessMessages() {
    while (!FTerminated && DispatchNextEvent()) {
    }
}

void Application::KeyDown(uint16_t Key) {
    if (OnKeyDown) OnKeyDown(Key);
}

void Application::Activate(bool Active) {
    if (Active == FActive) return;
    FActive = Active;
    // A copy: hooks may add or remove hooks.
    const auto hooks = FHooks;
    for (const auto& [id, hook] : hooks)
        hook(Active);
}

void Application::CloseRequested() {
    if (OnClose) {
        OnClose();
    } else {
        Terminate();
    }
}

void Application::Paint() {
    if (OnPaint) OnPaint();
}
