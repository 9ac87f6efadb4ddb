// Sections: construction, the control, settings, state, operations, listeners, private steps.
#include "render/dx_draw.h"

#include <algorithm>
#include <cfenv>

#include "platform/platform_services.h"
#include "render/d2d.h"
#include "render/direct_draw_surface.h"
#include "render/display_form.h"
#include "render/dx_draw_driver.h"
#include "render/dx_draw_errors.h"
#include "render/dx_draw_palette.h"

namespace {

// Sets a flag for as long as it lives, also when an exception leaves.
class FlagScope {
public:
    explicit FlagScope(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~FlagScope() { FFlag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& FFlag;
};

// Runs a function when it goes out of scope, also when an exception leaves.
template <typename Function> class AtExit {
public:
    explicit AtExit(Function F) : FRun(std::move(F)) {}
    ~AtExit() { FRun(); }
    AtExit(const AtExit&) = delete;
    AtExit& operator=(const AtExit&) = delete;

private:
    Function FRun;
};

// Raises a counter for as long as it lives.
class CountScope {
public:
    explicit CountScope(int& Count) : FCount(Count) { ++FCount; }
    ~CountScope() { --FCount; }
    CountScope(const CountScope&) = delete;
    CountScope& operator=(const CountScope&) = delete;

private:
    int& FCount;
};

} // namespace

// [SECTION] Construction

TCustomDXDraw::TCustomDXDraw(TComponent* AOwner, Presenter& Screen, DisplayModeSource& Modes)
    : TComponent(AOwner), ColorTable(SystemPalette()), DefColorTable(SystemPalette()), FScreen(Screen),
      FDisplay(Modes), FD2D(std::make_unique<TD2D>()) {}

TCustomDXDraw::TCustomDXDraw(TComponent* AOwner, PlatformServices& Platform)
    : TCustomDXDraw(AOwner, *Platform.Screen, *Platform.Modes) {}

TCustomDXDraw::~TCustomDXDraw() {
    try {
        Finalize();
    } catch (...) {
        // A handler failing while the component goes has no one left to tell.
    }
    Notify(dnDestroying);
    FListeners.clear();
    FD2D.reset();
}

// [SECTION] The control

void TCustomDXDraw::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    FLeft = ALeft;
    FTop = ATop;
    FWidth = std::max(AWidth, 0);
    FHeight = std::max(AHeight, 0);
    if (AutoSize && !FUpdating) SetSize(FWidth, FHeight);
}

void TCustomDXDraw::Loaded() {
    if (AutoSize) {
        FSurfaceWidth = FWidth;
        FSurfaceHeight = FHeight;
    }
    Notify(dnSetSurfaceSize);
    if (AutoInitialize && !FForm) Initialize();
}

void TCustomDXDraw::FormShown() {
    if (AutoInitialize && !FInitializeAttempted) Initialize();
}

void TCustomDXDraw::Paint() {
    Present(false);
}

// [SECTION] Settings

void TCustomDXDraw::SetOptions(TDXDrawOptions Value) {
    FOptions = Value;
    FNowOptions = FInitialized ? OptionsWhileInitialized(FNowOptions, Value) : EffectiveOptions(Value);
}

int TCustomDXDraw::SurfaceWidth() const {
    return FDriver ? FDriver->Surface().Width() : FSurfaceWidth;
}

int TCustomDXDraw::SurfaceHeight() const {
    return FDriver ? FDriver->Surface().Height() : FSurfaceHeight;
}

void TCustomDXDraw::SetSize(int AWidth, int AHeight) {
    if ((AWidth == SurfaceWidth() && AHeight == SurfaceHeight()) || FUpdating) return;
    if (!FInitialized) {
        FSurfaceWidth = AWidth;
        FSurfaceHeight = AHeight;
    } else if (FDriver->CanResize()) {
        ResizeSurface(AWidth, AHeight);
    } else {
        return;
    }
    Notify(dnSetSurfaceSize);
}

// [SECTION] State

TDirectDrawSurface* TCustomDXDraw::Primary() const {
    return FDriver ? &FDriver->Primary() : nullptr;
}

TDirectDrawSurface* TCustomDXDraw::Surface() const {
    return FDriver ? &FDriver->Surface() : nullptr;
}

const TDirectDrawPalette* TCustomDXDraw::Palette() const {
    return FDriver ? &FDriver->Palette() : nullptr;
}

// [SECTION] Operations

void TCustomDXDraw::Initialize() {
    FInitializeAttempted = true;
    Finalize();
    if (!FForm) throw EDXDrawError("Form not found");
    try {
        InitializeDisplay();
    } catch (...) {
        Finalize();
        throw;
    }
    RaiseInitializeEvents();
    if (!FD2D) FD2D = std::make_unique<TD2D>();
    Restore();
}

void TCustomDXDraw::Finalize() {
    // Both guards run however the events below end; the renderer goes last, in every case.
    AtExit dropRenderer([this] { FD2D.reset(); });
    if (!FInternalInitialized) return;
    FSurfaceWidth = SurfaceWidth();
    FSurfaceHeight = SurfaceHeight();
    FDisplay.ClearModes();
    FUpdating = true;
    AtExit release([this] { ReleaseDisplay(); });
    RaiseFinalizeEvents();
}

bool TCustomDXDraw::CanDraw() {
    return FInitialized && !FUpdating && FDriver && TryRestore();
}

void TCustomDXDraw::BeginScene() {
    if (!FOptions.Contains(do3D) || !FD2D || !FInitialized) return;
    // The renderer's maths assumes the default floating-point state: all
    // exceptions masked and rounding to nearest.
    std::fesetenv(FE_DFL_ENV);
    FD2D->BeginScene();
    FDriver->Surface().Fill(0);
}

void TCustomDXDraw::EndScene() {
    if (!FOptions.Contains(do3D) || !FD2D || !FInitialized) return;
    FD2D->EndScene();
}

void TCustomDXDraw::Flip() {
    Present(FNowOptions.Contains(doWaitVBlank));
}

void TCustomDXDraw::UpdatePalette() {
    // Our palette changes take effect at once, in step with the screen, so
    // there is no vertical blank to wait for.
    if (FInitialized) ApplyColorTable(ColorTable);
}

void TCustomDXDraw::Restore() {
    if (!FInitialized || FUpdating) return;
    FlagScope updating(FUpdating);
    const bool primaryBack = FDriver->Primary().Restore();
    const bool surfaceBack = FDriver->Surface().Restore();
    if (!primaryBack || !surfaceBack) return;
    FDriver->Primary().Fill(0);
    FDriver->Surface().Fill(0);
    ApplyColorTable(DefColorTable);
    Notify(dnRestore);
    Raise(OnRestoreSurface);
    ApplyColorTable(ColorTable);
}

bool TCustomDXDraw::TryRestore() {
    if (!FInitialized || FUpdating || !FDriver) return false;
    auto noneLost = [this] { return !FDriver->Primary().IsLost() && !FDriver->Surface().IsLost(); };
    if (noneLost()) return true;
    Restore();
    return noneLost();
}

// [SECTION] Listeners

void TCustomDXDraw::RegisterListener(TDXDrawNotifyEvent Proc, const TObject* Obj) {
    std::erase_if(FListeners, [Obj](const Listener& l) { return l.Obj == Obj; });
    FListeners.push_back({Proc, Obj});
    Proc(this, dnSetSurfaceSize);
    if (!FInitialized) return;
    Proc(this, dnInitialize);
    if (FSurfaceEventsRaised) Proc(this, dnInitializeSurface);
    if (FNotifyLock == 0) Proc(this, dnRestore);
}

void TCustomDXDraw::UnregisterListener(const TObject* Obj) {
    auto it =
        std::find_if(FListeners.begin(), FListeners.end(), [Obj](const Listener& l) { return l.Obj == Obj; });
    if (it == FListeners.end()) return;
    const TDXDrawNotifyEvent proc = it->Proc;
    if (FSurfaceEventsRaised) proc(this, dnFinalizeSurface);
    if (FInitialized) proc(this, dnFinalize);
    std::erase_if(FListeners, [Obj](const Listener& l) { return l.Obj == Obj; });
}

// [SECTION] Private steps

// The body of initialization: tells the listeners, makes the presenter, sets
// the display mode and makes the surfaces.
void TCustomDXDraw::InitializeDisplay() {
    Raise(OnInitializing);
    FUpdating = true;
    FInternalInitialized = true;
    Notify(dnInitializing);
    CreateDriver();
    if (FNowOptions.Contains(doFullScreen) && !FDisplay.SetMode()) {
        throw EDXDrawError(Format("Display mode cannot be changed (%dx%d %dbit)", FDisplay.Width(),
                                  FDisplay.Height(), FDisplay.BitCount()));
    }
    if (AutoSize) {
        FSurfaceWidth = FWidth;
        FSurfaceHeight = FHeight;
    }
    // Full screen shows the display's mode; a window shows the desktop's.
    TDXDrawDriverSetup setup;
    setup.Mode = FNowOptions.Contains(doFullScreen)
                     ? DisplayMode{FDisplay.Width(), FDisplay.Height(), FDisplay.BitCount()}
                     : FScreen.DesktopMode();
    setup.ColorTable = ColorTable;
    setup.AllowPalette256 = FNowOptions.Contains(doAllowPalette256);
    setup.Surface = SurfaceRequest(FSurfaceWidth, FSurfaceHeight);
    TakeSurfaceFacts(FDriver->Initialize(setup));
    FUpdating = false;
    FInitialized = true;
}

// The presenter, after the bit count is fitted to the 3D device: our renderer
// draws into 16 and 32 bits, so with a free bit count a full-screen hardware
// display that asks for another count gets the first of 16, 24, 32 it can render.
void TCustomDXDraw::CreateDriver() {
    const bool chooseDevice = FOptions.Contains(doFullScreen) && FOptions.Contains(do3D) &&
                              FOptions.Contains(doHardware) && !FOptions.Contains(doSystemMemory);
    const int bits = FDisplay.BitCount();
    if (chooseDevice && !FDisplay.FixedBitCount && bits != 16 && bits != 32) FDisplay.SetBitCount(16);
    if (FNowOptions.Contains(doFlip)) {
        FDriver = std::make_unique<TDXDrawDriverFlip>(FScreen);
    } else {
        FDriver = std::make_unique<TDXDrawDriverBlt>(FScreen);
    }
}

// The back surface as the options ask for it.
TDXDrawSurfaceRequest TCustomDXDraw::SurfaceRequest(int AWidth, int AHeight) const {
    return {AWidth, AHeight, FOptions.Contains(doSystemMemory), FNowOptions.Contains(do3D),
            FOptions.Contains(doHardware)};
}

// The options in force learn where the back surface landed and, with 3D,
// which device was made: the 3D-only options go, hardware comes back only for
// a hardware device (no depth buffer is made in this mode).
void TCustomDXDraw::TakeSurfaceFacts(const TDXDrawSurfaceFacts& Facts) {
    FNowOptions = FNowOptions - TDXDrawOptions{doSystemMemory};
    if (Facts.SystemMemory) FNowOptions = FNowOptions + TDXDrawOptions{doSystemMemory};
    if (!FNowOptions.Contains(do3D)) return;
    FNowOptions = FNowOptions - TDXDrawOptions{doRetainedMode, doHardware, doSelectDriver, doZBuffer};
    if (Facts.Hardware) FNowOptions = FNowOptions + TDXDrawOptions{doHardware};
}

// Shows the back surface where the control and the options in force say
// (when initialized, not busy and not lost).
void TCustomDXDraw::Present(bool WaitVBlank) {
    if (!FInitialized || FUpdating || !TryRestore()) return;
    TDXDrawFlipSetup setup;
    setup.Control = Bounds(FLeft, FTop, FWidth, FHeight);
    setup.WaitVBlank = WaitVBlank;
    setup.Stretch = FNowOptions.Contains(doStretch);
    setup.Center = FNowOptions.Contains(doCenter);
    setup.FormActive = FForm && FForm->FormActive();
    FDriver->Flip(setup);
}

void TCustomDXDraw::RaiseInitializeEvents() {
    CountScope locked(FNotifyLock);
    Notify(dnSetSurfaceSize);
    Notify(dnInitialize);
    FInitializeEventRaised = true;
    Raise(OnInitialize);
    Notify(dnInitializeSurface);
    FSurfaceEventsRaised = true;
    Raise(OnInitializeSurface);
}

void TCustomDXDraw::RaiseFinalizeEvents() {
    if (FSurfaceEventsRaised) {
        FSurfaceEventsRaised = false;
        Raise(OnFinalizeSurface);
    }
    Notify(dnFinalizeSurface);
    if (FInitializeEventRaised) {
        FInitializeEventRaised = false;
        Raise(OnFinalize);
    }
    Notify(dnFinalize);
}

// The back surface made again at the new size, between the surface's
// finalize and initialize events; a failure finalizes the display.
void TCustomDXDraw::ResizeSurface(int AWidth, int AHeight) {
    try {
        FlagScope updating(FUpdating);
        const bool surfaceEvents = FSurfaceEventsRaised;
        if (surfaceEvents) Raise(OnFinalizeSurface);
        Notify(dnFinalizeSurface);
        TakeSurfaceFacts(FDriver->CreateSurface(SurfaceRequest(AWidth, AHeight)));
        Notify(dnInitializeSurface);
        if (surfaceEvents) Raise(OnInitializeSurface);
    } catch (...) {
        Finalize();
        throw;
    }
}

void TCustomDXDraw::ReleaseDisplay() {
    FInitialized = FInternalInitialized = false;
    FNowOptions = EffectiveOptions(FOptions);
    FDriver.reset();
    FUpdating = false;
}

void TCustomDXDraw::ApplyColorTable(const TRGBQuads& Table) {
    if (FInitialized && FDriver)
        FDriver->Palette().SetEntries(Table, FNowOptions.Contains(doAllowPalette256));
}

// Listeners hear it newest first; one may unregister itself (or others) while
// hearing it, so the list is walked by index and each entry copied before its call.
void TCustomDXDraw::Notify(TDXDrawNotifyType NotifyType) {
    for (size_t i = FListeners.size(); i-- > 0;) {
        if (i >= FListeners.size()) continue;
        const TDXDrawNotifyEvent proc = FListeners[i].Proc;
        proc(this, NotifyType);
    }
}
