// The three stages of the show (0 night, 1 dawn, 2 day and finale): which
// images each needs from the asset folder, which tweens it starts, and the 26
// night-to-day blend pictures, mixed one per night frame so that start-up does
// not wait for them.
#include <cstring>

#include "core/exception.h"
#include "render/bitmap.h"
#include "render/picture.h"
#include "show/main_form.h"
#include "show/picture_fit.h"

namespace {

constexpr int kBlendWidth = kCoverWidth;
constexpr int kBlendHeight = kCoverHeight;
constexpr int kBlendSteps = 25; // steps 0 (day) to 25 (night): 26 pictures

bool IsBackground(const std::string& Name) {
    return Name == "bgnd_night" || Name == "bgnd_day";
}

// Images that outlive a stage switch.
bool IsKept(const std::string& Name) {
    return IsBackground(Name) || Name == "bootje" || Name == "sun";
}

// The mix of a day byte D and a night byte N at one step: (N - D) / 25 * Step
// + D to the nearest integer. The quotients are multiples of 1/25, never within
// 0.02 of a half, so exact integer division rounds them as the real numbers
// round: doubled, plus 25, floored by 50. 256 * 50 added keeps the dividend
// positive and within 16 bits, where the compiler divides many at once by
// multiplying; it vanishes in the low 8 bits.
inline uint8_t MixStep(uint16_t D, uint16_t N, uint16_t Step) {
    const uint16_t dividend = uint16_t(2 * N * Step + (25 + 256 * 50) - 2 * D * Step);
    return static_cast<uint8_t>(D + dividend / 50);
}

// A background too small for the blend would be read past its rows.
void RequireBlendSize(const TBitmap& Bitmap, const std::string& FileName) {
    if (Bitmap.Width() < kBlendWidth || Bitmap.Height() < kBlendHeight)
        throw Exception(Format("Background \"%s\" is %d x %d pixels; it must be at least %d x %d",
                               FileName.c_str(), Bitmap.Width(), Bitmap.Height(), kBlendWidth, kBlendHeight));
}

} // namespace

void TMainForm::SetStage(uint8_t NewStage) {
    TPictureCollection& images = ImageList->Items();
    for (int i = images.Count() - 1; i >= 0; --i)
        if (!IsKept(images.Items(i)->Name())) delete images.Items(i);
    Stage = NewStage;
    if (Stage == 0) {
        for (const char* name : {"bgnd_day", "bgnd_night", "bootje", "star", "moon"})
            AddSceneImage(name);
        PrepareBlends();
        for (TFxEvent* event : {BoatDelay, Star1, Star2, MoonTravel})
            event->Start();
        PlaySoundtrack(InvitationFile(GraphPath, FInvitation.Files.Music));
    } else if (Stage == 1) {
        while (MakeNextBlend()) {
        }
        AddSceneImage("moon"); // a fresh load: the night's moon was dropped above
        AddSceneImage("sun");
        Star1->Enabled = Star2->Enabled = false;
        Star1->Visible = Star2->Visible = false;
        for (TFxEvent* event : {DawnFade, SunRise, BoatAlpha})
            event->Start();
        SeaColor->Start();
        CharPulse->Start();
        // The sea line's wave slows from 400 to 300 over the dawn.
        TFxEvent& freq = *SeaLine().Freq;
        freq.ValueOut = freq.ValueIn - 100;
        freq.Duration = 300;
        freq.Start();
    } else if (Stage == 2) {
        MoonTravel->Stop();
        MoonTravel->Visible = false;
        BlendList->Items().Clear();
        if (const int night = images.Find("bgnd_night"); night >= 0) delete images.Items(night);
        LineIndex = 0;
        TTextEffect& first = *(*Lines)[0];
        const int32_t slot = PickLineSlot(0);
        InitSinus(*first.Sinus, true, 0, slot, first.CharCount * 10 + 200);
        RenderYearCaption();
        YearDelay->Start();
    }
    // Every scene image lives in system memory; all but the backgrounds key out white.
    for (int i = images.Count() - 1; i >= 0; --i) {
        TPictureCollectionItem* item = images.Items(i);
        item->SystemMemory = true;
        item->Transparent = !IsBackground(item->Name());
        if (item->Transparent) item->SetTransparentColor(0xFFFFFF);
        item->Restore();
    }
}

// The invitation's file for the scene image Name.
const std::string& TMainForm::SceneFile(const std::string& Name) const {
    const InvitationFiles& files = FInvitation.Files;
    if (Name == "bgnd_day") return files.Day;
    if (Name == "bgnd_night") return files.Night;
    if (Name == "bootje") return files.Boat;
    if (Name == "star") return files.Star;
    if (Name == "moon") return files.Moon;
    return files.Sun;
}

// Appends an image named Name to ImageList and loads it from the invitation's
// file, fitted as a background or bounded as a sprite (picture_fit.h).
void TMainForm::AddSceneImage(const std::string& Name) {
    auto* item = new TPictureCollectionItem(&ImageList->Items());
    item->SetName(Name);
    LoadScenePicture(item->Picture(), InvitationFile(GraphPath, SceneFile(Name)), IsBackground(Name));
}

void TMainForm::PrepareBlends() {
    Scene("bgnd_day")->Picture().Bitmap().SetPixelFormat(pf32bit);
    Scene("bgnd_night")->Picture().Bitmap().SetPixelFormat(pf32bit);
    for (int32_t step = 0; step <= kBlendSteps; ++step) {
        auto* item = new TPictureCollectionItem(&BlendList->Items());
        item->SystemMemory = true;
    }
}

bool TMainForm::MakeNextBlend() {
    TPictureCollection& blends = BlendList->Items();
    int step = 0;
    while (step < blends.Count() && !blends.Items(step)->Picture().Bitmap().Empty())
        ++step;
    if (step == blends.Count()) return false;
    TBitmap& blend = blends.Items(step)->Picture().Bitmap();
    blend.SetPixelFormat(pf32bit); // before the size: no conversion
    blend.SetSize(kBlendWidth, kBlendHeight);
    BlendPictures(Scene("bgnd_day")->Picture(), Scene("bgnd_night")->Picture(), blends.Items(step)->Picture(),
                  step);
    // Surfaces for all at once: each restore empties the renderer's texture cache.
    if (step == blends.Count() - 1)
        for (int i = 0; i < blends.Count(); ++i)
            blends.Items(i)->Restore();
    return true;
}

void TMainForm::BlendPictures(TPicture& Day, TPicture& Night, TPicture& Dest, int32_t Step) {
    TBitmap& day = Day.Bitmap();
    TBitmap& night = Night.Bitmap();
    TBitmap& dest = Dest.Bitmap();
    RequireBlendSize(day, "day background");
    RequireBlendSize(night, "night background");
    RequireBlendSize(dest, "blend picture");
    const auto step = static_cast<uint16_t>(Step);
    for (int y = 0; y < kBlendHeight; ++y) {
        const uint8_t* d = day.ScanLine(y);
        const uint8_t* n = night.ScanLine(y);
        uint8_t* out = dest.ScanLine(y);
        for (int i = 0; i < kBlendWidth * 4; ++i)
            out[i] = MixStep(d[i], n[i], step);
        // Bytes blue, green, red, and a fourth byte that is always 0.
        for (int x = 0; x < kBlendWidth; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, out + 4 * x, 4);
            pixel &= 0x00FFFFFF;
            std::memcpy(out + 4 * x, &pixel, 4);
        }
    }
}
