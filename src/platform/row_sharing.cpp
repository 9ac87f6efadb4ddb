#include "platform/row_sharing.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

namespace {

constexpr int kBandRows = 8;

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

// A few microseconds of pauses, then a turn for any other thread that wants
// this processor: a waiting thread never holds it from one that has work.
void PauseBriefly() {
    for (int i = 0; i < 32; ++i)
        Pause();
    std::this_thread::yield();
}

std::atomic<bool> Sharing{true};

// The helper thread and the drawing it is offered. A drawing is Open until
// the helper takes part (Helping, then Idle again) or the caller, done with every
// band before the helper came, takes the offer back (Idle). Waking a thread
// takes tens of microseconds (up to a millisecond in a virtual machine), as
// long as sharing a drawing saves, so during a scene the helper waits awake;
// between scenes it sleeps. It sleeps as well after it missed a drawing, when
// it woke too late or the processors are busy with other work (waiting awake
// would only take time from the drawing thread then), and wakes with the next
// offer.
class RowHelper {
public:
    enum State : int { kIdle, kOpen, kHelping, kStop };

    RowHelper() {
        if (std::thread::hardware_concurrency() < 2) return;
        try {
            FThread = std::thread([this] { Serve(); });
        } catch (const std::system_error&) {
            // No thread to be had: every drawing is drawn by its caller alone.
        }
    }
    ~RowHelper() {
        if (!FThread.joinable()) return;
        FState.store(kStop, std::memory_order_release);
        Signal();
        FThread.join();
    }
    RowHelper(const RowHelper&) = delete;
    RowHelper& operator=(const RowHelper&) = delete;

    // False when the drawing could not be shared (no helper, or another
    // thread is sharing it); the caller draws it alone then.
    bool Share(int Top, int Bottom, RowBandFunction Rows, const void* Context) {
        if (!FThread.joinable() || FBusy.test_and_set(std::memory_order_acquire)) return false;
        FTop = Top;
        FBottom = Bottom;
        FRows = Rows;
        FContext = Context;
        FNextBand.store(0, std::memory_order_relaxed);
        FState.store(kOpen, std::memory_order_release);
        Signal();
        TakeBands();
        int offered = kOpen;
        if (FState.compare_exchange_strong(offered, kIdle, std::memory_order_acq_rel)) {
            FMissed.store(true, std::memory_order_relaxed);
        } else {
            while (FState.load(std::memory_order_acquire) == kHelping)
                PauseBriefly();
        }
        FBusy.clear(std::memory_order_release);
        return true;
    }

    void KeepAwake(bool Awake) {
        FAwake.store(Awake, std::memory_order_release);
        if (Awake) Signal();
    }

private:
    void Signal() {
        FSignal.fetch_add(1, std::memory_order_release);
        FSignal.notify_one();
    }

    void Serve() {
        for (;;) {
            const uint32_t signal = FSignal.load(std::memory_order_acquire);
            const int state = FState.load(std::memory_order_acquire);
            if (state == kStop) return;
            int offered = kOpen;
            if (state == kOpen &&
                FState.compare_exchange_strong(offered, kHelping, std::memory_order_acq_rel)) {
                TakeBands();
                FState.store(kIdle, std::memory_order_release);
            } else if (FAwake.load(std::memory_order_acquire) &&
                       !FMissed.exchange(false, std::memory_order_relaxed)) {
                PauseBriefly();
            } else {
                FSignal.wait(signal, std::memory_order_acquire);
            }
        }
    }

    // Draws bands until none is left.
    void TakeBands() {
        for (;;) {
            const int top = FTop + kBandRows * FNextBand.fetch_add(1, std::memory_order_relaxed);
            if (top >= FBottom) return;
            FRows(FContext, top, std::min(top + kBandRows, FBottom));
        }
    }

    std::atomic<int> FState{kIdle};
    std::atomic<uint32_t> FSignal{0}; // counts offers and wake-ups, for the sleeping helper
    std::atomic<bool> FAwake{false};
    std::atomic<bool> FMissed{false}; // the last drawing was done before the helper came
    std::atomic<int> FNextBand{0};
    std::atomic_flag FBusy;
    int FTop = 0, FBottom = 0;
    RowBandFunction FRows = nullptr;
    const void* FContext = nullptr;
    std::thread FThread;
};

std::atomic<bool> HelperMade{false};

RowHelper& Helper() {
    static RowHelper helper;
    HelperMade.store(true, std::memory_order_relaxed);
    return helper;
}

} // namespace

void ShareRows(int Top, int Bottom, RowBandFunction Rows, const void* Context) {
    if (!Sharing.load(std::memory_order_relaxed) || !Helper().Share(Top, Bottom, Rows, Context))
        Rows(Context, Top, Bottom);
}

void KeepRowHelperAwake(bool Awake) {
    // A helper woken while sharing was on still goes back to sleep.
    if (Sharing.load(std::memory_order_relaxed) || (!Awake && HelperMade.load(std::memory_order_relaxed)))
        Helper().KeepAwake(Awake);
}

void UseRowSharing(bool Shared) {
    Sharing.store(Shared, std::memory_order_relaxed);
}
