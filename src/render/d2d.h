// The display's 2D renderer (TD2D): draws the blended and rotated sprites
// through the software rasterizer. The display makes one at the end of every
// successful initialization and drops it on every finalization; each frame's
// renderer drawing happens between its BeginScene and EndScene.
#pragma once

class TCustomDXDraw;

class TD2D {
public:
    // A renderer for the display DXDraw (which owns it).
    explicit TD2D(TCustomDXDraw* DXDraw) : FDXDraw(DXDraw) {}
    TD2D(const TD2D&) = delete;
    TD2D& operator=(const TD2D&) = delete;

    TCustomDXDraw* DXDraw() const { return FDXDraw; }

    // A frame's drawing begins (the display then clears its back surface).
    void BeginScene();
    // The frame's drawing is over.
    void EndScene();
    // True between BeginScene and EndScene.
    bool InScene() const { return FInScene; }

private:
    TCustomDXDraw* FDXDraw;
    bool FInScene = false;
};
