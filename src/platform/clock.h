// The millisecond clock the frame timer measures with: milliseconds truncated
// to 32 bits, so the count wraps around after about 49.7 days. The system
// clock is the only code that reads real time; tests use the fake one.
#pragma once

#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, modulo 2^32.
    virtual uint32_t Milliseconds() const = 0;
};

// Real time from a steady (monotonic) clock.
class SystemClock : public Clock {
public:
    uint32_t Milliseconds() const override;
};

// Time that moves only when told to.
class FakeClock : public Clock {
public:
    explicit FakeClock(uint32_t Start = 0) : FNow(Start) {}
    uint32_t Milliseconds() const override { return FNow; }
    // Moves the clock forward by Step milliseconds (wrapping at 2^32).
    void Advance(uint32_t Step) { FNow += Step; }
    // Sets the clock to Now.
    void Set(uint32_t Now) { FNow = Now; }

private:
    uint32_t FNow;
};
