#include "fx/fx_sinus.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "core/exception.h"

namespace {

// A still path: every event holds one value (as after Values, never started).
struct PathSettings {
    int32_t Amp = 10, YOffset = 100, XOffset = 0, SinusOffset = 0, Width = 400, Freq = 100;
    int32_t Step = 20, ItemCount = 20;
};

void Configure(TSinus& path, const PathSettings& s) {
    path.Amp->Value = s.Amp;
    path.YOffset->Value = s.YOffset;
    path.XOffset->Value = s.XOffset;
    path.SinusOffset->Value = s.SinusOffset;
    path.Width->Value = s.Width;
    path.Freq->Value = s.Freq;
    path.Step = s.Step;
    path.ItemCount = s.ItemCount;
    path.SetVisibleRect(-20, 0, 820, 600);
}

struct Item {
    int32_t X, Y, Angle;
    bool Visible;
    bool operator==(const Item&) const = default;
};

Item TiltedItem(const TSinus& path, int32_t index) {
    Item item{};
    item.Visible = path.GetPosition(index, item.X, item.Y, item.Angle);
    return item;
}

std::ostream& operator<<(std::ostream& out, const Item& i) {
    return out << "X " << i.X << " Y " << i.Y << " Angle " << i.Angle << (i.Visible ? " visible" : " hidden");
}

} // namespace

TEST(FxSinus, PlacesAndTiltsItems) {
    struct Case {
        const char* Name;
        PathSettings Settings;
        int32_t Index;
        Item Expected;
    };
    const PathSettings tall{.Amp = 100, .YOffset = 300};
    const PathSettings still{.Amp = 0, .YOffset = 42};
    const PathSettings noWidth{.Width = 0};
    const PathSettings noFreq{.Freq = 0};
    const PathSettings steep{.Amp = INT32_MAX};
    const Case cases[] = {
        {"item 0", {}, 0, {0, 100, 9, true}},
        {"item 5, crest", {}, 5, {100, 110, 259, true}},
        {"item 10", {}, 10, {200, 100, 251, true}},
        {"item 15, trough", {}, 15, {300, 90, 1, true}},
        {"tall item 0", tall, 0, {0, 300, 58, true}},
        {"tall item 10", tall, 10, {200, 300, 202, true}},
        {"amp 0", still, 7, {140, 42, 0, true}},
        {"index = ItemCount is answered", {}, 20, {400, 100, 9, true}},
        {"negative index", {}, -5, {-100, 90, 1, false}},
        {"width 0 is a flat line", noWidth, 3, {60, 100, 0, true}},
        {"freq 0 is a flat line", noFreq, 3, {60, 100, 0, true}},
        {"a near vertical fall", steep, 0, {0, 100, 90, true}},
    };
    for (const Case& c : cases) {
        TSinus path(nullptr);
        Configure(path, c.Settings);
        EXPECT_EQ(TiltedItem(path, c.Index), c.Expected) << c.Name;
    }
}

TEST(FxSinus, IndexAboveItemCountRaisesAndWritesNothing) {
    TSinus path(nullptr);
    Configure(path, {});
    int32_t x = -7, y = -8, angle = -9;
    try {
        path.GetPosition(21, x, y, angle);
        ADD_FAILURE() << "index 21 accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Itemindex out of bounds");
    }
    EXPECT_THROW(path.GetPosition(21, x, y), Exception);
    EXPECT_EQ(x, -7);
    EXPECT_EQ(y, -8);
    EXPECT_EQ(angle, -9);
}

TEST(FxSinus, VisibilityEdgesAreInclusive) {
    struct Case {
        const char* Name;
        int32_t X, Y;
        bool Visible;
    };
    const Case cases[] = {
        {"left edge", -20, 300, true},    {"left of it", -21, 300, false}, {"right edge", 820, 300, true},
        {"right of it", 821, 300, false}, {"top edge", 400, 0, true},      {"above it", 400, -1, false},
        {"bottom edge", 400, 600, true},  {"below it", 400, 601, false},
    };
    for (const Case& c : cases) {
        TSinus path(nullptr);
        // With Amp 0 and Step 0 every item sits exactly on (XOffset, YOffset).
        Configure(path, {.Amp = 0, .YOffset = c.Y, .XOffset = c.X, .Step = 0});
        int32_t x, y, angle;
        EXPECT_EQ(path.GetPosition(1, x, y, angle), c.Visible) << c.Name;
        EXPECT_EQ(path.GetPosition(1, x, y), c.Visible) << c.Name;
    }
}

TEST(FxSinus, QueryFormsAgree) {
    TSinus path(nullptr);
    Configure(path, {.Amp = 37,
                     .YOffset = 260,
                     .XOffset = -45,
                     .SinusOffset = 13,
                     .Width = 800,
                     .Freq = 300,
                     .Step = 7,
                     .ItemCount = 300});
    for (int32_t index = 0; index <= path.ItemCount; ++index) {
        const Item tilted = TiltedItem(path, index);
        int32_t x, y;
        const bool visible = path.GetPosition(index, x, y);
        EXPECT_EQ(x, tilted.X) << index;
        EXPECT_EQ(visible, tilted.Visible) << index;
        EXPECT_LE(std::abs(y - tilted.Y), 1) << index;
        int32_t pointY;
        EXPECT_EQ(path.GetPointAt(index * path.Step, pointY), tilted.Angle) << index;
        EXPECT_EQ(pointY, tilted.Y) << index;
    }
}

TEST(FxSinus, RunsItsEventsTogether) {
    TSinus path(nullptr);
    EXPECT_EQ(path.ClassName(), "TSinus");
    EXPECT_EQ(path.ComponentCount(), 6);
    path.SetDuration(10);
    path.XOffset->ValueOut = 100;
    path.Amp->ValueOut = 50;
    path.Start();
    EXPECT_TRUE(path.Enabled);
    for (int frame = 0; frame < 3; ++frame)
        path.Advance();
    EXPECT_EQ(path.XOffset->Value, 30);

    // A new duration reaches the events but leaves the running cycle alone.
    path.SetDuration(100);
    EXPECT_EQ(path.GetDuration(), 100);
    EXPECT_EQ(path.Freq->Duration, 100);
    EXPECT_EQ(path.XOffset->CycleLength(), 10);
    for (int frame = 0; frame < 7; ++frame)
        path.Advance();
    EXPECT_FALSE(path.XOffset->Enabled);
    EXPECT_EQ(path.XOffset->Value, 100);

    // A finished event is skipped; the others keep running.
    path.Start();
    EXPECT_EQ(path.Amp->CycleLength(), 100);
    path.XOffset->Stop();
    path.Advance();
    EXPECT_EQ(path.XOffset->Value, 0);
    EXPECT_EQ(path.Amp->Value, 0); // 0.5 truncated
    path.Advance();
    EXPECT_EQ(path.Amp->Value, 1);
}

TEST(FxSinus, XOffsetDoneMayRestartThePath) {
    TSinus path(nullptr);
    path.SetDuration(2);
    path.XOffset->ValueOut = 10;
    path.Freq->ValueOut = 10;
    int restarts = 0;
    path.XOffset->OnDone = [&](TObject*) {
        ++restarts;
        path.Start();
    };
    path.Start();
    path.Advance();
    path.Advance();
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(path.XOffset->Value, 0);
    // The events after XOffset were restarted and then advanced in the same call.
    EXPECT_EQ(path.Freq->Value, 5);
    EXPECT_EQ(path.Freq->Count, 1);
}
