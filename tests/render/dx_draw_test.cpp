#include "render/dx_draw.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/presenter_headless.h"
#include "render/d2d.h"
#include "render/direct_draw_surface.h"
#include "render/dx_draw_errors.h"
#include "render/dx_draw_palette.h"
#include "show_display.h"

namespace {

class StubForm : public DisplayForm {
public:
    bool FormActive() const override { return Active; }
    bool Active = true;
};

const char* NotifyName(TDXDrawNotifyType T) {
    static const char* const kNames[] = {"dnDestroying",        "dnInitializing",  "dnInitialize",
                                         "dnInitializeSurface", "dnFinalize",      "dnFinalizeSurface",
                                         "dnRestore",           "dnSetSurfaceSize"};
    return kNames[T];
}

// A listener that writes what it hears into a shared log as "name:notification"
// and, like an image list, leaves its display when it goes.
class Probe : public TObject {
public:
    Probe(std::string AName, std::vector<std::string>& ALog) : Name(std::move(AName)), Log(ALog) {}
    ~Probe() override {
        if (Display) Display->UnregisterListener(this);
    }
    void Listen(TCustomDXDraw& DS) {
        Display = &DS;
        DS.RegisterListener(
            [this](TCustomDXDraw*, TDXDrawNotifyType T) {
                Log.push_back(Name + ":" + NotifyName(T));
                if (T == dnDestroying) Display = nullptr;
            },
            this);
    }
    std::string Name;
    std::vector<std::string>& Log;
    TCustomDXDraw* Display = nullptr;
};

// The show's display on a headless screen, with every event logged.
struct Rig {
    Rig() {
        Screen.Open("ZQ");
        ConfigureAsShowDisplay(DS, Form);
        auto log = [this](const char* What) { return [this, What](TObject*) { Log.push_back(What); }; };
        DS.OnInitializing = log("OnInitializing");
        DS.OnInitialize = log("OnInitialize");
        DS.OnInitializeSurface = log("OnInitializeSurface");
        DS.OnFinalize = log("OnFinalize");
        DS.OnFinalizeSurface = log("OnFinalizeSurface");
        DS.OnRestoreSurface = log("OnRestoreSurface");
    }
    // The log since the last call.
    std::vector<std::string> Take() { return std::exchange(Log, {}); }

