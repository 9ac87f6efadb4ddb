// Cost of the sine path queries on a path shaped like the show's sea line:
// single queries in each form, and the 2001 queries of a whole polyline per frame.
#include <benchmark/benchmark.h>

#include "fx/fx_sinus.h"

namespace {

constexpr int32_t kSeaItems = 2000;

// The sea line: ItemCount 2000 at Step 20, a gentle swell on a base line of 260.
void MakeSeaLine(TSinus& path) {
    path.Amp->Value = 10;
    path.Width->Value = 800;
    path.Freq->Value = 400;
    path.YOffset->Value = 260;
    path.Step = 20;
    path.ItemCount = kSeaItems;
    path.SetVisibleRect(-20, 0, 820, 600);
}

void BmGetPositionWithoutTilt(benchmark::State& state) {
    TSinus path(nullptr);
    MakeSeaLine(path);
    int32_t index = 0, x, y;
    for (auto _ : state) {
        benchmark::DoNotOptimize(path.GetPosition(index, x, y));
        index = index == kSeaItems ? 0 : index + 1;
    }
}
BENCHMARK(BmGetPositionWithoutTilt);

void BmGetPositionWithTilt(benchmark::State& state) {
    TSinus path(nullptr);
    MakeSeaLine(path);
    int32_t index = 0, x, y, angle;
    for (auto _ : state) {
        benchmark::DoNotOptimize(path.GetPosition(index, x, y, angle));
        index = index == kSeaItems ? 0 : index + 1;
    }
}
BENCHMARK(BmGetPositionWithTilt);

void BmGetPointAt(benchmark::State& state) {
    TSinus path(nullptr);
    MakeSeaLine(path);
    int32_t x = 0, y;
    for (auto _ : state) {
        benchmark::DoNotOptimize(path.GetPointAt(x, y));
        x = x == 800 ? 0 : x + 1;
    }
}
BENCHMARK(BmGetPointAt);

// One frame's worth of the sea line: every point from 0 to ItemCount.
void BmPolylineWithoutTilt(benchmark::State& state) {
    TSinus path(nullptr);
    MakeSeaLine(path);
    int32_t x, y;
    for (auto _ : state)
        for (int32_t index = 0; index <= kSeaItems; ++index)
            benchmark::DoNotOptimize(path.GetPosition(index, x, y));
    state.SetItemsProcessed(state.iterations() * (kSeaItems + 1));
}
BENCHMARK(BmPolylineWithoutTilt)->Unit(benchmark::kMicrosecond);

void BmPolylineWithTilt(benchmark::State& state) {
    TSinus path(nullptr);
    MakeSeaLine(path);
    int32_t x, y, angle;
    for (auto _ : state)
        for (int32_t index = 0; index <= kSeaItems; ++index)
            benchmark::DoNotOptimize(path.GetPosition(index, x, y, angle));
    state.SetItemsProcessed(state.iterations() * (kSeaItems + 1));
}
BENCHMARK(BmPolylineWithTilt)->Unit(benchmark::kMicrosecond);

} // namespace
