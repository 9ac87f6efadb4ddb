#include "platform/clock.h"

#include <chrono>

uint32_t SystemClock::Milliseconds() const {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    // Keeping the low 32 bits gives the wrapping count callers expect.
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
