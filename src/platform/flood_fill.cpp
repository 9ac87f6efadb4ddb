#include "platform/flood_fill.h"

#include <algorithm>
#include <cstring>

#include "platform/pixel_access.h"
#include "platform/pixel_copy.h"

namespace {

using Segment = FloodFillScratch::Segment;

// Eight 16-bit pixels compared at once (the compiler's portable vectors).
using Pixels16x8 = uint16_t __attribute__((vector_size(16)));

Pixels16x8 Splat16(uint32_t Value) {
    const uint16_t v = uint16_t(Value);
    return Pixels16x8{v, v, v, v, v, v, v, v};
}

// True when a lane of a comparison result is set.
bool AnyLane(Pixels16x8 Compared) {
    uint64_t halves[2];
    std::memcpy(halves, &Compared, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// The fill for one pixel format. Border: the region is made of pixels unlike
// Match (else of pixels equal to it). Masked: painted pixels still belong to
// the region by colour (a border fill in a colour other than the border), so
// painted pixels are marked in the scratch's bits. Only pixels that have the
// fill colour can be painted ones, so only those need their mark read, and
// only in rows this fill has painted.
template <PixelFormat F, bool Border, bool Masked> class SpanFiller {
public:
    SpanFiller(const PixelView& Target, uint32_t Match, uint32_t FillPixel, FloodFillScratch& Scratch)
        : FTarget(Target), FMatch(Match & Traits::kMask), FFill(FillPixel & Traits::kMask),
          FScratch(Scratch) {}

    void Run(int X, int Y) {
        if (!Inside(RowAt(Y), X)) return;
        FScratch.Stack.clear();
        // The seed row is explored first, as if reached from below; the row
        // under the seed is queued as if reached from the seed.
        Push(Y + 1, X, X, 1);
        FScratch.Stack.push_back({Y, X, X, -1});
        while (!FScratch.Stack.empty()) {
            const Segment s = FScratch.Stack.back();
            FScratch.Stack.pop_back();
            Explore(s);
        }
    }

private:
    using Traits = PixelTraits<F>;

    // A row's pixels and its marks (nullptr while this fill has painted none).
    struct RowRef {
        int Y;
        uint8_t* Pixels;
        uint64_t* Marks;
    };

    RowRef RowAt(int Y) const {
        const bool marked = Masked && FScratch.RowGeneration[size_t(Y)] == FScratch.Generation;
        return {Y, FTarget.Row(Y), marked ? MarksOf(Y) : nullptr};
    }

    uint64_t* MarksOf(int Y) const { return &FScratch.Painted[size_t(Y) * FScratch.WordsPerRow]; }

    bool Inside(const RowRef& R, int X) const {
        const uint32_t p = Traits::Load(R.Pixels + X * Traits::kBytes) & Traits::kMask;
        if ((p == FMatch) == Border) return false;
        if constexpr (Masked) return p != FFill || !R.Marks || !(R.Marks[X >> 6] >> (X & 63) & 1);
        return true;
    }

    // The first column from X on (before End) that is not in the region. For
    // 16-bit border fills 32, then eight pixels are checked at a time while
    // none of them is the border or could be painted already.
    int ScanRight(const RowRef& R, int X, int End) const {
        if constexpr (Traits::kBytes == 2 && Border) {
            const uint32_t painted = Masked && R.Marks ? FFill : FMatch;
            const Stops stops{Splat16(Traits::kMask), Splat16(FMatch), Splat16(painted)};
            for (; X + 32 <= End; X += 32)
                if (AnyLane(stops.At(R.Pixels, X) | stops.At(R.Pixels, X + 8) | stops.At(R.Pixels, X + 16) |
                            stops.At(R.Pixels, X + 24)))
                    break;
            for (; X + 8 <= End; X += 8)
                if (AnyLane(stops.At(R.Pixels, X))) break;
        }
        while (X < End && Inside(R, X))
            ++X;
        return X;
    }

    // The lanes of eight 16-bit pixels that end a run: the border, or a pixel
    // that may be painted already.
    struct Stops {
        Pixels16x8 Lane, Edge, Painted;
        Pixels16x8 At(const uint8_t* Pixels, int X) const {
            Pixels16x8 v;
            std::memcpy(&v, Pixels + X * 2, sizeof v);
            v &= Lane;
            return (v == Edge) | (v == Painted);
        }
    };

    // Queues row Y, columns Left..Right, to be explored; Direction points away
    // from the row that was painted and led here.
    void Push(int Y, int Left, int Right, int Direction) {
        if (Y >= 0 && Y < FTarget.Height) FScratch.Stack.push_back({Y, Left, Right, Direction});
    }

    void Paint(RowRef& R, int Left, int End) {
        FillPixelRow(R.Pixels + Left * Traits::kBytes, End - Left, F, FFill);
        if constexpr (Masked) {
            if (!R.Marks) {
                R.Marks = MarksOf(R.Y);
                std::fill_n(R.Marks, FScratch.WordsPerRow, 0);
                FScratch.RowGeneration[size_t(R.Y)] = FScratch.Generation;
            }
            SetBits(R.Marks, Left, End);
        }
    }

    // Sets bits [Left, End) of a row of words.
    static void SetBits(uint64_t* Words, int Left, int End) {
        const int first = Left >> 6, last = (End - 1) >> 6;
        const uint64_t head = ~uint64_t(0) << (Left & 63), tail = ~uint64_t(0) >> (63 - ((End - 1) & 63));
        if (first == last) {
            Words[first] |= head & tail;
            return;
        }
        Words[first] |= head;
        std::fill(Words + first + 1, Words + last, ~uint64_t(0));
        Words[last] |= tail;
    }

    // Paints the run of region pixels through (X, s.Y), queues the rows next to
    // it and returns the column after it.
    int PaintRun(RowRef& R, const Segment& s, int X) {
        int left = X;
        while (left > 0 && Inside(R, left - 1))
            --left;
        const int end = ScanRight(R, X + 1, FTarget.Width);
        Paint(R, left, end);
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
        RowRef r = RowAt(s.Y);
        for (int x = s.Left; x <= s.Right; ++x) {
            if (Inside(r, x)) x = PaintRun(r, s, x);
        }
    }

    PixelView FTarget;
    uint32_t FMatch, FFill;
    FloodFillScratch& FScratch;
};

// Starts a new fill number, clearing all marks when the numbers run out or
// the target's shape changed.
void NextGeneration(FloodFillScratch& Scratch, const PixelView& Target) {
    const size_t words = (size_t(Target.Width) + 63) / 64, rows = size_t(Target.Height);
    if (Scratch.WordsPerRow != words || Scratch.RowGeneration.size() < rows) {
        Scratch.WordsPerRow = words;
        Scratch.Painted.assign(words * rows, 0);
        Scratch.RowGeneration.assign(rows, 0);
        Scratch.Generation = 0;
    }
    if (++Scratch.Generation == 0) {
        std::fill(Scratch.RowGeneration.begin(), Scratch.RowGeneration.end(), 0);
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
