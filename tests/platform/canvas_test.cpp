#include "platform/canvas.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/pixel_buffer.h"

namespace {

constexpr uint32_t kSeaLine = 0x9E242A;

// A picture of a buffer: '#' where the pixel has the colour Ink, '.' elsewhere,
// rows separated by '|'.
std::string Picture(Canvas& C, int W, int H, uint32_t Ink) {
    std::string s;
    for (int y = 0; y < H; ++y) {
        if (y) s += '|';
        for (int x = 0; x < W; ++x)
            s += C.Pixels(x, y) == Ink ? '#' : '.';
    }
    return s;
}

struct Board {
    Board(int W, int H, PixelFormat F = PixelFormat::Rgb565) {
        EXPECT_TRUE(Buffer.Create(W, H, F));
        Paper.SetTarget(Buffer.View());
    }
    PixelBuffer Buffer;
    Canvas Paper;
};

TEST(CanvasLines, ThinLinesStepPixelByPixelAndLeaveOutTheEnd) {
    struct Case {
        const char* Name;
        int X0, Y0, X1, Y1;
        std::string Picture;
    };
    const Case cases[] = {
        {"horizontal", 1, 1, 5, 1, "......|.####.|......|......"},
        {"leftwards", 5, 2, 1, 2, "......|......|..####|......"},
        {"diagonal", 0, 0, 4, 4, "#.....|.#....|..#...|...#.."},
        {"steep", 1, 0, 2, 4, ".#....|.#....|..#...|..#..."},
        {"shallow: nearest row, halves away from the start", 0, 0, 5, 2, "##....|..##..|....#.|......"},
        {"a single point draws nothing", 2, 2, 2, 2, "......|......|......|......"},
        {"clipped far outside", -1000000, 1, 1000000, 1, "......|######|......|......"},
    };
    for (const Case& c : cases) {
        Board b(6, 4);
        b.Paper.Pen.Color = 0xFFFFFF;
        b.Paper.MoveTo(c.X0, c.Y0);
        b.Paper.LineTo(c.X1, c.Y1);
        EXPECT_EQ(Picture(b.Paper, 6, 4, 0xFFFFFF), c.Picture) << c.Name;
        EXPECT_EQ(b.Paper.PenPos(), (TPoint{c.X1, c.Y1}));
    }
}

TEST(CanvasLines, WidePensPaintBandsWithRoundEnds) {
    Board b(12, 9);
    b.Paper.Pen.Color = 0xFFFFFF;
    b.Paper.Pen.Width = 6;
    b.Paper.MoveTo(3, 4);
    b.Paper.LineTo(8, 4);
    // An even width is centred on pixel corners: six rows (1 to 6), half the
    // width beyond each end (0 to 10), ends rounded.
    EXPECT_EQ(Picture(b.Paper, 12, 9, 0xFFFFFF), "............|"
                                                 ".#########..|"
                                                 "###########.|"
                                                 "###########.|"
                                                 "###########.|"
                                                 "###########.|"
                                                 ".#########..|"
                                                 "............|"
                                                 "............");

    Board dot(7, 7);
    dot.Paper.Pen.Color = 0xFFFFFF;
    dot.Paper.Pen.Width = 5;
    dot.Paper.MoveTo(3, 3);
    dot.Paper.LineTo(3, 3);
    // A zero-length wide line is a disc of the pen's width, centred on the pixel.
    EXPECT_EQ(Picture(dot.Paper, 7, 7, 0xFFFFFF), ".......|..###..|.#####.|.#####.|.#####.|..###..|.......");
}

// The reference: a breadth-first fill of the 4-connected region, pixel by pixel.
std::vector<uint32_t> ReferenceFill(const PixelView& V, int X, int Y, uint32_t Match, bool Border,
                                    uint32_t Fill) {
    std::vector<uint32_t> out;
    for (int y = 0; y < V.Height; ++y)
        for (int x = 0; x < V.Width; ++x)
            out.push_back(V.Read(x, y));
    auto in = [&](int x, int y) { return (V.Read(x, y) != Match) == Border; };
    if (!in(X, Y)) return out;
    std::vector<bool> seen(out.size());
    std::deque<std::pair<int, int>> queue{{X, Y}};
    seen[size_t(Y) * V.Width + X] = true;
    while (!queue.empty()) {
        auto [x, y] = queue.front();
        queue.pop_front();
        out[size_t(y) * V.Width + x] = Fill;
        const int nx[] = {x - 1, x + 1, x, x}, ny[] = {y, y, y - 1, y + 1};
        for (int k = 0; k < 4; ++k) {
            if (!V.Contains(nx[k], ny[k]) || seen[size_t(ny[k]) * V.Width + nx[k]] || !in(nx[k], ny[k]))
                continue;
            seen[size_t(ny[k]) * V.Width + nx[k]] = true;
            queue.push_back({nx[k], ny[k]});
        }
    }
    return out;
}

TEST(CanvasFloodFill, BorderFillStopsAtTheConvertedBorderColour) {
    Board b(12, 8);
    b.Paper.Brush.Color = 0x000000;
    b.Paper.FillRect(Rect(0, 0, 12, 8));
    b.Paper.Pen.Color = kSeaLine;
    b.Paper.Pen.Width = 1;
    b.Paper.MoveTo(0, 3);
    b.Paper.LineTo(12, 3);
    // A colour that converts to the border's 5-6-5 value is border too; one
    // step of green further away is not.
    b.Paper.SetPixels(5, 5, 0x9F252D);
    b.Paper.SetPixels(7, 5, kSeaLine + 0x400);
    b.Paper.Brush.Color = 0xEED6B4;
    b.Paper.FloodFill(0, 7, kSeaLine, fsBorder);
    EXPECT_EQ(
        Picture(b.Paper, 12, 8, UnpackColor(PixelFormat::Rgb565, PackColor(PixelFormat::Rgb565, 0xEED6B4))),
        "............|............|............|............|"
        "############|#####.######|############|############");

    // Starting on a border pixel paints nothing.
    Board c(4, 4);
    c.Paper.Pen.Color = kSeaLine;
    c.Paper.MoveTo(0, 0);
    c.Paper.LineTo(4, 0);
    c.Paper.Brush.Color = 0xFFFFFF;
    c.Paper.FloodFill(1, 0, kSeaLine, fsBorder);
    EXPECT_EQ(Picture(c.Paper, 4, 4, 0xFFFFFF), "....|....|....|....");
    c.Paper.Brush.Style = bsClear; // a clear brush paints nothing either
    c.Paper.FloodFill(1, 2, kSeaLine, fsBorder);
    EXPECT_EQ(Picture(c.Paper, 4, 4, 0xFFFFFF), "....|....|....|....");
}

TEST(CanvasFloodFill, MatchesAPixelByPixelFillOnMazes) {
    // Random walls, with pixels already in the fill colour inside the region
    // (they must not stop the fill) and rings that force the fill around
    // corners; dense mazes of small rooms and sparse ones with long runs.
    uint32_t seed = 12345;
    auto next = [&] { return (seed = seed * 134775813u + 1u) >> 16; };
    struct Density {
        uint32_t Walls, FillColoured, MaxWidth; // walls and fill-coloured pixels per 1000
    };
    Canvas shared;
    for (const Density d : {Density{400, 200, 60}, Density{15, 10, 300}}) {
        for (PixelFormat f :
             {PixelFormat::Rgb565, PixelFormat::Rgb555, PixelFormat::Bgr24, PixelFormat::Bgrx32}) {
            for (int round = 0; round < 30; ++round) {
                const int w = 5 + int(next() % d.MaxWidth), h = 5 + int(next() % 40);
                Board b(w, h, f);
                shared.SetTarget(b.Buffer.View()); // one canvas's marks across targets of every shape
                const uint32_t border = PackColor(f, kSeaLine), fill = PackColor(f, 0x0000FF);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const uint32_t r = next() % 1000;
                        b.Buffer.View().Write(x, y,
                                              r < d.Walls                    ? border
                                              : r < d.Walls + d.FillColoured ? fill
                                                                             : PackColor(f, 0x00FF00));
                    }
                const int sx = int(next() % w), sy = int(next() % h);
                for (bool borderFill : {true, false}) {
                    const uint32_t match = borderFill ? border : PackColor(f, 0x00FF00);
                    const auto want = ReferenceFill(b.Buffer.View(), sx, sy, match, borderFill, fill);
                    shared.Brush.Color = 0x0000FF;
                    shared.FloodFill(sx, sy, UnpackColor(f, match), borderFill ? fsBorder : fsSurface);
                    std::vector<uint32_t> got;
                    for (int y = 0; y < h; ++y)
                        for (int x = 0; x < w; ++x)
                            got.push_back(b.Buffer.View().Read(x, y));
                    ASSERT_EQ(got, want)
                        << "format " << int(f) << " round " << round << " border " << borderFill;
                }
            }
        }
    }
}

