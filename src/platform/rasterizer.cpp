// Triangles of the rasterizer: a strip's two triangles walked row by row
// (edges, attribute planes, Direct3D's fill rule), each row shaded as one span
// by the inner loop rasterizer_spans.cpp chooses once per draw; a big strip's
// rows are shared with a helper thread (row_sharing.h). Textures are
// made in rasterizer_texture.cpp, and the lanes the inner loops work in are
// described in rasterizer_lanes.h.
//
// Why vector code: a plain scalar rasterizer of the same contract (the tests'
// reference, tests/platform/rasterizer_reference.h) draws the show's sun quad
// about fifteen times slower; sprite_bench's BmRasterSunVector and
// BmRasterSunReference measure both on the same quad, and its
// BmDrawRotateAlphaSun and frame_vs_cairo_bench's BmFrameOurs time the sprite
// and the whole frame.
#include "platform/rasterizer.h"

#include <algorithm>
#include <cmath>

#include "platform/rasterizer_spans.h"
#include "platform/row_sharing.h"

using namespace raster;

namespace {

// [SECTION] Triangles

// An edge walked from its upper end; x at row y is XTop + (y - YTop) * DxDy.
// Both triangles sharing an edge build it from the same ordered ends, so they
// compute the same x for every row and split its pixels without gap or overlap.
struct Edge {
    double XTop = 0, YTop = 0, DxDy = 0;
    double XAt(double Y) const { return XTop + (Y - YTop) * DxDy; }
};

bool IsAbove(const TransformedVertex& A, const TransformedVertex& B) {
    return A.Y < B.Y || (A.Y == B.Y && A.X < B.X);
}

Edge MakeEdge(const TransformedVertex& A, const TransformedVertex& B) {
    const TransformedVertex& top = IsAbove(A, B) ? A : B;
    const TransformedVertex& bottom = IsAbove(A, B) ? B : A;
    const double dy = double(bottom.Y) - double(top.Y);
    return {top.X, top.Y, dy > 0 ? (double(bottom.X) - double(top.X)) / dy : 0.0};
}

// The first whole coordinate at or after V, kept within [0, High].
int CeilWithin(double V, int High) {
    const double v = std::clamp(V, 0.0, double(High));
    const int whole = int(v); // truncation is floor here: v is not negative
    return whole + (whole < v);
}

void SortTopDown(const TransformedVertex* V[3]) {
    if (IsAbove(*V[1], *V[0])) std::swap(V[0], V[1]);
    if (IsAbove(*V[2], *V[1])) std::swap(V[1], V[2]);
    if (IsAbove(*V[1], *V[0])) std::swap(V[0], V[1]);
}

// An attribute's plane over the triangle: value at (X0, Y0) and its slopes.
struct Plane {
    double X0 = 0, Y0 = 0, A0 = 0, DaDx = 0, DaDy = 0;
    double At(double X, double Y) const { return A0 + (X - X0) * DaDx + (Y - Y0) * DaDy; }
    bool IsFinite() const { return std::isfinite(DaDx) && std::isfinite(DaDy); }
};

// Twice the signed area of the triangle.
double DoubleArea(const TransformedVertex* V[3]) {
    const double x1 = double(V[1]->X) - V[0]->X, y1 = double(V[1]->Y) - V[0]->Y;
    const double x2 = double(V[2]->X) - V[0]->X, y2 = double(V[2]->Y) - V[0]->Y;
    return x1 * y2 - x2 * y1;
}

Plane MakePlane(const TransformedVertex* V[3], const double A[3]) {
    const double x1 = double(V[1]->X) - V[0]->X, y1 = double(V[1]->Y) - V[0]->Y;
    const double x2 = double(V[2]->X) - V[0]->X, y2 = double(V[2]->Y) - V[0]->Y;
    const double area = DoubleArea(V), a1 = A[1] - A[0], a2 = A[2] - A[0];
    return {V[0]->X, V[0]->Y, A[0], (a1 * y2 - a2 * y1) / area, (a2 * x1 - a1 * x2) / area};
}

// The texture positions of a triangle, in texels from the first texel's centre.
struct TexelPlanes {
    Plane S, T;
    SpanCoordinates At(int X, int Y) const { return {S.At(X, Y), T.At(X, Y), S.DaDx, T.DaDx}; }
    bool IsFinite() const { return S.IsFinite() && T.IsFinite(); }
};

TexelPlanes MakeTexelPlanes(const TransformedVertex* V[3], const RasterTexture* Texture) {
    if (!Texture) return {};
    double s[3], t[3];
    for (int i = 0; i < 3; ++i) {
        s[i] = double(V[i]->U) * Texture->Width() - 0.5;
        t[i] = double(V[i]->V) * Texture->Height() - 0.5;
    }
    return {MakePlane(V, s), MakePlane(V, t)};
}

// One triangle ready to be walked row by row: its edges from the top vertex,
// its rows, its texture planes and its (flat) colour.
struct TriangleWalk {
    bool Drawn = false; // false for triangles without area or with slopes too steep to be finite
    Edge Long, Upper, Lower;
    double MiddleY = 0;
    int YBegin = 0, YEnd = 0;
    TexelPlanes Planes;
    uint32_t Diffuse = 0;

