// One frame of the show's drawing, by our renderer and canvas and by cairo
// (pixman) into an RGB565 image with bilinear filtering, measured in one run:
// clear; an 800 x 340 background; the sun, 250 x 250, turned and at alpha 210;
// 94 glyphs of 40 x 40 turned at 20 x 20; three 300 x 157 captions at alpha
// 100; a 200-segment sea line 6 pixels wide and three 3 pixels wide. Prints both
// medians and "ratio ours/cairo", ours drawn by one thread as cairo draws;
// BmFrameOursShared shares big drawings with the rasterizer's helper thread, as
// the program does (its real time is what counts). The cairo half is built
// when cairo is found (bench/frame_vs_cairo.cmake).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "../tests/render/image_list_rig.h"
#include "platform/row_sharing.h"

#ifdef FUIFJE_HAVE_CAIRO
#include <cairo/cairo.h>
#endif

namespace {

// [SECTION] The scene, shared by both renderers

constexpr int kGlyphCount = 94;
constexpr int kLineSegments = 200;
const char kLetters[] = "Uitnodiging voor het grote feest van Fuifje op zesentwintig juni om achttien uur";

struct Pictures {
    std::unique_ptr<TDIB> Background = MakePicture(800, 340, [](int X, int Y) {
        return RGB(uint8_t(X * 255 / 800), uint8_t(40 + Y / 4), uint8_t(120 + (X + Y) % 100));
    });
    std::unique_ptr<TDIB> Sun = Disc(256, 256, RGB(255, 200, 40));
    std::unique_ptr<TDIB> Cloud = Disc(300, 157, RGB(60, 110, 220));
    std::vector<std::unique_ptr<TDIB>> Glyphs;

    Pictures() {
        for (int i = 0; i < kGlyphCount; ++i)
            Glyphs.push_back(Glyph(std::string(1, kLetters[i % (sizeof kLetters - 1)])));
    }

