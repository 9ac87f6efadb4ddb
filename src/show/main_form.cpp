#include "show/main_form.h"

#include <utility>

#include "core/numeric.h"
#include "core/random.h"
#include "render/direct_draw_surface.h"
#include "show/data_folder.h"
#include "show/stored_form.h"

namespace {

// The colour of the sea line and the wave streaks, and the border of the sea fill.
constexpr uint32_t kSeaLineColor = 0x9E242A;

} // namespace

TMainForm::TMainForm(PlatformServices& Platform, AudioFacility& Audio, const std::string& ExecutableFolder,
                     Invitation Content)
    : TComponent(nullptr), FPlatform(Platform), FAudio(Audio), FExecutableFolder(ExecutableFolder),
      FInvitation(std::move(Content)) {
    LoadStoredSettings();
    Caption = FInvitation.Title; // the window is titled as the invitation
    FormCreate(this);
}

// The display finalizes while the form is whole: its OnFinalize handler still
// reaches the timer. The application's handlers let go of the form.
TMainForm::~TMainForm() {
    FormDestroy(this);
    DS->FormDestroyed();
    FPlatform.App->OnKeyDown = nullptr;
    FPlatform.App->OnClose = nullptr;
}

// The components and their settings as the form stores them.
void TMainForm::LoadStoredSettings() {
    DS = new TDXDraw(this, *FPlatform.Screen, *FPlatform.Modes);
    DS->SetParentForm(this);
    DS->SetBounds(0, 0, ClientWidth, ClientHeight);
    DS->Display().SetWidth(800);
    DS->Display().SetHeight(600);
    DS->Display().SetBitCount(16);
    DS->Display().FixedBitCount = false;
    DS->Display().FixedRatio = true;
    DS->Display().FixedSize = false;
    DS->SetOptions({doFullScreen, doAllowReboot, doWaitVBlank, doCenter, do3D, doDirectX7Mode, doRetainedMode,
                    doHardware, doSelectDriver, doZBuffer});
    DS->SetSize(800, 600);
    DS->OnInitialize = [this](TObject* Sender) { DSInitialize(Sender); };
    DS->OnFinalize = [this](TObject* Sender) { DSFinalize(Sender); };

    DXTimer = new TDXTimer(this, *FPlatform.App, *FPlatform.Time);
    DXTimer->BeginLoading();
    DXTimer->ActiveOnly = true;
    DXTimer->SetEnabled(false);
    DXTimer->SetInterval(30);
    DXTimer->OnTimer = [this](TObject* Sender, int32_t LagCount) { DXTimerTimer(Sender, LagCount); };

    ImageList = new TDXImageList(this);
    ImageList->Name = "ImageList";
    BlendList = new TDXImageList(this);
    BlendList->Name = "BlendList";
    charlist = new TDXImageList(this);
    charlist->Name = "charlist";
    yearlist = new TDXImageList(this);
    yearlist->Name = "yearlist";
    for (TDXImageList* list : {ImageList, BlendList, charlist, yearlist})
        list->SetDXDraw(DS);
    LoadStoredPictures(*charlist, *yearlist);

    FPlatform.App->OnKeyDown = [this](uint16_t Key) { FormKeyDown(this, Key); };
    FPlatform.App->OnClose = [this] { Close(); };
    DS->Loaded();
    DXTimer->Loaded();
}

void TMainForm::Show() {
    FPlatform.Screen->Open(Caption);
    DS->FormShown();
}

void TMainForm::Close() {
    FormClose(this);
    DS->FormDestroyed();
    FPlatform.App->Terminate();
}

bool TMainForm::FormActive() const {
    return FPlatform.App->Active();
}

// A tween owned by the form, linear unless told otherwise.
TFxEvent* TMainForm::NewEvent(int32_t ValueIn, int32_t ValueOut, int32_t Duration, TFxMethod Method) {
    auto* event = new TFxEvent(this);
    event->ValueIn = ValueIn;
    event->ValueOut = ValueOut;
    event->Duration = Duration;
    event->Method = Method;
    return event;
}

void TMainForm::FormCreate(TObject*) {
    Year = FInvitation.FirstYear;
    Randomize();
    if (FAudio.GetVersion() != kAudioVersion) {
        ShowAudioError("BASS version 2.2 was not loaded!");
        throw ProgramHalt{};
    }
    if (!FAudio.Init(kAudioDefaultDevice, 44100)) ShowAudioError("Error initializing audio!");
    GraphPath = DataFolder(FExecutableFolder);

    ImageList->Items().MakeColorTable();
    DS->ColorTable = ImageList->Items().ColorTable;
    DS->DefColorTable = ImageList->Items().ColorTable;
    DS->UpdatePalette();

    CreateEvents();
    SeaColor = new TFxColor(this);
    SeaColor->BeginColor = TFxColor::ColorToHex(0);
    SeaColor->EndColor = TFxColor::ColorToHex(0xB4D6EE);
    SeaColor->Duration = 300;

    Lines = std::make_unique<std::vector<std::unique_ptr<TTextEffect>>>();
    BuildLines();
    SetStage(0);
}

