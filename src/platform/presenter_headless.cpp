#include "platform/presenter_headless.h"

#include "core/exception.h"
#include "platform/pixel_copy.h"
#include "platform/png_writer.h"

void HeadlessPresenter::Open(const std::string& Caption) {
    FCaption = Caption;
    FOpen = true;
}

void HeadlessPresenter::Present(const PixelView& Frame, const TRect& Target, int ScreenWidth,
                                int ScreenHeight, bool /*WaitVBlank*/) {
    if (!FOpen) return;
    ++FPresentCount;
    if (!KeepFrames && !OnPresent) return;
    const bool sameScreen = !FScreen.Empty() && FScreen.Width() == ScreenWidth &&
                            FScreen.Height() == ScreenHeight && FScreen.Format() == Frame.Format;
    if (!sameScreen && !FScreen.Create(ScreenWidth, ScreenHeight, Frame.Format)) return;
    const TRect screen = Rect(0, 0, ScreenWidth, ScreenHeight);
    // Black where the frame does not cover the screen.
    if (Intersect(Target, screen) != screen) FScreen.Fill(0);
    if (Target.Width() == Frame.Width && Target.Height() == Frame.Height) {
        CopyPixels(FScreen.View(), Target.Left, Target.Top, Frame, ViewBounds(Frame));
    } else {
        StretchPixels(FScreen.View(), Target, Frame, ViewBounds(Frame));
    }
    if (OnPresent) OnPresent(FScreen.View());
}

void HeadlessPresenter::SaveFrame(const std::string& FileName) const {
    if (FScreen.Empty())
        throw Exception(Format("Cannot write \"%s\": no frame was presented", FileName.c_str()));
    WritePng(FileName, FScreen.View());
}
