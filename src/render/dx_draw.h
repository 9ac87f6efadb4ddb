// The display component (TCustomDXDraw, TDXDraw): it brings up the full-screen
// display when its form is first shown, owns the back surface every frame is
// drawn on, clears it at the beginning of a scene, presents it with Flip,
// recovers lost surfaces, and tells registered listeners (image lists) about
// all of it. The platform (screen and display modes) is handed in, so real
// and headless runs share all of this code.
//
// The render layer's files know each other one way, each only those below it
// (rasterizer <- d2d <- dx_draw_driver <- dx_draw <- image_list): the
// presenter and the renderer this display owns know nothing of it.
//
// Usage (the show's main form):
//     class TMainForm : public TComponent, public DisplayForm { ... };
//     auto* DS = new TDXDraw(form, services);     // services: MakeSdlPlatform(...) or MakeHeadlessPlatform()
//     DS->SetParentForm(form);
//     DS->SetBounds(0, 0, 800, 600);
//     DS->Display().SetWidth(800); DS->Display().SetHeight(600); DS->Display().SetBitCount(16);
//     DS->Display().FixedBitCount = false;
//     DS->SetOptions({doFullScreen, doAllowReboot, doWaitVBlank, doCenter, do3D, doDirectX7Mode,
//                     doRetainedMode, doHardware, doSelectDriver, doZBuffer});
//     DS->OnInitialize = [&](TObject*) { DXTimer->SetEnabled(true); };
//     DS->Loaded();
//     services.Screen->Open("ZQ");               // EPresenterError: no display
//     DS->FormShown();                           // Initialize runs here
//     // each frame:
//     if (DS->CanDraw()) {
//         DS->BeginScene();                      // the back surface is black now
//         DS->Surface()->Canvas().LineTo(...);
//         DS->Surface()->Canvas().Release();
//         DS->Flip();
//         DS->EndScene();
//     }
//     // headless tests take the screen away and give it back:
//     DS->Surface()->Buffer().SetLost(true);     // CanDraw is False while
//     DS->Surface()->Buffer().SetRestoreBlocked(true); // restoring fails
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/object.h"
#include "render/bmp_format.h"
#include "render/dx_draw_display.h"
#include "render/dx_draw_options.h"

class DisplayForm;
class DisplayModeSource;
class Presenter;
class TD2D;
class TDirectDrawPalette;
class TDirectDrawSurface;
class TDXDrawDriver;
struct PlatformServices;
struct TDXDrawSurfaceFacts;
struct TDXDrawSurfaceRequest;

enum TDXDrawNotifyType : uint8_t {
    dnDestroying,
    dnInitializing,
    dnInitialize,
    dnInitializeSurface,
    dnFinalize,
    dnFinalizeSurface,
    dnRestore,
    dnSetSurfaceSize,
};

class TCustomDXDraw;
using TDXDrawNotifyEvent = std::function<void(TCustomDXDraw* Sender, TDXDrawNotifyType NotifyType)>;

class TCustomDXDraw : public TComponent {
public:
    // A display on Screen choosing among Modes: not initialized, default
    // options, 640 x 480 x 8, colour tables holding the system palette, a TD2D.
    TCustomDXDraw(TComponent* AOwner, Presenter& Screen, DisplayModeSource& Modes);
    // A display on the platform's screen and display modes.
    TCustomDXDraw(TComponent* AOwner, PlatformServices& Platform);
    // Finalizes, tells listeners dnDestroying and frees the rest.
    ~TCustomDXDraw() override;
    std::string ClassName() const override { return "TCustomDXDraw"; }

    // [SECTION] The control
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Moves and sizes the control; with AutoSize the back surface follows.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    // The form the display sits on (nullptr: none).
    void SetParentForm(DisplayForm* Form) { FForm = Form; }
    DisplayForm* ParentForm() const { return FForm; }
    // The form's settings are all read: surface size from the control with
    // AutoSize, dnSetSurfaceSize, and Initialize at once when AutoInitialize
    // and there is no form to wait for.
    void Loaded();
    // The form's window is shown: the first time, with AutoInitialize, Initialize runs.
    void FormShown();
    // The form's window is destroyed: the display finalizes.
    void FormDestroyed() { Finalize(); }
    // The control needs painting: one Flip without waiting for the vertical blank.
    void Paint();

