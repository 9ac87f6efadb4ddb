#include "render/d2d.h"

#include <cmath>
#include <numbers>

#include "core/exception.h"
#include "core/numeric.h"
#include "platform/row_sharing.h"
#include "render/dib.h"
#include "render/direct_draw_surface.h"
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

// Picture in a 24-bit bitmap whose sides are powers of two: black, with the
// picture at its top-left corner.
std::unique_ptr<TDIB> TexturePicture(const TPicture& Picture) {
    TDIB picture;
    picture.Assign(&Picture);
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

const TTextureRec* TD2DTextures::Find(std::string_view Name, uint64_t ImageSerial) const {
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

void TD2D::DrawAlpha(const D2DTarget& Target, const D2DSprite& Sprite, const TRect& DestRect, int Alpha) {
    if (!CheckCanUseD2D(Target)) return;
    SelectTexture(Sprite);
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
    DrawQuad(Target);
}

void TD2D::DrawRotate(const D2DTarget& Target, const D2DSprite& Sprite, int X, int Y, int Width, int Height,
                      double CenterX, double CenterY, int Angle) {
    if (!CheckCanUseD2D(Target)) return;
    SelectTexture(Sprite);
    FState.AlphaBlend = false;
    // 254 is 255 * 255 / 256 rounded: the image is drawn a shade darker.
    SetColors(VertexColor(254, 255));
    SetRotatedPositions(X, Y, Width, Height, CenterX, CenterY, Angle);
    DrawQuad(Target);
}

void TD2D::DrawRotateAlpha(const D2DTarget& Target, const D2DSprite& Sprite, int X, int Y, int Width,
                           int Height, double CenterX, double CenterY, int Angle, int Alpha) {
    if (!CheckCanUseD2D(Target)) return;
    SelectTexture(Sprite);
    FState.AlphaBlend = true;
    SetColors(VertexColor(255, Alpha));
    SetRotatedPositions(X, Y, Width, Height, CenterX, CenterY, Angle);
    DrawQuad(Target);
}

void TD2D::BeginScene() {
    FInScene = true;
    KeepRowHelperAwake(true);
}

void TD2D::EndScene() {
    FInScene = false;
    KeepRowHelperAwake(false);
}

bool TD2D::CheckCanUseD2D(const D2DTarget& Target) {
    SetCanUseD2D(Target.Use3D);
    FBitCount = Target.Surface ? Target.Surface->BitCount() : 0;
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

// Binds the sprite's texture (made on first use) and gives the vertices its
// coordinates: the whole picture's, or those of the sprite's corners.
void TD2D::SelectTexture(const D2DSprite& Sprite) {
    FState.Texture = nullptr;
    const TTextureRec* texture = FTextures.Find(Sprite.Name, Sprite.Serial);
    if (!texture) texture = MakeTexture(Sprite);
    if (!texture) return;
    FState.Texture = texture->D3DTexture.get();
    double left = texture->LeftU, top = texture->TopV, right = texture->RightU, bottom = texture->BottomV;
    if (Sprite.Corners) {
        const TRect& r = *Sprite.Corners;
        const double w = FState.Texture->Width(), h = FState.Texture->Height();
        left = r.Left / w;
        top = r.Top / h;
        right = r.Right / w;
        bottom = r.Bottom / h;
    }
    const double us[4] = {left, right, left, right}, vs[4] = {top, top, bottom, bottom};
    for (int i = 0; i < 4; ++i) {
        FVertices[i].U = float(us[i]);
        FVertices[i].V = float(vs[i]);
    }
}

// Makes and caches the texture of a sprite: its picture in a black
// power-of-two bitmap, keyed with its transparent colour when it is
// transparent. Nullptr when the platform refuses the bitmap or the texture
// (EOutOfResources): the sprite is then drawn untextured. Other failures are
// not the renderer's to hide and go on to the caller.
const TTextureRec* TD2D::MakeTexture(const D2DSprite& Sprite) {
    const TPicture& picture = *Sprite.Picture;
    const int width = picture.Width(), height = picture.Height();
    // Too large for a texture: refused before any pixels are copied.
    if (TextureSide(width) > RasterTexture::kMaxSide || TextureSide(height) > RasterTexture::kMaxSide)
        return nullptr;
    try {
        const std::unique_ptr<TDIB> texturePicture = TexturePicture(picture);
        // A 16-bit device holds textures in 5-6-5, so the key is compared at that precision.
        const PixelFormat precision = FBitCount == 16 ? PixelFormat::Rgb565 : PixelFormat::Bgrx32;
        TTextureRec rec;
        rec.D3DTexture = std::make_unique<RasterTexture>(
            texturePicture->View(), ColorKey{Sprite.Transparent, Sprite.TransparentColor, precision});
        rec.RightU = double(width) / texturePicture->Width();
        rec.BottomV = double(height) / texturePicture->Height();
        rec.Name = Sprite.Name;
        rec.ImageSerial = Sprite.Serial;
        return &FTextures.Add(std::move(rec));
    } catch (const EOutOfResources&) {
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

// One strip of four vertices into the target surface, inside a scene only.
void TD2D::DrawQuad(const D2DTarget& Target) {
    const TDirectDrawSurface* surface = Target.Surface;
    if (!FInScene || !surface || surface->IsLost()) return;
    DrawTriangleStrip(surface->View(), FState, FVertices);
}
