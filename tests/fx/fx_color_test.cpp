#include "fx/fx_color.h"

#include <gtest/gtest.h>
#include <vector>

#include "core/exception.h"

namespace {

void SetFade(TFxColor& color, const char* begin, const char* end, int32_t duration) {
    color.BeginColor = begin;
    color.EndColor = end;
    color.Duration = duration;
}

std::string AdvanceTimes(TFxColor& color, int calls) {
    std::string text;
    for (int call = 0; call < calls; ++call)
        text = color.AdvanceColor();
    return text;
}

} // namespace

TEST(FxColor, ColorToHexWritesTheLowestByteFirst) {
    EXPECT_EQ(TFxColor::ColorToHex(0), "000000");
    EXPECT_EQ(TFxColor::ColorToHex(11851502), "EED6B4");
    EXPECT_EQ(TFxColor::ColorToHex(0x0000FF), "FF0000");
    EXPECT_EQ(TFxColor::ColorToHex(0x12345678), "785634") << "the top byte is ignored";
}

TEST(FxColor, FadesEveryChannelOverTheDuration) {
    TFxColor color(nullptr);
    EXPECT_EQ(color.ClassName(), "TFxColor");
    EXPECT_EQ(color.GetColor(), "$000000");
    SetFade(color, "000000", "EED6B4", 300);
    // The inherited run length is only a setting that the fade's own Duration overrides.
    static_cast<TFxEvent&>(color).Duration = 7;
    color.Start();
    EXPECT_TRUE(color.Enabled);
    EXPECT_FALSE(static_cast<TFxEvent&>(color).Enabled) << "the inherited tween never runs";
    EXPECT_EQ(color.GetColor(), "$000000");
    EXPECT_EQ(color.AdvanceColor(), "$000000");
    EXPECT_EQ(AdvanceTimes(color, 100), "$50483C");
    EXPECT_EQ(color.GetColor(), "$50483C");
    EXPECT_EQ(color.GetColor(), "$50483C");
    EXPECT_EQ(AdvanceTimes(color, 199), "$EED6B4");
    for (const TFxEvent* channel : color.Channels)
        EXPECT_FALSE(channel->Enabled);
    EXPECT_EQ(color.AdvanceColor(), "$EED6B4");
    EXPECT_TRUE(color.Enabled);
}

TEST(FxColor, ChannelsTakeTheInheritedSettings) {
    TFxColor color(nullptr);
    SetFade(color, "102030", "EED6B4", 10);
    color.Reversed = true;
    std::vector<TObject*> doneSenders;
    color.OnDone = [&](TObject* sender) { doneSenders.push_back(sender); };
    color.Start();
    EXPECT_EQ(color.GetColor(), "$EED6B4");
    EXPECT_EQ(AdvanceTimes(color, 10), "$102030");
    const std::vector<TObject*> channels{color.Channels[0], color.Channels[1], color.Channels[2]};
    EXPECT_EQ(doneSenders, channels);
}

TEST(FxColor, BadColorTextStopsStart) {
    struct Case {
        const char* Name;
        const char* Begin;
        const char* End;
        const char* Message;
        std::vector<int32_t> ValueOuts; // how far Start got: 5 is the copied setting
    };
    const Case cases[] = {
        {"empty end colour", "000000", "", "'$' is not a valid integer value", {5, 5, 5}},
        {"short end colour", "000000", "EED6", "'$' is not a valid integer value", {0xEE, 0xD6, 5}},
        {"not hexadecimal", "00G000", "EED6B4", "'$G0' is not a valid integer value", {0xEE, 5, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFxColor color(nullptr);
        SetFade(color, c.Begin, c.End, 10);
        color.ValueOut = 5;
        try {
            color.Start();
            ADD_FAILURE() << "Start accepted the colours";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, c.Message);
        }
        EXPECT_FALSE(color.Enabled);
        const std::vector<int32_t> valueOuts{color.Channels[0]->ValueOut, color.Channels[1]->ValueOut,
                                             color.Channels[2]->ValueOut};
        EXPECT_EQ(valueOuts, c.ValueOuts);
        for (const TFxEvent* channel : color.Channels)
            EXPECT_FALSE(channel->Enabled);
    }
}
