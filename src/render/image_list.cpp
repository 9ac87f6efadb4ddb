#include "render/image_list.h"

#include "render/bitmap.h"
#include "render/d2d.h"
#include "render/dib.h"
#include "render/direct_draw_surface.h"
#include "render/dx_draw_errors.h"
#include "render/graphic.h"
#include "render/picture.h"

// Sections: TPictureCollectionItem (settings, surfaces, drawing),
// TPictureCollection, TCustomDXImageList.

namespace {

uint64_t NextSerial() {
    static uint64_t serial = 0;
    return ++serial;
}

// The sixteen colours every colour table starts with, by index.
struct FixedColor {
    int Index;
    uint8_t Red, Green, Blue;
};
constexpr FixedColor kFixedColors[16] = {
    {0, 0, 0, 0},         {1, 128, 0, 0},     {2, 0, 128, 0},     {3, 128, 128, 0},
    {4, 0, 0, 128},       {5, 128, 0, 128},   {6, 0, 128, 128},   {7, 192, 192, 192},
    {248, 128, 128, 128}, {249, 255, 0, 0},   {250, 0, 255, 0},   {251, 255, 255, 0},
    {252, 0, 0, 255},     {253, 255, 0, 255}, {254, 0, 255, 255}, {255, 255, 255, 255},
};

// A colour table being filled: each new colour goes to the lowest free entry.
class ColorTableBuilder {
public:
    explicit ColorTableBuilder(TRGBQuads& Table) : FTable(Table) { FTable.fill(TRGBQuad{}); }
    void Put(int Index, const TRGBQuad& Color) {
        FTable[size_t(Index)] = Color;
        FTaken[size_t(Index)] = true;
    }
    // Adds Color unless a taken entry holds it already.
    void Add(const TRGBQuad& Color) {
        for (size_t i = 0; i < FTable.size(); ++i)
            if (FTaken[i] && SameColor(FTable[i], Color)) return;
        for (size_t i = 0; i < FTable.size(); ++i)
            if (!FTaken[i]) return Put(int(i), Color);
    }
    bool Full() const {
        for (bool taken : FTaken)
            if (!taken) return false;
        return true;
    }

private:
    static bool SameColor(const TRGBQuad& A, const TRGBQuad& B) {
        return A.Red == B.Red && A.Green == B.Green && A.Blue == B.Blue;
    }
    TRGBQuads& FTable;
    std::array<bool, 256> FTaken{};
};

// The palette of a graphic's pixels: a TDIB's own, a TBitmap's image's.
const TRGBQuads& PaletteOf(const TGraphic* Graphic) {
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(Graphic)) return bitmap->DIB().Info().ColorTable;
    return static_cast<const TDIB*>(Graphic)->Info().ColorTable;
}

// How many palette entries a graphic contributes to a colour table: all 256 of
// a TDIB of up to 8 bits, the 2^depth of a palette TBitmap, none otherwise.
int PaletteEntryCount(const TGraphic* Graphic) {
    if (const auto* dib = dynamic_cast<const TDIB*>(Graphic))
        return dib->BitCount() <= 8 && !dib->Empty() ? 256 : 0;
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(Graphic)) {
        const int bits = bitmap->DIB().BitCount();
        return bits >= 1 && bits <= 8 ? 1 << bits : 0;
    }
    return 0;
}

} // namespace

// [SECTION] TPictureCollectionItem

TPictureCollectionItem::TPictureCollectionItem(TPictureCollection* Collection)
    : THashCollectionItem(Collection), FPicture(std::make_unique<TPicture>()), FSerial(NextSerial()) {}

TPictureCollectionItem::~TPictureCollectionItem() {
    Finalize();
}

TPictureCollection* TPictureCollectionItem::PictureCollection() const {
    return static_cast<TPictureCollection*>(Collection());
}

void TPictureCollectionItem::SetTransparentColor(uint32_t Color) {
    if (Color == FTransparentColor) return;
    FTransparentColor = Color;
    for (const auto& surface : FSurfaceList)
        surface->SetColorKey(surface->ColorMatch(Color));
}

int TPictureCollectionItem::Width() const {
    return PatternWidth > 0 ? PatternWidth : FPicture->Width();
}

int TPictureCollectionItem::Height() const {
    return PatternHeight > 0 ? PatternHeight : FPicture->Height();
}

std::string TPictureCollectionItem::NamePath() const {
    return PictureCollection()->Owner()->Name + ".Items[" + std::to_string(Index()) + "]";
}

void TPictureCollectionItem::Restore() {
    if (!FPicture->Graphic() || FPicture->Graphic()->Empty()) return;
    TPictureCollection* collection = PictureCollection();
    if (!FInitialized && collection->DXDraw()) Initialize(*collection->DXDraw());
    if (!FInitialized) return;
    ClearSurfaces();
    MakePatterns();
    TCustomDXDraw* display = collection->DXDraw();
    if (display->Options().Contains(do3D) && display->D2D()) display->D2D()->Textures().Clear();
}

