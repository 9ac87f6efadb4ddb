// Image lists (TDXImageList): named, indexed collections of images
// (TPictureCollectionItem). An image holds a picture and, once its list's
// display is initialized, surfaces made from it in the display's pixel format,
// keyed with its transparent colour; it draws itself onto a surface plainly,
// stretched, blended and rotated. A list listens to its display to build,
// rebuild and free the surfaces of its images.
//
// Usage (the show's scene images):
//     auto* ImageList = new TDXImageList(form);
//     ImageList->SetDXDraw(DS);
//     auto* sun = new TPictureCollectionItem(&ImageList->Items()); // owned by the list
//     sun->SetName("sun");
//     sun->Picture().LoadFromFile(GraphPath + "sun.bmp");
//     sun->SystemMemory = true;
//     sun->SetTransparentColor(0xFFFFFF);
//     sun->Restore();                         // surfaces now, or when DS initializes
//     TPictureCollection& items = ImageList->Items();
//     TPictureCollectionItem* shown = items.Items(items.Find("sun"));
//     shown->DrawRotateAlpha(DS->Surface(), 350, y, 250, 250, 0, 0.5, 0.5, angle, 210);
//     delete sun;                             // Free: leaves the list
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/object.h"
#include "platform/rect.h"
#include "render/bmp_format.h"
#include "render/dx_draw.h"
#include "render/hash_collection.h"

class TD2D;
class TDirectDrawSurface;
class TPicture;
class TPictureCollection;
class TCustomDXImageList;
struct D2DSprite;
struct D2DTarget;

// "%s cannot be initialized": a collection initialized for a display that is not.
FUIFJE_EXCEPTION(EPictureCollectionError, Exception);

// One drawable part of an image: a source rectangle and the surface holding it.
struct TPictureCollectionItemPattern {
    TRect Rect;
    TDirectDrawSurface* Surface = nullptr;
};

class TPictureCollectionItem : public THashCollectionItem {
public:
    // Appends a new image to Collection: no picture yet, not initialized,
    // transparent with black as its transparent colour.
    explicit TPictureCollectionItem(TPictureCollection* Collection);
    // Takes the image out of its collection and frees its surfaces, patterns and picture.
    ~TPictureCollectionItem() override;
    std::string ClassName() const override { return "TPictureCollectionItem"; }

    TPictureCollection* PictureCollection() const;
    // The owned picture (its graphic is set or loaded by the caller).
    TPicture& Picture() { return *FPicture; }
    // True once the image's collection is initialized for a display; only
    // initialized images draw.
    bool Initialized() const { return FInitialized; }
    // The pattern size (0: the whole picture) and the gaps between patterns.
    int32_t PatternWidth = 0;
    int32_t PatternHeight = 0;
    int32_t SkipWidth = 0;
    int32_t SkipHeight = 0;
    // Ask for surfaces in system memory (set when video memory fails).
    bool SystemMemory = false;
    // Skip the transparent colour when drawing.
    bool Transparent = true;
    // The transparent colour ($00BBGGRR).
    uint32_t TransparentColor() const { return FTransparentColor; }
    // Stores Color and keys every surface of the image with it, matched to the surface.
    void SetTransparentColor(uint32_t Color);
    // PatternWidth and PatternHeight when positive, else the picture's size.
    int Width() const;
    int Height() const;
    int PatternCount() const { return static_cast<int>(FPatterns.size()); }
    const TPictureCollectionItemPattern& Patterns(int Index) const { return FPatterns.at(size_t(Index)); }
    // "<list name>.Items[<index>]": the name the renderer gives an unnamed image.
    std::string NamePath() const;
    // A number no other image of this run carries.
    uint64_t Serial() const { return FSerial; }

    // Builds the image's surfaces and patterns from its picture (nothing
    // without a graphic or an initialized collection), then drops the
    // renderer's textures. Raises EDirectDrawSurfaceError "Surface cannot be made".
    void Restore();
    // Frees surfaces and patterns, then becomes initialized when Display is
    // (the collection does this for every image it initializes).
    void Initialize(const TCustomDXDraw& Display);
    // Frees surfaces and patterns and clears Initialized.
    void Finalize();

