#include "core/random.h"

#include <chrono>

uint32_t RandSeed = 0;

namespace {

std::function<uint32_t()>& SeedSource() {
    static std::function<uint32_t()> source;
    return source;
}

uint32_t ClockSeed() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace

void Randomize() { RandSeed = SeedSource() ? SeedSource()() : ClockSeed(); }

void SetRandomizeSource(std::function<uint32_t()> Source) { SeedSource() = std::move(Source); }

int32_t Random(int32_t N) {
    RandSeed = RandSeed * 134775813u + 1u;
    // The seed scaled into [0, N): the high 32 bits of the 64-bit product.
    return static_cast<int32_t>((static_cast<int64_t>(RandSeed) * N) >> 32);
}