    static std::unique_ptr<TDIB> Disc(int Width, int Height, uint32_t Color) {
        return MakePicture(Width, Height, [=](int X, int Y) {
            const double dx = (X + 0.5) / Width - 0.5, dy = (Y + 0.5) / Height - 0.5;
            return dx * dx + dy * dy < 0.2 ? Color + uint32_t(X % 32) : RGB(255, 255, 255);
        });
    }
    static std::unique_ptr<TDIB> Glyph(const std::string& Letter) {
        auto glyph = MakePicture(40, 40, [](int, int) { return RGB(255, 255, 255); });
        glyph->Canvas().Font = FontSpec{"Verdana", 24, true, RGB(200, 0, 0)};
        glyph->Canvas().TextOut(0, 0, Letter);
        return glyph;
    }
};

// Where glyph I stands and how it leans in frame Frame.
struct GlyphPlace {
    int X, Y, Angle;
};
GlyphPlace PlaceGlyph(int I, int Frame) {
    return {20 + (I % 31) * 25, 380 + (I / 31) * 50, int(24 * std::sin(I * 0.7 + Frame * 0.1))};
}

// The y of point K of sea line L in frame Frame.
double LineY(int L, int K, int Frame) {
    return 340 + L * 25 + 10 * std::sin(K * 0.1 + Frame * 0.05);
}

// [SECTION] Ours

void DrawFramesOurs(benchmark::State& State, bool Shared) {
    UseRowSharing(Shared);
    const Pictures pictures;
    ImageListRig r;
    TPictureCollectionItem* background = r.Add(*pictures.Background, false, 0, "bgnd_day");
    TPictureCollectionItem* sun = r.Add(*pictures.Sun, true, 0xFFFFFF, "sun");
    TPictureCollectionItem* cloud = r.Add(*pictures.Cloud);
    std::vector<TPictureCollectionItem*> glyphs;
    for (const auto& g : pictures.Glyphs)
        glyphs.push_back(r.Add(*g));
    int frame = 0;
    for (auto _ : State) {
        ++frame;
        r.DS.BeginScene();
        background->Draw(r.Back(), 0, 0, 0);
        sun->DrawRotateAlpha(r.Back(), 350, 200, 250, 250, 0, 0.5, 0.5, frame, 210);
        for (int i = 0; i < kGlyphCount; ++i) {
            const GlyphPlace p = PlaceGlyph(i, frame);
            glyphs[size_t(i)]->DrawRotate(r.Back(), p.X, p.Y, 20, 20, 0, 0.5, 0.5, p.Angle);
        }
        for (int i = 0; i < 3; ++i)
            cloud->DrawAlpha(r.Back(), Bounds(50 + i * 250, 100, 300, 157), 0, 100);
        Canvas& canvas = r.Back()->Canvas();
        canvas.Pen.Color = RGB(230, 80, 50);
        for (int l = 0; l < 4; ++l) {
            canvas.Pen.Width = l == 0 ? 6 : 3;
            canvas.MoveTo(0, int(LineY(l, 0, frame)));
            for (int k = 1; k <= kLineSegments; ++k)
                canvas.LineTo(k * 4, int(LineY(l, k, frame)));
        }
        r.Back()->Canvas().Release();
        r.DS.EndScene();
    }
    UseRowSharing(true);
}

void BmFrameOurs(benchmark::State& State) {
    DrawFramesOurs(State, false);
}
BENCHMARK(BmFrameOurs)->Repetitions(9)->ReportAggregatesOnly(true);

void BmFrameOursShared(benchmark::State& State) {
    DrawFramesOurs(State, true);
}
BENCHMARK(BmFrameOursShared)->Repetitions(9)->ReportAggregatesOnly(true);

// [SECTION] Cairo

#ifdef FUIFJE_HAVE_CAIRO
// The picture as a cairo surface; keyed pictures get white fully transparent.
cairo_surface_t* ToCairo(const TDIB& Picture, bool Keyed) {
    const int w = Picture.Width(), h = Picture.Height();
    cairo_surface_t* s = cairo_image_surface_create(Keyed ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, w, h);
    cairo_surface_flush(s);
    uint8_t* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + ptrdiff_t(y) * stride);
        const uint8_t* bgr = Picture.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const uint32_t rgb =
                uint32_t(bgr[3 * x]) | uint32_t(bgr[3 * x + 1]) << 8 | uint32_t(bgr[3 * x + 2]) << 16;
            row[x] = Keyed && rgb == 0xFFFFFF ? 0 : 0xFF000000 | rgb;
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

// Draws Source (SourceWidth x SourceHeight) at Width x Height centred on (X, Y), turned by Angle 256ths.
void DrawTurned(cairo_t* Cr, cairo_surface_t* Source, int SourceWidth, int SourceHeight, double X, double Y,
                double Width, double Height, int Angle, double Alpha) {
    cairo_save(Cr);
    cairo_translate(Cr, X, Y);
    cairo_rotate(Cr, Angle * M_PI / 128);
    cairo_scale(Cr, Width / SourceWidth, Height / SourceHeight);
    cairo_translate(Cr, -SourceWidth / 2.0, -SourceHeight / 2.0);
    cairo_set_source_surface(Cr, Source, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(Cr), CAIRO_FILTER_BILINEAR);
    cairo_paint_with_alpha(Cr, Alpha);
    cairo_restore(Cr);
}

void DrawCairoFrame(cairo_t* Cr, cairo_surface_t* Background, cairo_surface_t* Sun, cairo_surface_t* Cloud,
                    const std::vector<cairo_surface_t*>& Glyphs, int Frame) {
    cairo_set_operator(Cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgb(Cr, 0, 0, 0);
    cairo_paint(Cr);
    cairo_set_source_surface(Cr, Background, 0, 0);
    cairo_rectangle(Cr, 0, 0, 800, 340);
    cairo_fill(Cr);
    cairo_set_operator(Cr, CAIRO_OPERATOR_OVER);
    DrawTurned(Cr, Sun, 256, 256, 350, 200, 250, 250, Frame, 210 / 255.0);
    for (int i = 0; i < kGlyphCount; ++i) {
        const GlyphPlace p = PlaceGlyph(i, Frame);
        DrawTurned(Cr, Glyphs[size_t(i)], 40, 40, p.X, p.Y, 20, 20, p.Angle, 1);
    }
    for (int i = 0; i < 3; ++i) {
        cairo_set_source_surface(Cr, Cloud, 50 + i * 250, 100);
        cairo_paint_with_alpha(Cr, 100 / 255.0);
    }
    // Lines as our canvas draws them: no antialiasing, round ends.
    cairo_set_antialias(Cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_cap(Cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(Cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_source_rgb(Cr, 230 / 255.0, 80 / 255.0, 50 / 255.0);
    for (int l = 0; l < 4; ++l) {
        cairo_set_line_width(Cr, l == 0 ? 6 : 3);
        cairo_move_to(Cr, 0, int(LineY(l, 0, Frame)));
        for (int k = 1; k <= kLineSegments; ++k)
            cairo_line_to(Cr, k * 4, int(LineY(l, k, Frame)));
        cairo_stroke(Cr);
    }
    cairo_set_antialias(Cr, CAIRO_ANTIALIAS_DEFAULT);
}

void BmFrameCairo(benchmark::State& State) {
    const Pictures pictures;
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_RGB16_565, 800, 600);
    cairo_t* cr = cairo_create(target);
    cairo_surface_t* background = ToCairo(*pictures.Background, false);
    cairo_surface_t* sun = ToCairo(*pictures.Sun, true);
    cairo_surface_t* cloud = ToCairo(*pictures.Cloud, true);
    std::vector<cairo_surface_t*> glyphs;
    for (const auto& g : pictures.Glyphs)
        glyphs.push_back(ToCairo(*g, true));
    int frame = 0;
    for (auto _ : State) {
        DrawCairoFrame(cr, background, sun, cloud, glyphs, ++frame);
        cairo_surface_flush(target);
    }
    for (cairo_surface_t* s : glyphs)
        cairo_surface_destroy(s);
    for (cairo_surface_t* s : {background, sun, cloud})
        cairo_surface_destroy(s);
    cairo_destroy(cr);
    cairo_surface_destroy(target);
}
BENCHMARK(BmFrameCairo)->Repetitions(9)->ReportAggregatesOnly(true);
#endif

// [SECTION] Report

// Prints as usual and keeps the median times of every benchmark. The ratio
// uses processor time, which other programs on the machine disturb least.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double Real = 0, Cpu = 0;
    };
    void ReportRuns(const std::vector<Run>& Reports) override {
        for (const Run& run : Reports)
            if (run.aggregate_name == "median")
                Medians[run.run_name.function_name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        ConsoleReporter::ReportRuns(Reports);
    }
    const Times* Find(const std::string& Name) const {
        const auto at = Medians.find(Name);
        return at == Medians.end() ? nullptr : &at->second;
    }
    std::map<std::string, Times> Medians;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const MedianReporter::Times *ours = reporter.Find("BmFrameOurs"), *cairo = reporter.Find("BmFrameCairo");
    const MedianReporter::Times* shared = reporter.Find("BmFrameOursShared");
    if (ours) std::printf("median ours: %.0f ns (cpu %.0f ns)\n", ours->Real, ours->Cpu);
    if (shared) std::printf("median ours, rows shared: %.0f ns\n", shared->Real);
    if (cairo) std::printf("median cairo: %.0f ns (cpu %.0f ns)\n", cairo->Real, cairo->Cpu);
    if (ours && cairo)
        std::printf("ratio ours/cairo: %.2f\n", ours->Cpu / cairo->Cpu);
    else
        std::printf("ratio ours/cairo: not measured (cairo not built in, or a benchmark filtered out)\n");
    benchmark::Shutdown();
    return 0;
}
