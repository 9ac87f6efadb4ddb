// Pictures a host brings, made to suit the show whatever their size: the
// backgrounds are scaled and cropped to cover the 800 x 340 the dawn blends,
// and sprites too large for the renderer's textures are scaled down on load.
// The built-in pictures (800 x 600 backgrounds, small sprites) pass unchanged.
#pragma once

#include <string>

#include "render/bitmap.h"

class TPicture;

inline constexpr int kCoverWidth = 800;          // a background covers this width ...
inline constexpr int kCoverHeight = 340;         // ... and this height, the blended band
inline constexpr int kMaxBackgroundHeight = 600; // the screen's height: more is never seen
// The largest side of a sprite: the sun, drawn at 250 x 250, is the largest
// sprite, and a texture of this side stays far below the renderer's limit.
inline constexpr int kMaxSpriteSide = 512;

struct PictureSize {
    int Width = 0;
    int Height = 0;
};

// The size a Width x Height background is scaled to: by max(800 / Width,
// 340 / Height), the least scale that covers 800 x 340 (so 1, no scaling, for a
// picture exactly 800 wide and at least 340 high, or exactly 340 high and at
// least 800 wide).
PictureSize CoverSize(int Width, int Height);

// Scales Bitmap to CoverSize and crops it centred to 800 wide and at most 600
// high. A background already 800 wide and 340 to 600 high stays exactly as it
// is. True when Bitmap was changed.
bool FitBackground(TBitmap& Bitmap);

// Scales a sprite with a side over kMaxSpriteSide down to fit that square,
// keeping its shape; white, the transparent colour, stays pure white where it
// covers most of a new pixel and never tints the picture's own colours. True
// when Bitmap was changed.
bool BoundSprite(TBitmap& Bitmap);

// Loads FileName into Picture as the scene shows it: a background fitted, a
// sprite bounded, always held as a TBitmap. Raises the picture loader's
// errors, which name the file.
void LoadScenePicture(TPicture& Picture, const std::string& FileName, bool Background);