void TPictureCollectionItem::Initialize(const TCustomDXDraw& Display) {
    Finalize();
    FInitialized = Display.Initialized();
}

void TPictureCollectionItem::Finalize() {
    ClearSurfaces();
    FInitialized = false;
}

void TPictureCollectionItem::Draw(TDirectDrawSurface* Dest, int X, int Y, int PatternIndex) {
    if (!Dest || !CanDraw(PatternIndex)) return;
    const TPictureCollectionItemPattern& p = FPatterns[size_t(PatternIndex)];
    Dest->Draw(X, Y, p.Rect, *p.Surface, Transparent);
}

void TPictureCollectionItem::StretchDraw(TDirectDrawSurface* Dest, const TRect& DestRect, int PatternIndex) {
    if (!Dest || !CanDraw(PatternIndex)) return;
    const TPictureCollectionItemPattern& p = FPatterns[size_t(PatternIndex)];
    if (DestRect.Empty() || p.Rect.Empty()) return;
    Dest->StretchDraw(DestRect, p.Rect, *p.Surface, Transparent);
}

// The three renderer operations are thin adapters: they describe the image
// to the display's renderer and hand it the back surface.
void TPictureCollectionItem::DrawAlpha(TDirectDrawSurface* Dest, const TRect& DestRect, int PatternIndex,
                                       int Alpha) {
    if (!CanDraw(PatternIndex)) return;
    D2DTarget target;
    if (TD2D* renderer = RendererFor(Dest, target))
        renderer->DrawAlpha(target, Sprite(PatternIndex), DestRect, Alpha);
}

void TPictureCollectionItem::DrawRotate(TDirectDrawSurface* Dest, int X, int Y, int Width, int Height,
                                        int PatternIndex, double CenterX, double CenterY, int Angle) {
    if (!CanDraw(PatternIndex)) return;
    D2DTarget target;
    if (TD2D* renderer = RendererFor(Dest, target))
        renderer->DrawRotate(target, Sprite(PatternIndex), X, Y, Width, Height, CenterX, CenterY, Angle);
}

void TPictureCollectionItem::DrawRotateAlpha(TDirectDrawSurface* Dest, int X, int Y, int Width, int Height,
                                             int PatternIndex, double CenterX, double CenterY, int Angle,
                                             int Alpha) {
    if (!CanDraw(PatternIndex)) return;
    D2DTarget target;
    if (TD2D* renderer = RendererFor(Dest, target))
        renderer->DrawRotateAlpha(target, Sprite(PatternIndex), X, Y, Width, Height, CenterX, CenterY, Angle,
                                  Alpha);
}

bool TPictureCollectionItem::CanDraw(int PatternIndex) const {
    return FInitialized && PatternIndex >= 0 && PatternIndex < PatternCount();
}

// The renderer draws only onto the back surface of a display with do3D, and
// only while it can use the 3D device there (the software path of displays
// without do3D is not built: the show never uses it). Target is filled in for
// it. An image needs a name to find its texture again: an unnamed one drawn by
// the renderer takes its place in its list as its name.
TD2D* TPictureCollectionItem::RendererFor(TDirectDrawSurface* Dest, D2DTarget& Target) {
    const TCustomDXDraw* display = PictureCollection()->Owner()->DXDraw();
    if (!display || !Dest || !display->D2D()) return nullptr;
    const TDXDrawOptions options = display->Options();
    if (!options.Contains(do3D) || Dest != display->Surface()) return nullptr;
    Target = {Dest, options.Contains(doDirectX7Mode) && options.Contains(doHardware)};
    if (Name().empty() && display->D2D()->CheckCanUseD2D(Target)) SetName(NamePath());
    return display->D2D();
}

