// The caption images: the year caption replacing yearlist image 1 and counting
// the year on, and the date and time appended after it, each the cloud with
// navy bold lettering at its place.
#include <gtest/gtest.h>

#include "render/dib.h"
#include "render/picture.h"
#include "show/show_rig.h"

namespace {

const TDIB& DibOf(TPictureCollectionItem& Item) {
    return dynamic_cast<const TDIB&>(*Item.Picture().Graphic());
}

struct CaptionLook {
    std::string Text;
    int Size; // points
    int X, Y;
};

// The cloud with Look written on it as a caption reads: Verdana bold, navy, no text background.
std::unique_ptr<TDIB> ExpectedCaption(TMainForm& Form, const CaptionLook& Look) {
    auto dib = std::make_unique<TDIB>();
    dib->Assign(&Form.yearlist->Items().Items(0)->Picture());
    Canvas& canvas = dib->Canvas();
    canvas.Font.Name = "Verdana";
    canvas.Font.Color = RGB(0, 0, 128);
    canvas.Font.Size = Look.Size;
    canvas.Font.Bold = true;
    canvas.Brush.Style = bsClear;
    canvas.TextOut(Look.X, Look.Y, Look.Text);
    return dib;
}

// Checks yearlist image Index against the expected caption and its keying.
void ExpectCaption(TMainForm& Form, int Index, const CaptionLook& Look) {
    SCOPED_TRACE(Look.Text);
    TPictureCollectionItem& item = *Form.yearlist->Items().Items(Index);
    const auto* shown = dynamic_cast<const TDIB*>(item.Picture().Graphic());
    ASSERT_NE(shown, nullptr);
    const std::unique_ptr<TDIB> expected = ExpectedCaption(Form, Look);
    ASSERT_EQ(shown->Width(), 300);
    ASSERT_EQ(shown->Height(), 157);
    EXPECT_EQ(DifferentPixels(shown->View(), expected->View()), 0);
    // The lettering really is there: the caption is not the bare cloud.
    EXPECT_GT(DifferentPixels(shown->View(), DibOf(*Form.yearlist->Items().Items(0)).View()), 500);
    EXPECT_TRUE(item.Transparent && item.SystemMemory);
    EXPECT_EQ(item.TransparentColor(), 0xFFFFFFu);
}

} // namespace

TEST(Captions, YearCaptionsReplaceImageOneAndDateAndTimeFollow) {
    ShowRig run;
    TMainForm& form = *run.Form;
    TPictureCollection& captions = form.yearlist->Items();
    ASSERT_EQ(captions.Count(), 2);
    EXPECT_EQ(captions.Items(1)->Picture().Graphic(), nullptr); // the placeholder
    EXPECT_EQ(form.Year, 1975);

    form.RenderYearCaption();
    EXPECT_EQ(captions.Count(), 2);
    EXPECT_EQ(form.Year, 1976);
    ExpectCaption(form, 1, {"1975", 64, 30, 30});

    for (int n = 2; n <= 4; ++n) {
        form.RenderYearCaption();
        EXPECT_EQ(form.Year, 1975 + n);
        EXPECT_EQ(captions.Count(), 2);
    }
    ExpectCaption(form, 1, {"1978", 64, 30, 30});

    form.RenderDateCaption();
    EXPECT_EQ(captions.Count(), 4);
    EXPECT_EQ(form.Year, 1979);
    ExpectCaption(form, 1, {"1978", 64, 30, 30});
    ExpectCaption(form, 2, {"26 Juni", 42, 30, 40});
    ExpectCaption(form, 3, {"18:00", 50, 40, 40});
}
