#include "render/hash_collection.h"

#include <gtest/gtest.h>

#include "core/exception.h"
#include "render/bitmap.h"
#include "render/dx_draw_errors.h"
#include "render/image_list_rig.h"

namespace {

THashCollectionItem* Named(THashCollection& C, const std::string& Name) {
    auto* item = new THashCollectionItem(&C);
    item->SetName(Name);
    return item;
}

} // namespace

TEST(HashCollection, FindIgnoresCaseAndPrefersTheNameGivenLast) {
    THashCollection c;
    Named(c, "bgnd_day");
    Named(c, "bootje");
    THashCollectionItem* lower = Named(c, "a");
    Named(c, "A");
    struct Case {
        const char* Name;
        int Expected;
    };
    const Case cases[] = {{"bootje", 1}, {"BOOTJE", 1}, {"Bgnd_Day", 0}, {"a", 3},
                          {"A", 3},      {"moon", -1},  {"", -1}};
    for (const Case& k : cases)
        EXPECT_EQ(c.Find(k.Name), k.Expected) << k.Name;

    lower->SetName("b");
    lower->SetName("a"); // renamed last: now the head of its bucket
    EXPECT_EQ(c.Find("A"), 2);
    lower->SetName("a"); // unchanged: stays where it is
    EXPECT_EQ(c.Find("a"), 2);
}

TEST(HashCollection, DestroyingAnItemRenumbersTheOnesBehindIt) {
    THashCollection c;
    Named(c, "x");
    THashCollectionItem* gone = Named(c, "y");
    THashCollectionItem* last = Named(c, "z");
    delete gone;
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(last->Index(), 1);
    EXPECT_EQ(c.Find("z"), 1);
    EXPECT_EQ(c.Find("y"), -1);
    EXPECT_EQ(c.GetItem(1), last);
    try {
        c.GetItem(2);
        ADD_FAILURE() << "index 2 of 2 items accepted";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (2)");
    }
    EXPECT_THROW(c.GetItem(-1), EListError);
}

TEST(HashCollection, BucketsFollowLengthAndTwoCharacters) {
    // h = length * 16 + code of the second-to-last + code of the first, lower-cased, and 255.
    EXPECT_EQ(THashCollection::HashOf(""), 0);
    EXPECT_EQ(THashCollection::HashOf("x"), 16);
    EXPECT_EQ(THashCollection::HashOf("ab"), (32 + 'a' + 'a') & 255);
    EXPECT_EQ(THashCollection::HashOf("Moon"), (64 + 'o' + 'm') & 255);
    EXPECT_EQ(THashCollection::HashOf("MOON"), THashCollection::HashOf("moon"));
}

// [SECTION] Image lists on a display

TEST(ImageList, RestoreBuildsAKeyedSurfaceInTheDisplaysFormat) {
    ImageListRig r;
    const auto picture = MakePicture(30, 20, Coded);
    TPictureCollectionItem* image = r.Add(*picture, true, RGB(255, 255, 255));
    ASSERT_TRUE(image->Initialized());
    ASSERT_EQ(image->PatternCount(), 1);
    const TPictureCollectionItemPattern& p = image->Patterns(0);
    EXPECT_EQ(p.Rect, Rect(0, 0, 30, 20));
    EXPECT_EQ(p.Surface->Format(), PixelFormat::Rgb565);
    EXPECT_EQ(p.Surface->ColorKey(), 0xFFFFu) << "white as the surface holds it";
    EXPECT_EQ(p.Surface->View().Read(7, 3), PackColor(PixelFormat::Rgb565, Coded(7, 3)));

    image->SetTransparentColor(RGB(0, 0, 255));
    EXPECT_EQ(image->Patterns(0).Surface->ColorKey(), 0x001Fu) << "a new colour keys the existing surface";

    // A loaded bitmap (here a 32-bit one) is drawn into its surface as well.
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(4, 2);
    bitmap.ScanLine(1)[4 * 3 + 2] = 255; // red at (3, 1)
    auto* loaded = new TPictureCollectionItem(&r.List.Items());
    loaded->Picture().SetGraphic(&bitmap);
    loaded->Restore();
    EXPECT_EQ(UnpackColor(PixelFormat::Rgb565, loaded->Patterns(0).Surface->View().Read(3, 1)),
              RGB(255, 0, 0));
}

TEST(ImageList, PatternsFormAGridWhenPatternSizesAreSet) {
    ImageListRig r(32);
    const auto picture = MakePicture(25, 25, Coded);
    auto* image = new TPictureCollectionItem(&r.List.Items());
    image->Picture().SetGraphic(picture.get());
    image->Transparent = false;
    image->PatternWidth = 10;
    image->PatternHeight = 10;
    image->SkipWidth = 2;
    image->SkipHeight = 2;
    image->Restore();
    ASSERT_EQ(image->PatternCount(), 4); // (25 + 2) div (10 + 2) = 2 each way
    EXPECT_EQ(image->Patterns(3).Rect, Rect(12, 12, 22, 22));
    image->Draw(r.Back(), 100, 100, 3);
    EXPECT_EQ(r.Pixel(100, 100), Coded(12, 12));
    EXPECT_EQ(r.Pixel(109, 109), Coded(21, 21));
    EXPECT_EQ(r.Pixel(110, 110), 0u);
    EXPECT_EQ(image->Width(), 10);

    image->SkipWidth = -10; // steps of 0 make no patterns rather than dividing by zero
    image->Restore();
    EXPECT_EQ(image->PatternCount(), 0);
}