TEST(CanvasFloodFill, MarksOfAnEarlierFillNeverHoldBackALaterOne) {
    // Row 2 is walled off from the top row, and split in two by a border pixel.
    Board b(8, 3);
    const uint32_t a = 0x0000FF, other = 0x00FF00;
    b.Paper.Brush.Color = other;
    b.Paper.FillRect(Rect(0, 0, 8, 3));
    b.Paper.Pen.Color = kSeaLine;
    b.Paper.MoveTo(0, 1);
    b.Paper.LineTo(8, 1);
    b.Paper.SetPixels(4, 2, kSeaLine);
    b.Paper.Brush.Color = a;
    b.Paper.FloodFill(0, 2, kSeaLine, fsBorder); // marks the left half of row 2
    // Fill numbers come round again after 255 fills; these never reach row 2.
    for (int fill = 0; fill < 254; ++fill) {
        b.Paper.Brush.Color = fill % 2 ? other : a;
        b.Paper.FloodFill(0, 0, kSeaLine, fsBorder);
    }
    b.Paper.SetPixels(4, 2, other);
    b.Paper.Brush.Color = a;
    b.Paper.FloodFill(0, 2, kSeaLine, fsBorder);
    EXPECT_EQ(Picture(b.Paper, 8, 3, UnpackColor(PixelFormat::Rgb565, PackColor(PixelFormat::Rgb565, a))),
              "........|........|########");
}

