#include "fx/fx_sinus.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "core/exception.h"

namespace {

// A still path: every event holds one value (as after Values, never started).
struct PathSettings {
    int32_t amp = 10, yOffset = 100, xOffset = 0, sinusOffset = 0, width = 400, freq = 100;
    int32_t step = 20, itemCount = 20;
};

void Configure(TSinus& path, const PathSettings& s) {
    path.Amp->Value = s.amp;
    path.YOffset->Value = s.yOffset;
    path.XOffset->Value = s.xOffset;
    path.SinusOffset->Value = s.sinusOffset;
    path.Width->Value = s.width;
    path.Freq->Value = s.freq;
    path.Step = s.step;
    path.ItemCount = s.itemCount;
    path.SetVisibleRect(-20, 0, 820, 600);
}

struct Item {
    int32_t x, y, angle;
    bool visible;
    bool operator==(const Item&) const = default;
};

Item TiltedItem(const TSinus& path, int32_t index) {
    Item item{};
    item.visible = path.GetPosition(index, item.x, item.y, item.angle);
    return item;
}

std::ostream& operator<<(std::ostream& out, const Item& i) {
    return out << "X " << i.x << " Y " << i.y << " Angle " << i.angle << (i.visible ? " visible" : " hidden");
}

} // namespace

TEST(FxSinus, PlacesAndTiltsItems) {
    struct Case {
        const char* name;
        PathSettings settings;
        int32_t index;
        Item expected;
    };
    const PathSettings tall{.amp = 100, .yOffset = 300};
    const PathSettings still{.amp = 0, .yOffset = 42};
    const PathSettings noWidth{.width = 0};
    const PathSettings noFreq{.freq = 0};
    const PathSettings steep{.amp = INT32_MAX};
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
        Configure(path, c.settings);
        EXPECT_EQ(TiltedItem(path, c.index), c.expected) << c.name;
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
        const char* name;
        int32_t x, y;
        bool visible;
    };
    const Case cases[] = {
        {"left edge", -20, 300, true},    {"left of it", -21, 300, false}, {"right edge", 820, 300, true},
        {"right of it", 821, 300, false}, {"top edge", 400, 0, true},      {"above it", 400, -1, false},
        {"bottom edge", 400, 600, true},  {"below it", 400, 601, false},
    };
    for (const Case& c : cases) {
        TSinus path(nullptr);
        // With Amp 0 and Step 0 every item sits exactly on (XOffset, YOffset).
        Configure(path, {.amp = 0, .yOffset = c.y, .xOffset = c.x, .step = 0});
        int32_t x, y, angle;
        EXPECT_EQ(path.GetPosition(1, x, y, angle), c.visible) << c.name;
        EXPECT_EQ(path.GetPosition(1, x, y), c.visible) << c.name;
    }
}

TEST(FxSinus, QueryFormsAgree) {
    TSinus path(nullptr);
    Configure(path, {.amp = 37,
                     .yOffset = 260,
                     .xOffset = -45,
                     .sinusOffset = 13,
                     .width = 800,
                     .freq = 300,
                     .step = 7,
                     .itemCount = 300});
    for (int32_t index = 0; index <= path.ItemCount; ++index) {
        const Item tilted = TiltedItem(path, index);
        int32_t x, y;
        const bool visible = path.GetPosition(index, x, y);
        EXPECT_EQ(x, tilted.x) << index;
        EXPECT_EQ(visible, tilted.visible) << index;
        EXPECT_LE(std::abs(y - tilted.y), 1) << index;
        int32_t pointY;
        EXPECT_EQ(path.GetPointAt(index * path.Step, pointY), tilted.angle) << index;
        EXPECT_EQ(pointY, tilted.y) << index;
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