TEST(ImageList, FollowsItsDisplayThroughInitializationLossAndFinalization) {
    ImageListRig r;
    const auto picture = MakePicture(8, 8, Coded);
    TPictureCollectionItem* image = r.Add(*picture, false);
    TPictureCollectionItem* empty = r.Add(TDIB{}, false);
    EXPECT_EQ(empty->PatternCount(), 0) << "an image without a picture gets no surface";

    r.Back()->Buffer().SetLost(true);
    ASSERT_TRUE(r.DS.CanDraw()); // restores the surfaces, and the list its images
    ASSERT_EQ(image->PatternCount(), 1);
    EXPECT_EQ(image->Patterns(0).Surface->View().Read(1, 1), PackColor(PixelFormat::Rgb565, Coded(1, 1)));

    r.DS.Finalize();
    EXPECT_FALSE(image->Initialized());
    EXPECT_EQ(image->PatternCount(), 0);
    EXPECT_EQ(r.List.Items().DXDraw(), nullptr);
    image->Restore(); // no display: stays without surfaces
    EXPECT_EQ(image->PatternCount(), 0);

    r.DS.Initialize();
    EXPECT_TRUE(image->Initialized());
    EXPECT_EQ(image->PatternCount(), 1);

    try {
        TCustomDXDraw* finalized = &r.DS;
        r.DS.Finalize();
        r.List.Items().InitializeImages(finalized);
        ADD_FAILURE() << "initialized for a finalized display";
    } catch (const EPictureCollectionError& e) {
        EXPECT_EQ(e.Message, "TPictureCollection cannot be initialized");
    }
}

TEST(ImageList, ImagesMadeBeforeTheDisplayGetSurfacesWhenItComesUp) {
    HeadlessPresenter screen;
    screen.Open("early");
    ListedDisplayModes modes({{800, 600, 16}});
    RigForm form;
    auto* ds = new TDXDraw(nullptr, screen, modes);
    ds->SetParentForm(&form);
    ds->SetBounds(0, 0, 800, 600);
    ds->SetOptions({do3D, doDirectX7Mode, doHardware});
    TDXImageList list(nullptr);
    list.SetDXDraw(ds);
    const auto picture = MakePicture(8, 8, Coded);
    auto* image = new TPictureCollectionItem(&list.Items());
    image->Picture().SetGraphic(picture.get());
    image->Restore();
    EXPECT_FALSE(image->Initialized());
    ds->Loaded();
    ds->FormShown();
    EXPECT_TRUE(image->Initialized());
    EXPECT_EQ(image->PatternCount(), 1);

    delete ds; // the list lets go of a display that goes away
    EXPECT_EQ(list.DXDraw(), nullptr);
    EXPECT_FALSE(image->Initialized());
}

TEST(ImageList, ItemsAreCheckedFoundAndFreed) {
    ImageListRig r;
    const auto picture = MakePicture(4, 4, Coded);
    r.Add(*picture, true, 0xFFFFFF, "bgnd_day");
    TPictureCollectionItem* moon = r.Add(*picture, true, 0xFFFFFF, "moon");
    r.Add(*picture, true, 0xFFFFFF, "sun");
    TPictureCollection& items = r.List.Items();
    EXPECT_EQ(items.Items(items.Find("MOON")), moon);
    delete moon;
    EXPECT_EQ(items.Count(), 2);
    EXPECT_EQ(items.Find("moon"), -1);
    EXPECT_EQ(items.Items(items.Find("Sun"))->Index(), 1);
    try {
        items.Items(2);
        ADD_FAILURE() << "index 2 of 2 items accepted";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (2)");
    }
}

TEST(ImageList, ASurfaceThePlatformRefusesIsReported) {
    ImageListRig r;
    const auto picture = MakePicture(PixelBuffer::kMaxSide + 1, 1, Coded);
    auto* image = new TPictureCollectionItem(&r.List.Items());
    image->Picture().SetGraphic(picture.get());
    try {
        image->Restore();
        ADD_FAILURE() << "a surface beyond the platform's limits was made";
    } catch (const EDirectDrawSurfaceError& e) {
        EXPECT_EQ(e.Message, "Surface cannot be made");
    }
    EXPECT_TRUE(image->SystemMemory) << "system memory was tried as well";
}

TEST(ImageList, ColorTableHoldsTheFixedColoursThenNewPaletteColours) {
    TDXImageList list(nullptr);
    TPictureCollection& items = list.Items();
    items.MakeColorTable();
    EXPECT_EQ(items.ColorTable[1], (TRGBQuad{0, 0, 128, 0})); // (128, 0, 0) as blue, green, red
    EXPECT_EQ(items.ColorTable[7], (TRGBQuad{192, 192, 192, 0}));
    EXPECT_EQ(items.ColorTable[249], (TRGBQuad{0, 0, 255, 0}));
    EXPECT_EQ(items.ColorTable[255], (TRGBQuad{255, 255, 255, 0}));
    EXPECT_EQ(items.ColorTable[8], TRGBQuad{});

    TDIB palette;
    palette.ColorTable[0] = {0, 0, 255, 0};  // red: one of the fixed colours
    palette.ColorTable[1] = {10, 20, 30, 0}; // new
    palette.ColorTable[2] = {10, 20, 30, 0}; // the same again
    palette.ColorTable[3] = {40, 50, 60, 0}; // new
    palette.SetSize(2, 2, 8);
    auto* item = new TPictureCollectionItem(&items);
    item->Picture().SetGraphic(&palette);
    new TPictureCollectionItem(&items); // no graphic: skipped
    items.MakeColorTable();
    EXPECT_EQ(items.ColorTable[8], (TRGBQuad{10, 20, 30, 0}));
    EXPECT_EQ(items.ColorTable[9], (TRGBQuad{40, 50, 60, 0}));
    EXPECT_EQ(items.ColorTable[10], TRGBQuad{});
}