    // [SECTION] Drawing. Each draws nothing when the image is not initialized
    // or PatternIndex is not one of its patterns.
    //
    // Copies the pattern one to one with its top-left corner at (X, Y), clipped
    // to Dest; with Transparent, keyed pixels are skipped.
    void Draw(TDirectDrawSurface* Dest, int X, int Y, int PatternIndex);
    // Scales the pattern into DestRect (rows and columns repeated or dropped),
    // clipped to Dest; nothing for an empty rectangle.
    void StretchDraw(TDirectDrawSurface* Dest, const TRect& DestRect, int PatternIndex);
    // The renderer operations (TD2D): drawn only when the list's display has
    // do3D and Dest is its back surface.
    void DrawAlpha(TDirectDrawSurface* Dest, const TRect& DestRect, int PatternIndex, int Alpha);
    void DrawRotate(TDirectDrawSurface* Dest, int X, int Y, int Width, int Height, int PatternIndex,
                    double CenterX, double CenterY, int Angle);
    void DrawRotateAlpha(TDirectDrawSurface* Dest, int X, int Y, int Width, int Height, int PatternIndex,
                         double CenterX, double CenterY, int Angle, int Alpha);

private:
    bool CanDraw(int PatternIndex) const;
    TD2D* RendererFor(TDirectDrawSurface* Dest, D2DTarget& Target);
    D2DSprite Sprite(int PatternIndex) const;
    void ClearSurfaces();
    void MakePatterns();
    TDirectDrawSurface* MakeSurface(const TRect& Source);
    void DrawPicture(TDirectDrawSurface& Surface, const TRect& Source);

    std::unique_ptr<TPicture> FPicture;
    bool FInitialized = false;
    uint32_t FTransparentColor = 0;
    std::vector<TPictureCollectionItemPattern> FPatterns;
    std::vector<std::unique_ptr<TDirectDrawSurface>> FSurfaceList;
    uint64_t FSerial;
};

class TPictureCollection : public THashCollection {
public:
    // The images of Owner's list.
    explicit TPictureCollection(TCustomDXImageList* Owner) : FOwner(Owner) {}
    std::string ClassName() const override { return "TPictureCollection"; }

    TCustomDXImageList* Owner() const { return FOwner; }
    // The image at Index; raises EListError "List index out of bounds (%d)".
    TPictureCollectionItem* Items(int Index) const {
        return static_cast<TPictureCollectionItem*>(GetItem(Index));
    }
    // The display the images are initialized for (nullptr while none).
    TCustomDXDraw* DXDraw() const { return FDXDraw; }
    // 256 colours (blue, green, red, 0), stored with the form; see MakeColorTable.
    TRGBQuads ColorTable{};

    // Finalizes every image and, for an initialized display, initializes them
    // for it; raises EPictureCollectionError "TPictureCollection cannot be
    // initialized" when DXDraw is not initialized.
    void InitializeImages(TCustomDXDraw* DXDraw);
    // Finalizes every image and forgets the display.
    void Finalize();
    // Restores every image.
    void Restore();
    // Fills ColorTable: sixteen fixed colours, then the palette colours of the
    // images' graphics in index order, each new colour at the lowest free entry.
    void MakeColorTable();

private:
    void FinalizeImages();

    TCustomDXImageList* FOwner;
    TCustomDXDraw* FDXDraw = nullptr;
};

class TCustomDXImageList : public TComponent {
public:
    explicit TCustomDXImageList(TComponent* AOwner);
    // Leaves its display and frees its images.
    ~TCustomDXImageList() override;
    std::string ClassName() const override { return "TCustomDXImageList"; }

    TCustomDXDraw* DXDraw() const { return FDXDraw; }
    // Leaves the previous display and registers as a listener of Value (nullptr: none).
    void SetDXDraw(TCustomDXDraw* Value);
    // The owned images.
    TPictureCollection& Items() { return FItems; }

private:
    void DXDrawNotify(TCustomDXDraw* Sender, TDXDrawNotifyType NotifyType);

    TCustomDXDraw* FDXDraw = nullptr;
    TPictureCollection FItems{this};
};

class TDXImageList : public TCustomDXImageList {
public:
    using TCustomDXImageList::TCustomDXImageList;
    std::string ClassName() const override { return "TDXImageList"; }
};