TEST(Canvas, PixelsCopiesAndDetachedTargets) {
    Board b(4, 4);
    EXPECT_EQ(b.Paper.Pixels(-1, 0), Canvas::kInvalidColor);
    b.Paper.SetPixels(4, 0, 0xFFFFFF); // outside: ignored
    b.Paper.SetPixels(1, 1, 0x0000FF);
    EXPECT_EQ(b.Paper.Pixels(1, 1), 0x0000FFu);

    PixelBuffer picture;
    ASSERT_TRUE(picture.Create(2, 2, PixelFormat::Bgr24));
    picture.Fill(PackColor(PixelFormat::Bgr24, 0x00FF00));
    b.Paper.Draw(3, 3, picture.View());
    EXPECT_EQ(b.Paper.Pixels(3, 3), 0x00FF00u);
    b.Paper.StretchDraw(Rect(0, 0, 2, 1), picture.View());
    EXPECT_EQ(Picture(b.Paper, 4, 4, 0x00FF00), "##..|....|....|...#");

    b.Paper.Detach();
    b.Paper.Brush.Color = 0xFFFFFF;
    b.Paper.FillRect(Rect(0, 0, 4, 4));
    b.Paper.MoveTo(0, 0);
    b.Paper.LineTo(3, 3);
    EXPECT_EQ(b.Buffer.View().Read(0, 0), PackColor(PixelFormat::Rgb565, 0x00FF00));
    EXPECT_EQ(b.Paper.Pixels(0, 0), Canvas::kInvalidColor);
}

} // namespace
