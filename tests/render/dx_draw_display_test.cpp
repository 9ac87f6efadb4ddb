#include "render/dx_draw_display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/dx_draw_errors.h"

namespace {

struct ModeCase {
    const char* Name;
    std::vector<DisplayMode> Offered;
    DisplayMode Wanted;
    bool FixedBitCount, FixedRatio;
    bool Ok;
    DisplayMode Chosen; // what Display holds afterwards
};

TEST(DXDrawDisplay, ChoosesTheExactModeOrTheRightSubstitute) {
    // clang-format off
    const ModeCase cases[] = {
        {"exact", {{640, 480, 16}, {800, 600, 16}, {1024, 768, 16}}, {800, 600, 16}, false, true, true, {800, 600, 16}},
        {"same ratio first, though a wider mode is smaller",
         {{1000, 600, 16}, {1280, 1024, 16}, {1024, 768, 16}},
         {800, 600, 16},
         false, true, true, {1024, 768, 16}},
        {"any ratio when no mode has the same one",
         {{1280, 1024, 16}, {1000, 600, 32}},
         {800, 600, 16},
         false, true, true, {1000, 600, 32}},
        {"any ratio at once without FixedRatio",
         {{1024, 768, 16}, {1000, 600, 16}},
         {800, 600, 16},
         false, false, true, {1000, 600, 16}},
        {"FixedBitCount wants the very bit count", {{1024, 768, 32}}, {800, 600, 16}, true, true, false, {800, 600, 16}},
        {"FixedBitCount finds it", {{1024, 768, 32}, {1024, 768, 16}}, {800, 600, 16}, true, true, true, {1024, 768, 16}},
        {"9 or more: 16 bits stand in for 24", {{1024, 768, 16}}, {800, 600, 24}, false, true, true, {1024, 768, 16}},
        {"more bits stand in for 8", {{800, 600, 16}}, {800, 600, 8}, false, true, true, {800, 600, 16}},
        {"8 bits never stand in for more", {{800, 600, 8}}, {800, 600, 16}, false, true, false, {800, 600, 16}},
        {"the same size at the wanted bit count is preferred",
         {{1024, 768, 32}, {1024, 768, 16}, {1024, 768, 24}},
         {800, 600, 24},
         false, true, true, {1024, 768, 24}},
        {"too small everywhere", {{640, 480, 16}}, {800, 600, 16}, false, true, false, {800, 600, 16}},
        {"no size asked", {{640, 480, 16}}, {0, 600, 16}, false, true, false, {0, 600, 16}},
    };
    // clang-format on
    for (const ModeCase& c : cases) {
        ListedDisplayModes source(c.Offered);
        TDXDrawDisplay display(source);
        display.SetWidth(c.Wanted.Width);
        display.SetHeight(c.Wanted.Height);
        display.SetBitCount(c.Wanted.BitCount);
        display.FixedBitCount = c.FixedBitCount;
        display.FixedRatio = c.FixedRatio;
        EXPECT_EQ(display.SetMode(), c.Ok) << c.Name;
        EXPECT_EQ((DisplayMode{display.Width(), display.Height(), display.BitCount()}), c.Chosen) << c.Name;
        if (c.Ok) {
            EXPECT_EQ(source.Current(), c.Chosen) << c.Name;
        }
    }
}

TEST(DXDrawDisplay, KeepsItsValuesSoundAndSortsTheModeList) {
    ListedDisplayModes source({{1024, 768, 32}, {800, 600, 32}, {800, 600, 16}, {1024, 600, 16}});
    TDXDrawDisplay display(source);
    EXPECT_EQ(display.Width(), 640);
    EXPECT_EQ(display.BitCount(), 8);
    display.SetWidth(-5);
    EXPECT_EQ(display.Width(), 0);
    for (int bad : {0, 1, 15, 17, 64, -16}) {
        try {
            display.SetBitCount(bad);
            ADD_FAILURE() << bad;
        } catch (const EDirectDrawError& e) {
            EXPECT_EQ(e.Message, "Display requires 8, 16, 24 or 32 bits");
        }
    }
    EXPECT_EQ(display.BitCount(), 8);

    ASSERT_EQ(display.Count(), 4);
    std::vector<TDXDrawDisplayMode> sorted;
    for (int i = 0; i < display.Count(); ++i)
        sorted.push_back(display.Modes(i));
    EXPECT_EQ(sorted, (std::vector<TDXDrawDisplayMode>{
                          {800, 600, 16}, {800, 600, 32}, {1024, 600, 16}, {1024, 768, 32}}));
    EXPECT_THROW(display.Modes(4), EListError);
}

} // namespace
