#include <gtest/gtest.h>

#include "platform/platform_services.h"
#include "render/direct_draw_surface.h"
#include "render/display_form.h"
#include "render/dx_draw.h"
#include "render/dx_timer.h"

namespace {

class ShownForm : public TComponent, public DisplayForm {
public:
    ShownForm() : TComponent(nullptr) {}
    bool FormActive() const override { return true; }
};

// The show's frame loop on the headless platform: the display comes up when
// the form is shown, its OnInitialize enables the timer, and every tick draws
// and presents one frame without any real waiting.
TEST(HeadlessLoop, RunsFramesOnTheFakeClockAndStopsWhileInactive) {
    PlatformServices services = MakeHeadlessPlatform();
    ShownForm form;
    auto* ds = new TDXDraw(&form, services);
    auto* timer = new TDXTimer(&form, services);
    ds->SetParentForm(&form);
    ds->SetBounds(0, 0, 800, 600);
    ds->Display().SetWidth(800);
    ds->Display().SetHeight(600);
    ds->Display().SetBitCount(16);
    ds->SetOptions({doFullScreen, doWaitVBlank, doCenter, do3D, doDirectX7Mode, doHardware});
    timer->BeginLoading();
    timer->SetEnabled(false);
    timer->SetInterval(30);
    timer->Loaded();
    ds->OnInitialize = [&](TObject*) { timer->SetEnabled(true); };
    ds->OnFinalize = [&](TObject*) { timer->SetEnabled(false); };
    int frames = 0;
    timer->OnTimer = [&](TObject*, int32_t) {
        if (!ds->CanDraw()) return;
        ds->BeginScene();
        ds->Surface()->Canvas().SetPixels(frames % 800, 0, 0xFFFFFF);
        ds->Surface()->Canvas().Release();
        ds->Flip();
        ds->EndScene();
        // Switching away after 100 frames: the ActiveOnly timer sleeps and
        // the loop, with nothing left that could happen, ends by itself.
        if (++frames == 100) services.HeadlessApp->PostActivation(false);
    };
    ds->Loaded();
    services.Screen->Open("ZQ");
    ds->FormShown();
    services.App->Run();
    EXPECT_EQ(frames, 100);
    EXPECT_EQ(services.HeadlessScreen->PresentCount(), 100);
    EXPECT_EQ(services.FakeTime->Milliseconds(), 3000u);
    // Each frame starts black: only this frame's pixel is lit.
    EXPECT_EQ(services.HeadlessScreen->LastFrame().View().Read(99, 0), 0xFFFFu);
    EXPECT_EQ(services.HeadlessScreen->LastFrame().View().Read(98, 0), 0u);
    EXPECT_FALSE(services.App->Terminated());
    EXPECT_TRUE(timer->Enabled());
    ds->FormDestroyed();
    EXPECT_FALSE(timer->Enabled());
}

} // namespace
