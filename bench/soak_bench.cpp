// A day-long run: the whole show headless for 1,000,000 frames (about nine
// hours at 30 ms a frame), once. Reports the resident memory after 10,000
// frames and at the end, the median frame time of the first and of the last
// 10,000 frames, and the boat's screen x range once it has paused. The first
// 10,000 frames hold the lighter night and dawn, so the median of 10,000
// frames of the same final scene early on (from frame 12,001) is given too.
// Run it alone and niced: it takes 10 to 20 minutes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "core/random.h"
#include "platform/audio_headless.h"
#include "platform/platform_services.h"
#include "show/main_form.h"

namespace {

constexpr int kWindow = 10000;      // frames of each measured stretch
constexpr int kSteadyStart = 12001; // the final scene, after the sea line's first run

// The build folder, where the program's asset folder lies: the parent of this program's folder.
std::string BuildFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path().string() + "/";
}

double ResidentMegabytes() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double MedianMilliseconds(std::vector<double> Times) {
    std::nth_element(Times.begin(), Times.begin() + Times.size() / 2, Times.end());
    return Times[Times.size() / 2];
}

void BM_DayLongRun(benchmark::State& State) {
    const int frames = static_cast<int>(State.range(0));
    for (auto _ : State) {
        SetRandomizeSource([] { return 1u; });
        PlatformServices platform = MakeHeadlessPlatform();
        HeadlessAudio audio;
        TMainForm form(platform, audio, BuildFolder());
        form.Show();
        std::vector<double> first, steady, last;
        double residentAfterWindow = 0;
        int32_t boatMin = INT32_MAX, boatMax = INT32_MIN;
        for (int frame = 1; frame <= frames; ++frame) {
            const auto start = std::chrono::steady_clock::now();
            form.DXTimerTimer(form.DXTimer, 1);
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
            if (frame <= kWindow) first.push_back(took.count());
            if (frame >= kSteadyStart && frame < kSteadyStart + kWindow) steady.push_back(took.count());
            if (frame > frames - kWindow) last.push_back(took.count());
            if (frame == kWindow) residentAfterWindow = ResidentMegabytes();
            if (form.BoatTravel->Paused) {
                boatMin = std::min(boatMin, form.BoatTravel->Tag);
                boatMax = std::max(boatMax, form.BoatTravel->Tag);
            }
        }
        const double residentAtEnd = ResidentMegabytes();
        State.counters["rss_10k_MB"] = residentAfterWindow;
        State.counters["rss_end_MB"] = residentAtEnd;
        State.counters["rss_growth_KB"] = (residentAtEnd - residentAfterWindow) * 1024;
        State.counters["first10k_median_ms"] = MedianMilliseconds(first);
        State.counters["steady10k_median_ms"] = MedianMilliseconds(steady);
        State.counters["last10k_median_ms"] = MedianMilliseconds(last);
        State.counters["boat_x_min"] = boatMin;
        State.counters["boat_x_max"] = boatMax;
        SetRandomizeSource(nullptr);
    }
}

} // namespace

BENCHMARK(BM_DayLongRun)->Arg(1000000)->Iterations(1)->Unit(benchmark::kSecond);
