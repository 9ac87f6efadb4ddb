// The display's 2D renderer (TD2D): draws images blended, scaled and rotated
// as textured quadrilaterals through the software rasterizer that stands in
// for the 3D device. It keeps a cache of the textures made from images
// (TD2DTextures). The display makes one renderer at construction and at the
// end of every successful initialization, and drops it on every finalization;
// the renderer draws only between BeginScene and EndScene.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rasterizer.h"
#include "platform/rect.h"

class TCustomDXDraw;
class TPictureCollectionItem;

// One cached texture: the texture, its coordinates (the part the picture fills)
// and the name of the image it was made from.
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
    const TTextureRec* Find(const std::string& Name, uint64_t ImageSerial) const;
    // Adds an entry (freeing all first when there are more than kMaxCount).
    const TTextureRec& Add(TTextureRec Texture);
    // Frees every texture.
    void Clear() { FTextures.clear(); }

private:
    std::vector<TTextureRec> FTextures;
};

class TD2D {
public:
    // A renderer for the display DXDraw (which owns it).
    explicit TD2D(TCustomDXDraw* DXDraw);
    TD2D(const TD2D&) = delete;
    TD2D& operator=(const TD2D&) = delete;

    TCustomDXDraw* DXDraw() const { return FDXDraw; }
    TD2DTextures& Textures() { return FTextures; }

    // A frame's drawing begins (the display then clears its back surface).
    void BeginScene() { FInScene = true; }
    // The frame's drawing is over.
    void EndScene() { FInScene = false; }
    // True between BeginScene and EndScene.
    bool InScene() const { return FInScene; }

    // The renderer operations. The caller has checked that Image is initialized
    // and PatternIndex is one of its patterns; each draws nothing unless
    // do3D, doDirectX7Mode and doHardware are in the display's options and its
    // back surface has 16 or 32 bits per pixel.
    //
    // Draws the pattern stretched over DestRect, blended with Alpha (its low 8 bits).
    void DrawAlpha(TPictureCollectionItem& Image, const TRect& DestRect, int PatternIndex, int Alpha);
    // Draws the pattern at Width x Height, its point (CenterX, CenterY) (fractions
    // of the size) at (X, Y), turned about it by Angle 256ths of a turn
    // clockwise, opaque and modulated by 254/255.
    void DrawRotate(TPictureCollectionItem& Image, int X, int Y, int Width, int Height, int PatternIndex,
                    double CenterX, double CenterY, int Angle);
    // As DrawRotate, blended with Alpha (its low 8 bits).
    void DrawRotateAlpha(TPictureCollectionItem& Image, int X, int Y, int Width, int Height, int PatternIndex,
                         double CenterX, double CenterY, int Angle, int Alpha);

private:
    bool CheckCanUseD2D();
    void SetCanUseD2D(bool Value);
    void SelectTexture(TPictureCollectionItem& Image, int PatternIndex);
    const TTextureRec* MakeTexture(TPictureCollectionItem& Image);
    void SetRotatedPositions(int X, int Y, int Width, int Height, double CenterX, double CenterY, int Angle);
    void SetColors(uint32_t Diffuse);
    void DrawQuad();

    TCustomDXDraw* FDXDraw;
    bool FCanUseD2D = false;
    TransformedVertex FVertices[4];
    int FBitCount = 0;
    TD2DTextures FTextures;
    RasterState FState; // the device's stage-0 texture and blend state
    bool FInScene = false;
};