// The tweens in their fixed order: the Random calls fall as YearSlide's TagY,
// then Star1's TagX, then Star1's TagY.
void TMainForm::CreateEvents() {
    const TNotifyEvent done = [this](TObject* Sender) { EffectDone(Sender); };
    YearDelay = NewEvent(0, 100, 250, xLinear);
    YearDelay->OnDone = done;
    DateSlide = NewEvent(-300, 10, 75, xLinear);
    DateSlide->Visible = false;
    DateSlide->TagY = 10;
    DateSlide->OnDone = done;
    TimeSlide = NewEvent(800, 490, 75, xLinear);
    TimeSlide->Visible = false;
    TimeSlide->TagY = 135;
    TimeSlide->OnDone = done;
    YearSlide = NewEvent(800, -350, 150, xLinear);
    YearSlide->Visible = false;
    YearSlide->TagY = Random(100) + 10;
    YearSlide->OnDone = done;
    SunRise = NewEvent(-200, 100, 300, xLinear);
    SunRise->Visible = false;
    CharPulse = NewEvent(0, 60, 100, xAcc);
    CharPulse->Visible = false;
    CharPulse->OnDone = done;

    // DawnFade and BoatAlpha hold their start values (255 and 170) from now on.
    DawnFade = NewEvent(255, 0, 300, xAcc);
    DawnFade->OnDone = done;
    DawnFade->Start();
    DawnFade->Enabled = false;
    DawnFade->Visible = false;
    BoatAlpha = NewEvent(170, 255, 300, xAcc);
    BoatAlpha->Visible = false;
    BoatAlpha->Start();
    BoatAlpha->Enabled = false;

    DawnDelay = NewEvent(0, 0, 230, xLinear);
    DawnDelay->OnDone = done;
    BoatDelay = NewEvent(0, 0, 250, xLinear);
    BoatDelay->OnDone = done;
    BoatTravel = NewEvent(0, 3200, 800, xLinear);
    MoonTravel = NewEvent(DS->Width() + 200, 0, 3000, xLinear);
    MoonTravel->Visible = false;

    Star1 = NewEvent(0, 10, 20, xAcc);
    Star1->Repeats = 1;
    Star1->TagX = Random(DS->Width());
    Star1->TagY = Random(200);
    Star1->Visible = false;
    Star1->OnDone = done;
    Star2 = new TFxEvent(this);
    Star2->CopyFrom(*Star1); // tags are not copied: Star2 starts at (0, 0)
    Star2->Duration = 10;
    Star2->ValueOut = 5;
}

void TMainForm::FormDestroy(TObject*) {
    for (TFxEvent* TMainForm::*event :
         {&TMainForm::YearDelay, &TMainForm::DateSlide, &TMainForm::TimeSlide, &TMainForm::YearSlide,
          &TMainForm::SunRise, &TMainForm::CharPulse, &TMainForm::DawnFade, &TMainForm::BoatAlpha,
          &TMainForm::DawnDelay, &TMainForm::BoatDelay, &TMainForm::BoatTravel, &TMainForm::MoonTravel,
          &TMainForm::Star1, &TMainForm::Star2}) {
        delete (this->*event);
        this->*event = nullptr;
    }
    delete SeaColor;
    SeaColor = nullptr;
    Lines.reset();
}

void TMainForm::FormClose(TObject*) {
    FAudio.StreamFree(MusicStream);
    FAudio.Free();
}

void TMainForm::FormKeyDown(TObject*, uint16_t Key) {
    if (Key == kKeyEscape) Close();
}

void TMainForm::DSMouseDown(TObject*) {} // a click has no effect

void TMainForm::DSInitialize(TObject*) {
    DXTimer->SetEnabled(true);
}

void TMainForm::DSFinalize(TObject*) {
    DXTimer->SetEnabled(false);
}

// One frame. LagCount is ignored: however late, one call draws one frame.
void TMainForm::DXTimerTimer(TObject*, int32_t) {
    if (!DS->CanDraw()) return;
    DS->BeginScene();
    TDirectDrawSurfaceCanvas& canvas = DS->Surface()->Canvas();
    canvas.Pen.Color = kSeaLineColor;
    DrawScene();
    // The colour text "$RRGGBB"-ordered as the channels run, used as it comes.
    canvas.Brush.Color = static_cast<uint32_t>(StrToInt(SeaColor->GetColor()));
    if (BoatTravel->Enabled) canvas.FloodFill(0, DS->Height() - 1, kSeaLineColor, fsBorder);
    DrawCharacters();
    canvas.Release();
    DS->Flip();
    DS->EndScene();
}
