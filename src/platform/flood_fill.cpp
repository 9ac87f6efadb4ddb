#include "platform/flood_fill.h"

#include <algorithm>
#include <cstring>

#include "platform/pixel_access.h"
#include "platform/pixel_copy.h"

namespace {

using Segment = FloodFillScratch::Segment;

// The fill for one pixel format. Border: the region is made of pixels unlike
// Match (else of pixels equal to it). Masked: painted pixels still belong to
// the region by colour (a border fill in a colour other than the border), so
// each pixel reached is marked in the scratch's visited bytes to be filled once.
template <PixelFormat F, bool Border, bool Masked>
class SpanFiller {
public:
    SpanFiller(const PixelView& Target, uint32_t Match, uint32_t FillPixel, FloodFillScratch& Scratch)
        : target(Target), match(Match), fill(FillPixel), scratch(Scratch) {}

    void Run(int X, int Y) {
        if (!Inside(Y, X)) return;
        scratch.Stack.clear();
        // The seed row is explored first, as if reached from below; the row
        // under the seed is queued as if reached from the seed.
        Push(Y + 1, X, X, 1);
        scratch.Stack.push_back({Y, X, X, -1});
        while (!scratch.Stack.empty()) {
            const Segment s = scratch.Stack.back();
            scratch.Stack.pop_back();
            Explore(s);
        }
    }

private:
    using Traits = PixelTraits<F>;

    bool Inside(int Y, int X) const {
        const bool unlike = !Traits::Equals(target.Row(Y) + X * Traits::kBytes, match);
        if (unlike != Border) return false;
        return !Masked || scratch.Visited[size_t(Y) * target.Width + X] != scratch.Generation;
    }

    // Queues row Y, columns Left..Right, to be explored; Direction points away
    // from the row that was painted and led here.
    void Push(int Y, int Left, int Right, int Direction) {
        if (Y >= 0 && Y < target.Height) scratch.Stack.push_back({Y, Left, Right, Direction});
    }

    void Paint(int Y, int Left, int End) {
        FillPixelRow(target.Row(Y) + Left * Traits::kBytes, End - Left, F, fill);
        if (Masked) {
            std::memset(&scratch.Visited[size_t(Y) * target.Width + Left], scratch.Generation, size_t(End - Left));
        }
    }

    // Paints the run of region pixels through (X, s.Y), queues the rows next to
    // it and returns the column after it.
    int PaintRun(const Segment& s, int X) {
        int left = X, end = X + 1;
        while (left > 0 && Inside(s.Y, left - 1)) --left;
        while (end < target.Width && Inside(s.Y, end)) ++end;
        Paint(s.Y, left, end);
        // Onwards in the same direction, and back where the run reaches beyond
        // the row it came from (around corners).
        Push(s.Y + s.Direction, left, end - 1, s.Direction);
        if (left < s.Left) Push(s.Y - s.Direction, left, s.Left - 1, -s.Direction);
        if (end > s.Right + 1) Push(s.Y - s.Direction, s.Right + 1, end - 1, -s.Direction);
        return end;
    }

    // Row s.Y below (or above) the painted span s.Left..s.Right: paints every
    // run of region pixels that touches that span.
    void Explore(const Segment& s) {
        int x = s.Left;
        while (x <= s.Right) {
            if (Inside(s.Y, x)) {
                x = PaintRun(s, x);
            }
            ++x;
        }
    }

    PixelView target;
    uint32_t match, fill;
    FloodFillScratch& scratch;
};

// Starts a new fill number, clearing the marks when the numbers run out.
void NextGeneration(FloodFillScratch& Scratch, const PixelView& Target) {
    const size_t pixels = size_t(Target.Width) * size_t(Target.Height);
    if (Scratch.Visited.size() < pixels) Scratch.Visited.resize(pixels, 0);
    if (++Scratch.Generation == 0) {
        std::fill(Scratch.Visited.begin(), Scratch.Visited.end(), 0);
        Scratch.Generation = 1;
    }
}

template <PixelFormat F, bool Border>
void FillWith(const PixelView& Target, int X, int Y, uint32_t Match, uint32_t FillPixel,
              FloodFillScratch& Scratch) {
    // When painting takes a pixel out of the region by its colour, colour alone
    // stops the fill from coming back; otherwise visited pixels are marked.
    const bool fillMatches = ((FillPixel ^ Match) & PixelTraits<F>::kMask) == 0;
    if (fillMatches == Border) {
        SpanFiller<F, Border, false>(Target, Match, FillPixel, Scratch).Run(X, Y);
        return;
    }
    NextGeneration(Scratch, Target);
    SpanFiller<F, Border, true>(Target, Match, FillPixel, Scratch).Run(X, Y);
}

} // namespace

void FloodFillView(const PixelView& Target, int X, int Y, const FloodFillRule& Rule, uint32_t FillPixel,
                   FloodFillScratch& Scratch) {
    if (Target.Empty() || !Target.Contains(X, Y)) return;
    WithFormat(Target.Format, [&](auto f) {
        if (Rule.Border) {
            FillWith<f(), true>(Target, X, Y, Rule.Match, FillPixel, Scratch);
        } else {
            FillWith<f(), false>(Target, X, Y, Rule.Match, FillPixel, Scratch);
        }
    });
}
