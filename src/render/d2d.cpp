#include "render/d2d.h"

#include <cmath>
#include <numbers>

#include "core/numeric.h"
#include "render/dib.h"
#include "render/dx_draw.h"
#include "render/image_list.h"
#include "render/picture.h"

namespace {

constexpr double kPi = std::numbers::pi;

// The smallest power of two, at least 2, that is not smaller than Size.
int TextureSide(int Size) {
    int side = 2;
    while (side < Size && side < (1 << 30))
        side *= 2;
    return side;
}

// The picture of Image in a 24-bit bitmap whose sides are powers of two: black,
// with the picture at its top-left corner.
std::unique_ptr<TDIB> TexturePicture(TPictureCollectionItem& Image) {
    TDIB picture;
    picture.Assign(&Image.Picture());
    auto texture = std::make_unique<TDIB>();
    texture->SetSize(TextureSide(picture.Width()), TextureSide(picture.Height()), 24);
    Canvas& canvas = texture->Canvas();
    canvas.Brush = TBrush{0, bsSolid};
    canvas.FillRect(Rect(0, 0, texture->Width(), texture->Height()));
    picture.Draw(canvas, Rect(0, 0, picture.Width(), picture.Height()));
    return texture;
}

// The direction of (Dx, Dy) in [0, 2 pi), found quadrant by quadrant.
double Direction(int64_t Dx, int64_t Dy) {
    const double x = double(Dx), y = double(Dy);
    if (Dx == 0 && Dy == 0) return 0;
    if (Dx == 0) return Dy > 0 ? kPi / 2 : 3 * kPi / 2;
    if (Dy == 0) return Dx > 0 ? 0 : kPi;
    if (Dx > 0 && Dy > 0) return std::atan(std::abs(y / x));
    if (Dx < 0 && Dy > 0) return kPi / 2 + std::atan(std::abs(x / y));
    if (Dx < 0 && Dy < 0) return kPi + std::atan(std::abs(y / x));
    return 3 * kPi / 2 + std::atan(std::abs(x / y));
}

// Corner (Px, Py) turned by Theta about (X, Y), rounded to whole pixels (ties to even).
void TurnCorner(int64_t Px, int64_t Py, int64_t X, int64_t Y, double Theta, int64_t& OutX, int64_t& OutY) {
    const int64_t dx = Px - X, dy = Py - Y;
    const double r = std::sqrt(double(dx) * double(dx) + double(dy) * double(dy));
    const double phi = Direction(dx, dy);
    OutX = Round(r * std::cos(phi + Theta) + double(X));
    OutY = Round(r * std::sin(phi + Theta) + double(Y));
}

// The diffuse colour of all four vertices: white, or the given grey, with an alpha.
constexpr uint32_t VertexColor(uint32_t Grey, int Alpha) {
    return (uint32_t(Alpha) & 255) << 24 | Grey << 16 | Grey << 8 | Grey;
}

} // namespace

// [SECTION] TD2DTextures

const TTextureRec* TD2DTextures::Find(const std::string& Name, uint64_t ImageSerial) const {
    for (const TTextureRec& t : FTextures)
        if (t.ImageSerial == ImageSerial && t.Name == Name) return &t;
    return nullptr;
}

const TTextureRec& TD2DTextures::Add(TTextureRec Texture) {
    if (Count() > kMaxCount) Clear();
    FTextures.push_back(std::move(Texture));
    return FTextures.back();
}

// [SECTION] TD2D

TD2D::TD2D(TCustomDXDraw* DXDraw) : FDXDraw(DXDraw) {}

void TD2D::DrawAlpha(TPictureCollectionItem& Image, const TRect& DestRect, int PatternIndex, int Alpha) {
    if (!CheckCanUseD2D()) return;
    SelectTexture(Image, PatternIndex);
    FState.AlphaBlend = true;
    SetColors(VertexColor(255, Alpha));
    // Corners half a pixel up and left: pixel centres sit at whole coordinates,
    // so the quad covers exactly the pixels of DestRect.
    const float left = float(DestRect.Left) - 0.5f, top = float(DestRect.Top) - 0.5f;
    const float right = float(DestRect.Right) - 0.5f, bottom = float(DestRect.Bottom) - 0.5f;
    const float xs[4] = {left, right, left, right}, ys[4] = {top, top, bottom, bottom};
    for (int i = 0; i < 4; ++i) {
        FVertices[i].X = xs[i];
        FVertices[i].Y = ys[i];
    }
    DrawQuad();
}

void TD2D::DrawRotate(TPictureCollectionItem& Image, int X, int Y, int Width, int Height, int PatternIndex,
                      double CenterX, double CenterY, int Angle) {
    if (!CheckCanUseD2D()) return;
    SelectTexture(Image, PatternIndex);
    FState.AlphaBlend = false;
    // 254 is 255 * 255 / 256 rounded: the image is drawn a shade darker.
    SetColors(VertexColor(254, 255));
    SetRotatedPositions(X, Y, Width, Height, CenterX, CenterY, Angle);
    DrawQuad();
}

void TD2D::DrawRotateAlpha(TPictureCollectionItem& Image, int X, int Y, int Width, int Height,
                           int PatternIndex, double CenterX, double CenterY, int Angle, int Alpha) {
    if (!CheckCanUseD2D()) return;
    SelectTexture(Image, PatternIndex);
    FState.AlphaBlend = true;
    SetColors(VertexColor(255, Alpha));
    SetRotatedPositions(X, Y, Width, Height, CenterX, CenterY, Angle);
    DrawQuad();
}