    HeadlessPresenter Screen;
    ListedDisplayModes Modes{{{640, 480, 16}, {800, 600, 16}, {800, 600, 32}, {1024, 768, 16}}};
    StubForm Form;
    std::vector<std::string> Log;
    TDXDraw DS{nullptr, Screen, Modes};
};

using Strings = std::vector<std::string>;

TEST(DXDrawOptions, EffectiveOptionsFollowEachRule) {
    struct Case {
        const char* Name;
        TDXDrawOptions Options, Now;
    };
    const Case cases[] = {
        {"the show's options",
         kShowOptions,
         {doFullScreen, doAllowReboot, doWaitVBlank, doCenter, do3D, doDirectX7Mode, doSelectDriver,
          doZBuffer}},
        {"the defaults: no full screen, no 3D", kDefaultDXDrawOptions, {doWaitVBlank, doCenter}},
        {"full-screen options need full screen",
         {doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip, doStretch},
         {doStretch}},
        {"3D options need 3D", {doDirectX7Mode, doRetainedMode, doHardware, doSelectDriver, doZBuffer}, {}},
        {"system memory excludes flipping",
         {doFullScreen, doSystemMemory, doFlip},
         {doFullScreen, doSystemMemory}},
        {"DirectX 7 mode excludes retained mode",
         {do3D, doDirectX7Mode, doRetainedMode},
         {do3D, doDirectX7Mode}},
        {"retained mode alone stays", {do3D, doRetainedMode, doZBuffer}, {do3D, doRetainedMode, doZBuffer}},
        {"hardware waits for initialization", {do3D, doHardware}, {do3D}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EffectiveOptions(c.Options).Mask(), c.Now.Mask()) << c.Name;

    // While initialized only the wait, stretch and centre options follow the new value.
    const TDXDrawOptions now{doFullScreen, doWaitVBlank, doCenter, do3D, doHardware};
    EXPECT_EQ(OptionsWhileInitialized(now, {doStretch, doFlip}),
              (TDXDrawOptions{doFullScreen, doStretch, do3D, doHardware}));
    EXPECT_EQ(OptionsWhileInitialized({doWaitVBlank, doHardware, doZBuffer, doDirectX7Mode}, {}),
              (TDXDrawOptions{doDirectX7Mode}));
}

TEST(DXDraw, InitializesWhenTheFormIsFirstShownAndTellsListenersNewestFirst) {
    Rig r;
    std::vector<std::string>& log = r.Log;
    Probe a("A", log), b("B", log);
    a.Listen(r.DS);
    b.Listen(r.DS);
    r.DS.Loaded();
    EXPECT_EQ(r.Take(), (Strings{"A:dnSetSurfaceSize", "B:dnSetSurfaceSize", "B:dnSetSurfaceSize",
                                 "A:dnSetSurfaceSize"}));
    EXPECT_FALSE(r.DS.CanDraw());

    r.DS.FormShown();
    EXPECT_EQ(r.Take(),
              (Strings{"OnInitializing", "B:dnInitializing", "A:dnInitializing", "B:dnSetSurfaceSize",
                       "A:dnSetSurfaceSize", "B:dnInitialize", "A:dnInitialize", "OnInitialize",
                       "B:dnInitializeSurface", "A:dnInitializeSurface", "OnInitializeSurface", "B:dnRestore",
                       "A:dnRestore", "OnRestoreSurface"}));
    ASSERT_TRUE(r.DS.Initialized());
    EXPECT_EQ(r.DS.NowOptions(), (TDXDrawOptions{doFullScreen, doAllowReboot, doWaitVBlank, doCenter, do3D,
                                                 doDirectX7Mode, doHardware}));
    EXPECT_EQ(r.DS.Surface()->Width(), 800);
    EXPECT_EQ(r.DS.Surface()->Format(), PixelFormat::Rgb565);
    EXPECT_EQ(r.Modes.Current(), (DisplayMode{800, 600, 16}));
    EXPECT_NE(r.DS.D2D(), nullptr);
    r.DS.FormShown(); // only the first showing initializes
    EXPECT_TRUE(r.Take().empty());

    // A listener joining later is brought up to date; re-registering replaces it.
    Probe c("C", log);
    c.Listen(r.DS);
    c.Listen(r.DS);
    EXPECT_EQ(r.Take(),
              (Strings{"C:dnSetSurfaceSize", "C:dnInitialize", "C:dnInitializeSurface", "C:dnRestore",
                       "C:dnSetSurfaceSize", "C:dnInitialize", "C:dnInitializeSurface", "C:dnRestore"}));
    r.DS.UnregisterListener(&c);
    EXPECT_EQ(r.Take(), (Strings{"C:dnFinalizeSurface", "C:dnFinalize"}));

    // Resizing remakes the back surface between the surface notifications.
    r.DS.SetSurfaceWidth(400);
    EXPECT_EQ(r.Take(), (Strings{"OnFinalizeSurface", "B:dnFinalizeSurface", "A:dnFinalizeSurface",
                                 "B:dnInitializeSurface", "A:dnInitializeSurface", "OnInitializeSurface",
                                 "B:dnSetSurfaceSize", "A:dnSetSurfaceSize"}));
    EXPECT_EQ(r.DS.SurfaceWidth(), 400);

    r.DS.FormDestroyed();
    EXPECT_EQ(r.Take(), (Strings{"OnFinalizeSurface", "B:dnFinalizeSurface", "A:dnFinalizeSurface",
                                 "OnFinalize", "B:dnFinalize", "A:dnFinalize"}));
    EXPECT_FALSE(r.DS.Initialized());
    EXPECT_EQ(r.DS.D2D(), nullptr);
    EXPECT_EQ(r.DS.SurfaceWidth(), 400); // the size is remembered
    EXPECT_EQ(r.DS.NowOptions(), EffectiveOptions(kShowOptions));
}

TEST(DXDraw, ListenersRegisteredDuringInitializeGetNoRestoreAndDestroyingIsLast) {
    std::vector<std::string> log;
    Probe late("Late", log);
    {
        Rig r;
        r.DS.OnInitialize = [&](TObject*) { late.Listen(r.DS); };
        r.DS.FormShown();
        // The notification lock holds back dnRestore; the display's own Restore brings it.
        EXPECT_EQ(log, (Strings{"Late:dnSetSurfaceSize", "Late:dnInitialize", "Late:dnInitializeSurface",
                                "Late:dnRestore"}));
        log.clear();
    }
    EXPECT_EQ(log, (Strings{"Late:dnFinalizeSurface", "Late:dnFinalize", "Late:dnDestroying"}));
}

TEST(DXDraw, FailedInitializationLeavesTheDisplayFinalized) {
    struct Case {
        const char* Name;
        std::function<void(Rig&)> Setup;
        std::string ClassName, Message;
    };
    const Case cases[] = {
        {"no form", [](Rig& r) { r.DS.SetParentForm(nullptr); }, "EDXDrawError", "Form not found"},
        {"no such mode", [](Rig& r) { r.DS.Display().SetWidth(2000); }, "EDXDrawError",
         "Display mode cannot be changed (2000x600 16bit)"},
        {"a palette display",
         [](Rig& r) {
             r.Modes = ListedDisplayModes({{800, 600, 8}});
             r.DS.Display().SetBitCount(8);
             r.DS.Display().FixedBitCount = true;
         },
         "EDXDrawError", "Primary Surface cannot be made"},
        {"a back surface too large", [](Rig& r) { r.DS.SetBounds(0, 0, 20000, 600); }, "EDXDrawError",
         "Surface cannot be made"},
        {"a handler failing",
         [](Rig& r) { r.DS.OnInitializing = [](TObject*) { throw EDirectDrawError("handler"); }; },
         "EDirectDrawError", "handler"},
    };
    for (const Case& c : cases) {
        Rig r;
        Probe p("P", r.Log);
        p.Listen(r.DS);
        c.Setup(r);
        r.Take();
        try {
            r.DS.FormShown();
            ADD_FAILURE() << c.Name << ": no exception";
        } catch (const Exception& e) {
            EXPECT_EQ(e.ClassName(), c.ClassName) << c.Name;
            EXPECT_EQ(e.Message, c.Message) << c.Name;
        }
        EXPECT_FALSE(r.DS.Initialized()) << c.Name;
        EXPECT_EQ(r.DS.Surface(), nullptr) << c.Name;
        EXPECT_EQ(r.DS.D2D(), nullptr) << c.Name;
        EXPECT_FALSE(r.DS.CanDraw()) << c.Name;
        for (const std::string& line : r.Log) {
            EXPECT_NE(line, "OnInitialize") << c.Name;
            EXPECT_NE(line, "OnFinalize") << c.Name;
        }
        r.Take();
        r.DS.FormShown(); // attempted once: never again by itself
        EXPECT_TRUE(r.Take().empty()) << c.Name;
    }
}

TEST(DXDraw, NeedsAnOpenScreenAndAFormWhenLoadedWithoutOne) {
    HeadlessPresenter closed;
    ListedDisplayModes modes({{800, 600, 16}});
    StubForm form;
    TDXDraw ds(nullptr, closed, modes);
    ds.SetParentForm(&form);
    try {
        ds.Initialize();
        ADD_FAILURE();
    } catch (const EDirectDrawError& e) {
        EXPECT_EQ(e.Message, "DirectDraw cannot be initialized");
    }
    TDXDraw formless(nullptr, closed, modes);
    EXPECT_THROW(formless.Loaded(), EDXDrawError); // AutoInitialize without a form to wait for
}

// The presented picture as rows of '#' (the colour Ink) and '.'.
std::string Shown(const HeadlessPresenter& P, uint32_t Ink, int Left, int Top, int Right, int Bottom) {
    std::string s;
    for (int y = Top; y < Bottom; ++y) {
        if (y > Top) s += '|';
        for (int x = Left; x < Right; ++x)
            s += P.LastFrame().View().Read(x, y) == Ink ? '#' : '.';
    }
    return s;
}

TEST(DXDraw, DrawsOnlyWhenItCanAndClearsEachScene) {
    Rig r;
    EXPECT_FALSE(r.DS.CanDraw());
    r.DS.BeginScene();
    r.DS.Flip();
    r.DS.UpdatePalette();
    EXPECT_EQ(r.Screen.PresentCount(), 0);

    r.DS.FormShown();
    ASSERT_TRUE(r.DS.CanDraw());
    TDirectDrawSurface& back = *r.DS.Surface();
    back.Fill(0xFFFF);
    r.DS.BeginScene();
    EXPECT_TRUE(r.DS.D2D()->InScene());
    bool black = true;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            black = black && back.View().Read(x, y) == 0;
    EXPECT_TRUE(black);
    back.Canvas().SetPixels(3, 4, 0xFFFFFF);
    back.Canvas().Release();
    r.DS.Flip();
    r.DS.EndScene();
    EXPECT_FALSE(r.DS.D2D()->InScene());
    ASSERT_EQ(r.Screen.PresentCount(), 1);
    EXPECT_EQ(r.Screen.LastFrame().View().Read(3, 4), 0xFFFFu);

    // Lost surfaces: nothing is drawn while restoring fails; afterwards the
    // surfaces are black and listeners rebuild.
    Probe p("P", r.Log);
    p.Listen(r.DS);
    r.Take();
    back.Buffer().SetLost(true);
    back.Buffer().SetRestoreBlocked(true);
    EXPECT_FALSE(r.DS.CanDraw());
    r.DS.Flip();
    EXPECT_EQ(r.Screen.PresentCount(), 1);
    EXPECT_TRUE(r.Take().empty());
    back.Canvas().SetPixels(3, 4, 0xFFFFFF); // the canvas has nothing to draw on
    back.Buffer().SetRestoreBlocked(false);
    EXPECT_TRUE(r.DS.CanDraw());
    EXPECT_EQ(r.Take(), (Strings{"P:dnRestore", "OnRestoreSurface"}));
    EXPECT_EQ(back.View().Read(3, 4), 0u);

    r.DS.Primary()->Buffer().SetLost(true);
    EXPECT_TRUE(r.DS.TryRestore());
    EXPECT_EQ(r.Take(), (Strings{"P:dnRestore", "OnRestoreSurface"}));
}

TEST(DXDraw, FlipCentresOddDifferencesWithTheExtraPixelRightAndBelow) {
    struct Case {
        const char* Name;
        int ControlWidth, ControlHeight;
        TDXDrawOptions Extra;
        std::string Corner;    // the presented picture from (0, 0) to (3, 3)
        std::string FarCorner; // from (Width - 3, Height - 3) to the end
    };
    const Case cases[] = {
        {"same size", 800, 600, {}, "###|###|###", "###|###|###"},
        {"one more", 801, 601, {}, "###|###|###", "##.|##.|..."},
        {"three more", 803, 603, {}, "...|.##|.##", "#..|...|..."},
        {"stretched", 803, 603, {doStretch}, "###|###|###", "###|###|###"},
    };
    for (const Case& c : cases) {
        Rig r;
        r.DS.FormShown();
        r.DS.AutoSize = false;
        r.DS.SetBounds(0, 0, c.ControlWidth, c.ControlHeight);
        r.DS.SetOptions(kShowOptions + c.Extra);
        r.DS.Surface()->Fill(0xFFFF);
        r.DS.Flip();
        const int w = c.ControlWidth, h = c.ControlHeight;
        EXPECT_EQ(Shown(r.Screen, 0xFFFF, 0, 0, 3, 3), c.Corner) << c.Name;
        EXPECT_EQ(Shown(r.Screen, 0xFFFF, w - 3, h - 3, w, h), c.FarCorner) << c.Name;
    }
}

TEST(DXDraw, PaletteTakesTheColourTableAroundTheStaticColours) {
    Rig r;
    r.DS.FormShown();
    for (int i = 0; i < 256; ++i)
        r.DS.ColorTable[size_t(i)] = TRGBQuad{uint8_t(i), 1, 2, 0};
    r.DS.UpdatePalette();
    const auto& entries = r.DS.Palette()->Entries();
    EXPECT_EQ(entries[100], (TPaletteEntry{2, 1, 100, 64}));
    EXPECT_EQ(entries[255], (TPaletteEntry{255, 255, 255, 64})); // white stays
    EXPECT_EQ(entries[9], (TPaletteEntry{166, 202, 240, 64}));
}

} // namespace
