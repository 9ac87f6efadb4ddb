// The pictures of the default assets and the form's stored pictures, each
// drawn from scratch in code. Sizes are fixed here; the show scales sprites
// to its own sizes, so each sprite is drawn in the proportions it is shown in.
#pragma once

#include "painter.h"
#include "picture.h"

constexpr int kBackgroundWidth = 800;
constexpr int kBackgroundHeight = 600;

// Opaque backgrounds, 800 x 600, horizon near y 260.
Picture MakeNightSky();
Picture MakeDaySky();

// Sprites on pure white: boat 128 x 128 (shown 60 x 52 and larger), star
// 32 x 32, moon 64 x 128 (shown 50 x 73), sun 256 x 256 (shown 250 x 250).
Picture MakeBoat();
// The boat as MakeBoat draws it, onto Canvas: its design (120 x 104 units, the
// keel's lowest point at kBoatKeel) placed at Origin and scaled by Scale.
constexpr Point kBoatKeel{60, 99.2};
void PaintBoat(Painter& Canvas, Point Origin, double Scale);
Picture MakeStar();
Picture MakeMoon();
Picture MakeSun();

// The program's icon, Size x Size pixels with transparent corners.
RgbaPicture MakeIcon(int Size);

// The caption cloud, 300 x 157, and the blank 40 x 40 glyph template.
Picture MakeCloud();
Picture MakeGlyphTemplate();