// The renderer works only when the display asks for the 3D device (do3D,
// doDirectX7Mode, doHardware) and its back surface has 16 or 32 bits per pixel.
bool TD2D::CheckCanUseD2D() {
    const TDXDrawOptions options = FDXDraw->Options();
    SetCanUseD2D(options.Contains(do3D) && options.Contains(doDirectX7Mode) && options.Contains(doHardware));
    const TDirectDrawSurface* surface = FDXDraw->Surface();
    FBitCount = surface ? surface->BitCount() : 0;
    if (FBitCount != 16 && FBitCount != 32) FCanUseD2D = false;
    return FCanUseD2D;
}

// Turning the renderer on starts an empty texture cache; turning it off frees it.
// (Filtering is always linear: the rasterizer samples bilinearly.)
void TD2D::SetCanUseD2D(bool Value) {
    if (FCanUseD2D == Value) return;
    FCanUseD2D = Value;
    FTextures.Clear();
}

// Binds the image's texture (made on first use) and gives the vertices its
// coordinates: the whole picture, or the pattern's rectangle when patterns are set.
void TD2D::SelectTexture(TPictureCollectionItem& Image, int PatternIndex) {
    FState.Texture = nullptr;
    const TTextureRec* texture = FTextures.Find(Image.Name(), Image.Serial());
    if (!texture) texture = MakeTexture(Image);
    if (!texture) return;
    FState.Texture = texture->D3DTexture.get();
    double left = texture->LeftU, top = texture->TopV, right = texture->RightU, bottom = texture->BottomV;
    if (Image.PatternWidth != 0 || Image.PatternHeight != 0) {
        const TRect& r = Image.Patterns(PatternIndex).Rect;
        const double w = FState.Texture->Width(), h = FState.Texture->Height();
        left = r.Left / w;
        top = r.Top / h;
        right = (r.Right - 1) / w;
        bottom = (r.Bottom - 1) / h;
    }
    const double us[4] = {left, right, left, right}, vs[4] = {top, top, bottom, bottom};
    for (int i = 0; i < 4; ++i) {
        FVertices[i].U = float(us[i]);
        FVertices[i].V = float(vs[i]);
    }
}

// Makes and caches the texture of Image: its picture in a black power-of-two
// bitmap, keyed with its transparent colour when it is transparent. An unnamed
// image is first named after its place in its list. Nullptr when the texture
// cannot be made: the image is then drawn untextured.
const TTextureRec* TD2D::MakeTexture(TPictureCollectionItem& Image) {
    if (Image.Name().empty()) Image.SetName(Image.NamePath());
    const int width = Image.Picture().Width(), height = Image.Picture().Height();
    // Too large for a texture: refused before any pixels are copied.
    if (TextureSide(width) > RasterTexture::kMaxSide || TextureSide(height) > RasterTexture::kMaxSide)
        return nullptr;
    try {
        const std::unique_ptr<TDIB> texturePicture = TexturePicture(Image);
        // A 16-bit device holds textures in 5-6-5, so the key is compared at that precision.
        const PixelFormat precision = FBitCount == 16 ? PixelFormat::Rgb565 : PixelFormat::Bgrx32;
        TTextureRec rec;
        rec.D3DTexture = std::make_unique<RasterTexture>(
            texturePicture->View(), ColorKey{Image.Transparent, Image.TransparentColor(), precision});
        rec.RightU = double(width) / texturePicture->Width();
        rec.BottomV = double(height) / texturePicture->Height();
        rec.Name = Image.Name();
        rec.ImageSerial = Image.Serial();
        return &FTextures.Add(std::move(rec));
    } catch (const std::exception&) {
        return nullptr;
    }
}

// Places the corners of a Width x Height image whose point (CenterX, CenterY)
// sits at (X, Y), turned about that point by Angle 256ths of a turn.
void TD2D::SetRotatedPositions(int X, int Y, int Width, int Height, double CenterX, double CenterY,
                               int Angle) {
    // The offsets are whole numbers (rounded to even on ties) kept as 32-bit integers.
    const int64_t ox = std::abs(int64_t(RoundInt32(Width * CenterX)));
    const int64_t oy = std::abs(int64_t(RoundInt32(Height * CenterY)));
    const int64_t cornersX[4] = {X - ox, X + int64_t(Width) - ox, X - ox, X + int64_t(Width) - ox};
    const int64_t cornersY[4] = {Y - oy, Y - oy, Y + int64_t(Height) - oy, Y + int64_t(Height) - oy};
    const double theta = (Angle & 255) * kPi / 128;
    for (int i = 0; i < 4; ++i) {
        int64_t x, y;
        TurnCorner(cornersX[i], cornersY[i], X, Y, theta, x, y);
        // Half a pixel up and left, so that corners fall between pixel centres.
        FVertices[i].X = float(double(x) - 0.5);
        FVertices[i].Y = float(double(y) - 0.5);
    }
}

void TD2D::SetColors(uint32_t Diffuse) {
    for (TransformedVertex& v : FVertices)
        v.Diffuse = Diffuse;
}

// One strip of four vertices into the back surface, inside a scene only.
void TD2D::DrawQuad() {
    TDirectDrawSurface* surface = FDXDraw->Surface();
    if (!FInScene || !surface || surface->IsLost()) return;
    DrawTriangleStrip(surface->View(), FState, FVertices);
}