// The image as the renderer draws it. With patterns set, the corners are the
// pattern's first and last texels (its right and bottom edges less one), as
// textures of pattern grids have always been read.
D2DSprite TPictureCollectionItem::Sprite(int PatternIndex) const {
    D2DSprite sprite{Name(), Serial(), FPicture.get(), Transparent, FTransparentColor, std::nullopt};
    if (PatternWidth != 0 || PatternHeight != 0) {
        const TRect& r = FPatterns[size_t(PatternIndex)].Rect;
        sprite.Corners = Rect(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
    }
    return sprite;
}

void TPictureCollectionItem::ClearSurfaces() {
    FPatterns.clear();
    FSurfaceList.clear();
}

// One surface holding the whole picture. The patterns are the whole picture,
// or a grid of Width x Height cells SkipWidth / SkipHeight apart.
void TPictureCollectionItem::MakePatterns() {
    const int pictureWidth = FPicture->Width(), pictureHeight = FPicture->Height();
    TDirectDrawSurface* surface = MakeSurface(Rect(0, 0, pictureWidth, pictureHeight));
    const int64_t w = Width(), h = Height();
    if (w == pictureWidth && h == pictureHeight) {
        FPatterns.push_back({Rect(0, 0, pictureWidth, pictureHeight), surface});
        return;
    }
    const int64_t stepX = w + SkipWidth, stepY = h + SkipHeight;
    if (stepX <= 0 || stepY <= 0) return;
    const int64_t columns = (pictureWidth + int64_t(SkipWidth)) / stepX;
    const int64_t rows = (pictureHeight + int64_t(SkipHeight)) / stepY;
    for (int64_t row = 0; row < rows; ++row)
        for (int64_t column = 0; column < columns; ++column)
            FPatterns.push_back(
                {Bounds(int32_t(column * stepX), int32_t(row * stepY), int32_t(w), int32_t(h)), surface});
}

// A surface in the display's format holding the Source rectangle of the
// picture, keyed with the transparent colour. When the platform refuses the
// surface it is asked for in system memory, and the wish is remembered.
TDirectDrawSurface* TPictureCollectionItem::MakeSurface(const TRect& Source) {
    const PixelFormat format = PictureCollection()->DXDraw()->Surface()->Format();
    auto surface = std::make_unique<TDirectDrawSurface>();
    const int width = int(Source.Width()), height = int(Source.Height());
    if (!surface->CreateSurface(width, height, format, SystemMemory)) {
        SystemMemory = true;
        if (!surface->CreateSurface(width, height, format, true))
            throw EDirectDrawSurfaceError(Format("%s cannot be made", "Surface"));
    }
    DrawPicture(*surface, Source);
    surface->SetColorKey(surface->ColorMatch(FTransparentColor));
    FSurfaceList.push_back(std::move(surface));
    return FSurfaceList.back().get();
}

// Draws the picture with Source's top-left corner at the surface's origin.
void TPictureCollectionItem::DrawPicture(TDirectDrawSurface& Surface, const TRect& Source) {
    TDirectDrawSurfaceCanvas& canvas = Surface.Canvas();
    const TGraphic* graphic = FPicture->Graphic();
    graphic->Draw(canvas, Bounds(-Source.Left, -Source.Top, graphic->Width(), graphic->Height()));
    canvas.Release();
}

// [SECTION] TPictureCollection

void TPictureCollection::InitializeImages(TCustomDXDraw* DXDraw) {
    FinalizeImages();
    FDXDraw = DXDraw;
    if (!FDXDraw || !FDXDraw->Initialized())
        throw EPictureCollectionError(Format("%s cannot be initialized", ClassName().c_str()));
    for (int i = 0; i < Count(); ++i)
        Items(i)->Initialize(*FDXDraw);
}

void TPictureCollection::Finalize() {
    FinalizeImages();
    FDXDraw = nullptr;
}

void TPictureCollection::Restore() {
    for (int i = 0; i < Count(); ++i)
        Items(i)->Restore();
}

void TPictureCollection::MakeColorTable() {
    ColorTableBuilder table(ColorTable);
    for (const FixedColor& c : kFixedColors)
        table.Put(c.Index, TRGBQuad{c.Blue, c.Green, c.Red, 0});
    for (int i = 0; i < Count() && !table.Full(); ++i) {
        const TGraphic* graphic = Items(i)->Picture().Graphic();
        const int entries = PaletteEntryCount(graphic);
        for (int k = 0; k < entries; ++k)
            table.Add(PaletteOf(graphic)[size_t(k)]);
    }
}

void TPictureCollection::FinalizeImages() {
    for (int i = 0; i < Count(); ++i)
        Items(i)->Finalize();
}

// [SECTION] TCustomDXImageList

TCustomDXImageList::TCustomDXImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomDXImageList::~TCustomDXImageList() {
    SetDXDraw(nullptr);
}

void TCustomDXImageList::SetDXDraw(TCustomDXDraw* Value) {
    if (FDXDraw) FDXDraw->UnregisterListener(this);
    FDXDraw = Value;
    if (FDXDraw)
        FDXDraw->RegisterListener(
            [this](TCustomDXDraw* Sender, TDXDrawNotifyType T) { DXDrawNotify(Sender, T); }, this);
}

void TCustomDXImageList::DXDrawNotify(TCustomDXDraw* Sender, TDXDrawNotifyType NotifyType) {
    switch (NotifyType) {
    case dnDestroying:
        SetDXDraw(nullptr);
        break;
    case dnInitialize:
        FItems.InitializeImages(Sender);
        break;
    case dnFinalize:
        FItems.Finalize();
        break;
    case dnRestore:
        FItems.Restore();
        break;
    default:
        break;
    }
}