    // [SECTION] Settings
    TDXDrawOptions Options() const { return FOptions; }
    // Stores the options and derives NowOptions (other rules while initialized).
    void SetOptions(TDXDrawOptions Value);
    // The options in force.
    TDXDrawOptions NowOptions() const { return FNowOptions; }
    bool AutoInitialize = true;
    bool AutoSize = true;
    TDXDrawDisplay& Display() { return FDisplay; }
    // The back surface's size (the stored size while there is none).
    int SurfaceWidth() const;
    int SurfaceHeight() const;
    void SetSurfaceWidth(int Value) { SetSize(Value, SurfaceHeight()); }
    void SetSurfaceHeight(int Value) { SetSize(SurfaceWidth(), Value); }
    // Resizes the back surface (only the stored size while not initialized).
    void SetSize(int AWidth, int AHeight);
    // Colour tables for 8-bit displays (blue, green, red, 0).
    TRGBQuads ColorTable;
    TRGBQuads DefColorTable;

    // [SECTION] State
    bool Initialized() const { return FInitialized; }
    // The renderer (nullptr after a finalization until the next initialization).
    TD2D* D2D() const { return FD2D.get(); }
    // The visible screen's and the back surface's objects (nullptr while not initialized).
    TDirectDrawSurface* Primary() const;
    TDirectDrawSurface* Surface() const;
    // The screen's palette (nullptr while not initialized).
    const TDirectDrawPalette* Palette() const;

    // [SECTION] Operations
    // Brings up the display; raises EDXDrawError or EDirectDrawError (after finalizing).
    void Initialize();
    // Tears the display down and drops D2D.
    void Finalize();
    // True when initialized, not busy, with a back surface that is not lost (after trying to restore it).
    bool CanDraw();
    // With do3D and a D2D: begins the renderer's scene and clears the back surface to black.
    void BeginScene();
    // With do3D and a D2D: ends the renderer's scene.
    void EndScene();
    // Presents the back surface (when initialized, not busy and not lost).
    void Flip();
    // Applies ColorTable to the screen's palette.
    void UpdatePalette();
    // Restores lost surfaces; on success they are black and listeners get dnRestore.
    void Restore();
    // True when no surface is lost, restoring them first if needed.
    bool TryRestore();
    // Adds Proc for Obj (replacing an earlier one of Obj) and brings it up to date.
    void RegisterListener(TDXDrawNotifyEvent Proc, const TObject* Obj);
    // Tells Obj's listener the display is going away for it and removes it.
    void UnregisterListener(const TObject* Obj);

    TNotifyEvent OnInitializing;
    TNotifyEvent OnInitialize;
    TNotifyEvent OnInitializeSurface;
    TNotifyEvent OnFinalize;
    TNotifyEvent OnFinalizeSurface;
    TNotifyEvent OnRestoreSurface;

private:
    struct Listener {
        TDXDrawNotifyEvent Proc;
        const TObject* Obj;
    };

    void InitializeDisplay();
    void CreateDriver();
    TDXDrawSurfaceRequest SurfaceRequest(int AWidth, int AHeight) const;
    void TakeSurfaceFacts(const TDXDrawSurfaceFacts& Facts);
    void Present(bool WaitVBlank);
    void RaiseInitializeEvents();
    void RaiseFinalizeEvents();
    void ResizeSurface(int AWidth, int AHeight);
    void ReleaseDisplay();
    void ApplyColorTable(const TRGBQuads& Table);
    void Notify(TDXDrawNotifyType NotifyType);
    void Raise(const TNotifyEvent& Event) {
        if (Event) Event(this);
    }

    Presenter& FScreen;
    TDXDrawDisplay FDisplay;
    DisplayForm* FForm = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 100, FHeight = 100;
    TDXDrawOptions FOptions = kDefaultDXDrawOptions;
    TDXDrawOptions FNowOptions = EffectiveOptions(kDefaultDXDrawOptions);
    int FSurfaceWidth = 640, FSurfaceHeight = 480;
    bool FInitialized = false;
    bool FInternalInitialized = false;
    bool FUpdating = false;
    bool FSurfaceEventsRaised = false;
    bool FInitializeEventRaised = false;
    bool FInitializeAttempted = false;
    int FNotifyLock = 0;
    std::unique_ptr<TDXDrawDriver> FDriver;
    std::unique_ptr<TD2D> FD2D;
    std::vector<Listener> FListeners;
};

class TDXDraw : public TCustomDXDraw {
public:
    using TCustomDXDraw::TCustomDXDraw;
    std::string ClassName() const override { return "TDXDraw"; }
};
