#include "model/AppState.h"

#include <gtest/gtest.h>

using namespace jhk;

TEST(Startup, ValuesAtFifteenTwipsPerPixel)
{
    AppState app;
    applyStartupValues(app, 15.0, 15.0);
    EXPECT_EQ(app.TwipsX, 15);
    EXPECT_EQ(app.DigitLeft, 690);
    EXPECT_EQ(app.DigitTop, 195);
    EXPECT_EQ(app.MoneyInHand, 9990);
    EXPECT_EQ(app.MoneySetting, 9990);
    EXPECT_EQ(app.Wallet, (std::array<std::int16_t, 5>{2, 1, 1, 2, 5}));
    EXPECT_EQ(app.CurParts, -1);
    EXPECT_EQ(app.CoinIndex, -1);
    EXPECT_EQ(app.ColorTable[7], static_cast<std::int32_t>(0x80000004u));
    EXPECT_EQ(app.RunMode, ModeEditing);
}

TEST(Startup, TwipsPerPixelRoundsHalvesToEven)
{
    AppState app;
    applyStartupValues(app, 12.5, 13.5);
    EXPECT_EQ(app.TwipsX, 12);
    EXPECT_EQ(app.TwipsY, 14);
}

TEST(Startup, ScreenCheckAcceptsExactly800By600)
{
    struct Case { int w, h; bool starts; };
    for (const Case c : {Case{800, 600, true}, Case{1920, 1080, true}, Case{799, 600, false},
                         Case{800, 599, false}}) {
        const auto msg = screenCheck(c.w * 15LL, c.h * 15LL, 15, 15);
        EXPECT_EQ(!msg.has_value(), c.starts) << c.w << "x" << c.h;
        if (msg)
            EXPECT_EQ(*msg, "ﾃﾞｽｸﾄｯﾌﾟ領域 800×600 以上でないと起動できません.変更してやり直して下さい");
    }
}

TEST(Startup, EverySlotStartsFree)
{
    Machine m;
    ASSERT_EQ(m.parts.size(), 31u);
    ASSERT_EQ(m.labels.size(), 11u);
    for (const PartsRecord &p : m.parts) {
        EXPECT_EQ(p.Used, 0);
        EXPECT_EQ(p.FirstBlock, -1);
        EXPECT_EQ(p.BlockCount, 0);
        for (std::size_t k = 0; k < p.Blocks.size(); ++k) {
            const BlockRecord &b = p.Blocks[k];
            EXPECT_EQ(b.Kind, -1);
            EXPECT_EQ(b.BlockNo, static_cast<int>(k));
            EXPECT_EQ(b.NextBlock2, -1);
            EXPECT_TRUE(b.Param[3].isUnset());
            EXPECT_TRUE(b.Caption.empty());
        }
    }
    for (const LabelRecord &l : m.labels)
        EXPECT_EQ(l.Used, 0);
}
