#include "show/export_progress.h"

#include <algorithm>
#include <utility>

#include "core/exception.h"
#include "show/export_length.h"

namespace {

// A live line is drawn at most five times a second.
constexpr int64_t kLiveInterval = 200;

} // namespace

std::string SizeText(int64_t Bytes) {
    if (Bytes < 1000 * 1000) return Format("%lld kB", static_cast<long long>((Bytes + 500) / 1000));
    return Format("%.1f MB", static_cast<double>(Bytes) / 1e6);
}

std::string ClockText(int64_t Milliseconds) {
    const int64_t seconds = (std::max<int64_t>(Milliseconds, 0) + 500) / 1000;
    return Format("%lld:%02lld", static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
}

ExportProgress::ExportProgress(std::string Name, int64_t Frames, bool Live, std::FILE* Out)
    : FName(std::move(Name)), FFrames(std::max<int64_t>(Frames, 1)), FLive(Live), FOut(Out) {}

// "party.mp4: 42% (3291 of 7835 frames), 312 frames/s, 0:14 left, about 12.3 MB";
// a live line leaves out the frame counts, to fit a narrow terminal.
std::string ExportProgress::Line(int64_t Frame, int64_t Bytes, int64_t Milliseconds) const {
    const double rate = double(Frame) * 1000.0 / double(std::max<int64_t>(Milliseconds, 1));
    const auto left = static_cast<int64_t>(double(FFrames - Frame) / std::max(rate, 1.0) * 1000.0);
    const int64_t estimate = Frame > 0 ? Bytes * FFrames / Frame : 0;
    const std::string counts =
        FLive ? "" : Format(" (%lld of %lld frames)", (long long)Frame, (long long)FFrames);
    return Format("%s: %lld%%%s, %.0f frames/s, %s left, about %s", FName.c_str(),
                  (long long)(Frame * 100 / FFrames), counts.c_str(), rate, ClockText(left).c_str(),
                  SizeText(estimate).c_str());
}

void ExportProgress::Update(int64_t Frame, int64_t Bytes, int64_t Milliseconds) {
    if (FLive) {
        if (Milliseconds - FShownAt < kLiveInterval && Frame < FFrames) return;
        FShownAt = Milliseconds;
        // Back to the line's start, the new text, and the rest of the old one cleared.
        std::fprintf(FOut, "\r%s\x1b[K", Line(Frame, Bytes, Milliseconds).c_str());
        FLineOpen = true;
    } else {
        const int64_t tenth = Frame * 10 / FFrames;
        if (tenth <= FShownTenth) return;
        FShownTenth = tenth;
        std::fprintf(FOut, "%s\n", Line(Frame, Bytes, Milliseconds).c_str());
    }
    std::fflush(FOut);
}

void ExportProgress::Interrupt() {
    if (FLineOpen) std::fputc('\n', FOut);
    FLineOpen = false;
}

void ExportProgress::Done(int64_t Bytes, int64_t Milliseconds) {
    Interrupt();
    const int64_t length = FFrames * kFrameMilliseconds;
    std::fprintf(FOut, "%s: %s, %s long, made in %.1f s (%.1f times real time)\n", FName.c_str(),
                 SizeText(Bytes).c_str(), ClockText(length).c_str(),
                 static_cast<double>(Milliseconds) / 1000.0,
                 static_cast<double>(length) / static_cast<double>(std::max<int64_t>(Milliseconds, 1)));
}