    // The pixels [X0, X1) of row Y whose centres lie in the triangle: from the
    // first centre at or right of the left edge to the last centre left of the
    // right edge (Direct3D's top-left rule). X0 >= X1 when there are none.
    void Row(int Y, int Width, int& X0, int& X1) const {
        X0 = X1 = 0;
        if (!Drawn || Y < YBegin || Y >= YEnd) return;
        const double xLong = Long.XAt(Y), xShort = (Y < MiddleY ? Upper : Lower).XAt(Y);
        X0 = CeilWithin(std::min(xLong, xShort), Width);
        X1 = CeilWithin(std::max(xLong, xShort), Width);
    }
};

// Rows run from the first one at or below the top vertex to the last one above
// the bottom vertex, so a row through a vertex belongs to the triangle below it.
TriangleWalk MakeWalk(const TransformedVertex* V[3], const RasterTexture* Texture, int Height) {
    TriangleWalk w;
    if (DoubleArea(V) == 0) return w;
    w.Planes = MakeTexelPlanes(V, Texture);
    w.Drawn = w.Planes.IsFinite();
    w.Diffuse = V[0]->Diffuse;
    SortTopDown(V);
    w.Long = MakeEdge(*V[0], *V[2]);
    w.Upper = MakeEdge(*V[0], *V[1]);
    w.Lower = MakeEdge(*V[1], *V[2]);
    w.MiddleY = V[1]->Y;
    w.YBegin = CeilWithin(V[0]->Y, Height);
    w.YEnd = CeilWithin(V[2]->Y, Height);
    return w;
}

bool SamePositions(const SpanCoordinates& A, const SpanCoordinates& B) {
    const double tolerance = 1e-9;
    return std::abs(A.S - B.S) < tolerance && std::abs(A.T - B.T) < tolerance &&
           std::abs(A.DS - B.DS) < tolerance && std::abs(A.DT - B.DT) < tolerance;
}

// Shades [X0, X1) of row Y: its first Split pixels from Left's plane, the rest
// from Right's (one plane when both agree).
void ShadeRowSpan(const SpanContext& Ctx, SpanFunction Span, int Y, int X0, int X1, const TriangleWalk& Left,
                  const TriangleWalk& Right, int Split) {
    SpanPositions p{Left.Planes.At(X0, Y), Right.Planes.At(X0, Y), Split};
    if (SamePositions(p.Left, p.Right)) p.Split = X1 - X0;
    Span(Ctx, Y, X0, X1 - X0, p);
}

// Shades row Y of a strip's two triangles. When their pixels meet end to end
// (the shared edge) and they share a colour, the row is one span crossing from
// one triangle's texture plane into the other's.
void ShadeStripRow(const SpanContext (&Ctx)[2], SpanFunction Span, int Y, const TriangleWalk (&W)[2]) {
    const int width = Ctx[0].Target->Width;
    int x0[2], x1[2];
    W[0].Row(Y, width, x0[0], x1[0]);
    W[1].Row(Y, width, x0[1], x1[1]);
    const bool has[2] = {x0[0] < x1[0], x0[1] < x1[1]};
    if (has[0] && has[1] && W[0].Diffuse == W[1].Diffuse && (x1[0] == x0[1] || x1[1] == x0[0])) {
        const int left = x1[0] == x0[1] ? 0 : 1, right = 1 - left;
        return ShadeRowSpan(Ctx[0], Span, Y, x0[left], x1[right], W[left], W[right], x1[left] - x0[left]);
    }
    for (int i = 0; i < 2; ++i)
        if (has[i]) ShadeRowSpan(Ctx[i], Span, Y, x0[i], x1[i], W[i], W[i], x1[i] - x0[i]);
}

// How many columns of a target Width wide the strip's corners span.
int ColumnsCovered(const TransformedVertex (&Strip)[4], int Width) {
    const auto [left, right] = std::minmax({Strip[0].X, Strip[1].X, Strip[2].X, Strip[3].X});
    return CeilWithin(right, Width) - CeilWithin(left, Width);
}

bool IsFinite(const TransformedVertex& V) {
    return std::isfinite(V.X) && std::isfinite(V.Y) && std::isfinite(V.U) && std::isfinite(V.V);
}

} // namespace

// [SECTION] Drawing
void DrawTriangleStrip(const PixelView& Target, const RasterState& State,
                       const TransformedVertex (&Strip)[4]) {
    const SpanFunction span = ChooseSpanFunction(Target.Format, State.AlphaBlend);
    if (!span || Target.Empty() || !std::all_of(Strip, Strip + 4, IsFinite)) return;
    const TransformedVertex* first[3] = {&Strip[0], &Strip[1], &Strip[2]};
    const TransformedVertex* second[3] = {&Strip[1], &Strip[2], &Strip[3]};
    const TriangleWalk walks[2] = {MakeWalk(first, State.Texture, Target.Height),
                                   MakeWalk(second, State.Texture, Target.Height)};
    const SpanContext contexts[2] = {
        {&Target, State.Texture, MakeCombine(walks[0].Diffuse, State.AlphaBlend)},
        {&Target, State.Texture, MakeCombine(walks[1].Diffuse, State.AlphaBlend)}};
    const int yBegin = std::min(walks[0].YBegin, walks[1].YBegin);
    const int yEnd = std::max(walks[0].YEnd, walks[1].YEnd);
    ShareRows(yBegin, yEnd, int64_t(yEnd - yBegin) * ColumnsCovered(Strip, Target.Width),
              [&](int Top, int Bottom) {
                  for (int y = Top; y < Bottom; ++y)
                      ShadeStripRow(contexts, span, y, walks);
              });
}
