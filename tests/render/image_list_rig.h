// A headless display initialized the way the show's is, with one image list
// bound to it, and small helpers to make pictures and read the back surface.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/presenter_headless.h"
#include "render/dib.h"
#include "render/direct_draw_surface.h"
#include "render/image_list.h"
#include "render/picture.h"
#include "show_display.h"

// A 24-bit picture whose pixel (x, y) is Color(x, y) ($00BBGGRR).
inline std::unique_ptr<TDIB> MakePicture(int Width, int Height,
                                         const std::function<uint32_t(int, int)>& Color) {
    auto dib = std::make_unique<TDIB>();
    dib->SetSize(Width, Height, 24);
    for (int y = 0; y < Height; ++y) {
        uint8_t* row = dib->ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            const uint32_t c = Color(x, y);
            row[3 * x] = BlueOf(c);
            row[3 * x + 1] = GreenOf(c);
            row[3 * x + 2] = RedOf(c);
        }
    }
    return dib;
}

// A colour that tells where it came from: red x * 5, green y * 5, blue 77.
inline uint32_t Coded(int X, int Y) {
    return RGB(uint8_t(X * 5), uint8_t(Y * 5), 77);
}

class RigForm : public DisplayForm {
public:
    bool FormActive() const override { return true; }
};

struct ImageListRig {
    // The show's display at 800 x 600; BitCount picks the only mode offered, so
    // 24 makes the back surface a 24-bit substitute. The scene is begun: the
    // back surface is black and the renderer draws.
    explicit ImageListRig(int BitCount = 16) : Modes({{800, 600, BitCount}}) {
        Screen.Open("rig");
        ConfigureAsShowDisplay(DS, Form);
        List.Name = "ImageList";
        List.SetDXDraw(&DS);
        DS.Loaded();
        DS.FormShown();
        DS.BeginScene();
    }

    // A new image of List holding Picture (shared), keyed or not with Key, restored.
    TPictureCollectionItem* Add(const TDIB& Picture, bool Transparent = true, uint32_t Key = 0xFFFFFF,
                                const std::string& Name = "") {
        auto* item = new TPictureCollectionItem(&List.Items());
        item->SetName(Name);
        item->Picture().SetGraphic(&Picture);
        item->Transparent = Transparent;
        item->SetTransparentColor(Key);
        item->Restore();
        return item;
    }

    TDirectDrawSurface* Back() const { return DS.Surface(); }
    // The colour of the back surface's pixel (x, y).
    uint32_t Pixel(int X, int Y) const { return UnpackColor(Back()->Format(), Back()->View().Read(X, Y)); }
    // The colour a picture colour shows as on the back surface.
    uint32_t Shown(uint32_t Color) const {
        return UnpackColor(Back()->Format(), PackColor(Back()->Format(), Color));
    }

    HeadlessPresenter Screen;
    ListedDisplayModes Modes;
    RigForm Form;
    TDXDraw DS{nullptr, Screen, Modes};
    TDXImageList List{nullptr};
};
