// Rows of one big drawing shared between the calling thread and a helper
// thread: the rows are handed out in bands of a few rows, each to whichever
// thread asks first, so a helper that is late (or busy elsewhere) costs no
// more than drawing alone. Every row is drawn by exactly the arithmetic it
// would be drawn with on one thread, so the pixels are the same.
#pragma once

#include <cstdint>

// Drawings of fewer pixels are not shared: handing rows over costs a few
// microseconds, about what a thousand pixels of the sun's rotation take.
inline constexpr int64_t kSharedRowsMinPixels = 16384;

// Calls Rows(Context, Top, Bottom) for bands of rows that together cover
// [Top, Bottom) once each, on this thread and the helper; returns when all
// are done. Rows must only write pixels of the rows it is given.
using RowBandFunction = void (*)(const void* Context, int Top, int Bottom);
void ShareRows(int Top, int Bottom, RowBandFunction Rows, const void* Context);

// The same for any callable Rows(Top, Bottom), shared when Pixels (what the
// drawing covers) is worth it and drawn here at once otherwise.
template <class F> void ShareRows(int Top, int Bottom, int64_t Pixels, const F& Rows) {
    if (Pixels < kSharedRowsMinPixels) return Rows(Top, Bottom);
    ShareRows(
        Top, Bottom,
        [](const void* Context, int Begin, int End) { (*static_cast<const F*>(Context))(Begin, End); },
        &Rows);
}

// While a scene is drawn (Awake) the helper waits for rows spinning, since
// waking it would take longer than sharing saves; between scenes it sleeps.
void KeepRowHelperAwake(bool Awake);

// Whether big drawings share their rows with the helper: true unless turned
// off (for frames paced by a clock, tests, benchmarks), and only where threads
// exist. Turned off, no helper is started.
void UseRowSharing(bool Shared);
