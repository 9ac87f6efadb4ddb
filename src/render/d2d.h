// The display's 2D renderer (TD2D): draws sprites blended, scaled and rotated
// as textured quadrilaterals through the software rasterizer that stands in
// for the 3D device, and keeps a cache of the textures made from their
// pictures (TD2DTextures). It knows nothing of displays or image lists: each
// call is handed the target surface and a sprite description (D2DSprite) by
// its caller, the image list. It draws only between BeginScene and EndScene.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rasterizer.h"
#include "platform/rect.h"

class TDirectDrawSurface;
class TPicture;

// One cached texture: the texture, its coordinates (the part of it the whole
// picture fills, which a sprite of the whole picture is drawn with) and the
// name of the image it was made from.
struct TTextureRec {
    std::unique_ptr<RasterTexture> D3DTexture;
    double LeftU = 0, TopV = 0, RightU = 0, BottomV = 0;
    std::string Name;
    uint64_t ImageSerial = 0; // the image it was made from, so equal names never share
};

// The texture cache, searched linearly by name.
class TD2DTextures {
public:
    // More entries than this and the next new texture frees them all first.
    static constexpr int kMaxCount = 2048;

    int Count() const { return static_cast<int>(FTextures.size()); }
    const TTextureRec& Texture(int Index) const { return FTextures.at(size_t(Index)); }
    // The entry made from the image with this serial under exactly this name, or nullptr.
    const TTextureRec* Find(std::string_view Name, uint64_t ImageSerial) const;
    // Adds an entry (freeing all first when there are more than kMaxCount).
    const TTextureRec& Add(TTextureRec Texture);
    // Frees every texture.
    void Clear() { FTextures.clear(); }

private:
    std::vector<TTextureRec> FTextures;
};

// What the renderer draws: a picture, known by the name and serial of the
// image that holds it, its colour key, and the part of it to draw: the whole
// picture, or Corners, the texture coordinates of a part's corners in texels
// of the picture (the renderer divides them by the texture's sides).
struct D2DSprite {
    std::string_view Name; // the texture's name in the cache
    uint64_t Serial = 0;   // the image's serial: images with equal names keep their own textures
    const TPicture* Picture = nullptr;
    bool Transparent = false;
    uint32_t TransparentColor = 0; // $00BBGGRR
    std::optional<TRect> Corners;  // none: the whole picture
};

// Where the renderer draws: the display's back surface, and whether the
// display asks for the 3D device (do3D, doDirectX7Mode and doHardware are all
// in its options).
struct D2DTarget {
    TDirectDrawSurface* Surface = nullptr;
    bool Use3D = false;
};

class TD2D {
public:
    TD2D() = default;
    TD2D(const TD2D&) = delete;
    TD2D& operator=(const TD2D&) = delete;

    TD2DTextures& Textures() { return FTextures; }

    // A frame's drawing begins (the display then clears its back surface);
    // the rasterizer's helper thread stands by for the scene's big drawings.
    void BeginScene();
    // The frame's drawing is over.
    void EndScene();
    // True between BeginScene and EndScene.
    bool InScene() const { return FInScene; }

    // True when the renderer can draw into Target: it asks for the 3D device
    // and its surface has 16 or 32 bits per pixel. The texture cache starts
    // empty when the 3D device is first asked for and is freed when it is not.
    bool CheckCanUseD2D(const D2DTarget& Target);

    // The renderer operations. Each draws nothing unless CheckCanUseD2D; a
    // sprite whose texture cannot be made is drawn as a plain quad.
    //
    // Draws the sprite stretched over DestRect, blended with Alpha (its low 8 bits).
    void DrawAlpha(const D2DTarget& Target, const D2DSprite& Sprite, const TRect& DestRect, int Alpha);
    // Draws the sprite at Width x Height, its point (CenterX, CenterY) (fractions
    // of the size) at (X, Y), turned about it by Angle 256ths of a turn
    // clockwise, opaque and modulated by 254/255.
    void DrawRotate(const D2DTarget& Target, const D2DSprite& Sprite, int X, int Y, int Width, int Height,
                    double CenterX, double CenterY, int Angle);
    // As DrawRotate, blended with Alpha (its low 8 bits).
    void DrawRotateAlpha(const D2DTarget& Target, const D2DSprite& Sprite, int X, int Y, int Width,
                         int Height, double CenterX, double CenterY, int Angle, int Alpha);

private:
    void SetCanUseD2D(bool Value);
    void SelectTexture(const D2DSprite& Sprite);
    const TTextureRec* MakeTexture(const D2DSprite& Sprite);
    void SetRotatedPositions(int X, int Y, int Width, int Height, double CenterX, double CenterY, int Angle);
    void SetColors(uint32_t Diffuse);
    void DrawQuad(const D2DTarget& Target);

    bool FCanUseD2D = false;
    TransformedVertex FVertices[4];
    int FBitCount = 0;
    TD2DTextures FTextures;
    RasterState FState; // the device's stage-0 texture and blend state
    bool FInScene = false;
};
