#include "EngineRig.h"

#include <gtest/gtest.h>

using namespace jhk;
using namespace jhk::testing;

using Wallet = std::array<std::int16_t, 5>;

TEST(Money, MoneyInHandInputs)
{
    struct Case {
        const char *answer;
        const char *message; // nullptr: accepted
        int money;
        Wallet wallet;
    };
    const Wallet unchanged = {2, 1, 1, 2, 5};
    const Case cases[] = {
        {"10000", nullptr, 10000, {10, 0, 0, 0, 0}},
        {"9999", nullptr, 9999, {9, 1, 4, 1, 4}},
        {"9990", nullptr, 9990, {9, 1, 4, 1, 4}},
        {"0", nullptr, 0, {0, 0, 0, 0, 0}},
        {" 780 ", nullptr, 780, {0, 1, 2, 1, 3}},
        {"１２３０", nullptr, 1230, {1, 0, 2, 0, 3}},
        {"99.5", nullptr, 100, {0, 0, 1, 0, 0}},      // whole yen, halves to even
        {"10005", msg::TooMuchMoney, 2670, unchanged},
        {"10000.5", msg::TooMuchMoney, 2670, unchanged},
        {"abc", msg::NotANumber, 2670, unchanged},
        {"12円", msg::NotANumber, 2670, unchanged},
        {"0x10", msg::NotANumber, 2670, unchanged},
        {"   ", msg::NotANumber, 2670, unchanged},
        {"-100", msg::NegativeMoney, 2670, unchanged},
        {"－５", msg::NegativeMoney, 2670, unchanged},
    };
    for (const Case &c : cases) {
        Rig r;
        r.engine.setMoneyInHand(c.answer);
        SCOPED_TRACE(c.answer);
        EXPECT_EQ(r.view.messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_EQ(r.m.app.MoneyInHand, c.money);
        EXPECT_EQ(r.m.app.Wallet, c.wallet);
        if (!c.message) {
            EXPECT_EQ(r.m.app.MoneySetting, c.money);
            EXPECT_EQ(r.engine.stage().moneyLabel, std::string("所持金：￥") + c.answer);
        } else {
            EXPECT_EQ(r.m.app.MoneySetting, 9990);
        }
    }
}

TEST(Money, EmptyAnswerOrARunningMachineChangesNothing)
{
    Rig r;
    r.engine.setMoneyInHand("");
    r.add(KindButton, 10, 10);
    r.engine.startRun();
    r.engine.setMoneyInHand("500");
    EXPECT_TRUE(r.view.messages.empty());
    EXPECT_EQ(r.m.app.MoneyInHand, 2670);
}

TEST(Money, CoinDropsOnAndOffTheSlot)
{
    Rig r;
    buildVendingMachine(r);
    r.engine.startRun();
    const int slotLeft = r.m.part(CoinSlot).Left;
    const int slotTop = r.m.part(CoinSlot).Top;
    struct Case {
        int dx, dy; // from the slot's corner, twips
        bool counted;
    };
    const Case cases[] = {
        {0, 0, true},
        {31 * 15, 31 * 15, true},
        {32 * 15, 0, false}, // one pixel square of 32 × 32, whatever the picture's size
        {0, 32 * 15, false},
        {-1, 0, false},
    };
    int expected = 0;
    for (const Case &c : cases) {
        r.m.app.Wallet[4] = 5;
        r.dropCoin(4, std::pair{slotLeft + c.dx, slotTop + c.dy});
        expected += c.counted ? 10 : 0;
        EXPECT_EQ(r.m.part(Counter).A(), expected) << c.dx << "," << c.dy;
        EXPECT_EQ(r.m.app.Wallet[4], c.counted ? 4 : 5);
        EXPECT_EQ(r.engine.stage().coins[9].rect.left, 150) << "the coin goes back to the wallet";
    }
    EXPECT_EQ(r.m.app.CoinIndex, 4);
}

TEST(Money, CoinDroppedOutsideTheStageGoesBack)
{
    Rig r;
    const int counter = r.add(KindCounter, 10, 10);
    const int slot = r.add(KindCoinSlot, 390, 100); // close to the right edge
    r.program(slot, {B{0, BlockAddMoney, {counter}, 99}});
    r.engine.startRun();
    // the coin (30 px) would hang over the right edge of the stage (408 px)
    r.dropCoin(2);
    EXPECT_EQ(r.m.part(counter).A(), 0);
    EXPECT_EQ(r.m.app.Wallet[2], 1);
}

TEST(Money, LastCoinOfADenominationHidesItsPicturesAndLabel)
{
    Rig r;
    buildVendingMachine(r);
    r.engine.startRun();
    const Stage &s = r.engine.stage();
    r.dropCoin(0); // two 1000-yen notes: now one, one picture
    EXPECT_EQ(s.coinLabels[0].text, "1枚");
    EXPECT_TRUE(s.coins[0].visible);
    EXPECT_FALSE(s.coins[5].visible);
    r.dropCoin(0);
    EXPECT_FALSE(s.coins[0].visible || s.coins[5].visible || s.coinLabels[0].visible);
    EXPECT_EQ(r.engine.visibleCoin(0), -1);
    EXPECT_EQ(r.m.app.Wallet[0], 0);
    r.dropCoin(0); // nothing left to drag
    EXPECT_EQ(r.m.app.Wallet[0], 0);
    EXPECT_EQ(r.m.part(Counter).A(), 2000);
}

TEST(Money, CoinsNeedARunAndACoinSlot)
{
    Rig r;
    const int counter = r.add(KindCounter, 10, 10);
    EXPECT_EQ(r.engine.visibleCoin(2), -1); // no wallet while editing
    r.engine.startRun();
    r.dropCoin(2, std::pair{0, 0}); // no coin slot on the stage
    EXPECT_EQ(r.m.app.Wallet[2], 1);
    EXPECT_EQ(r.m.part(counter).A(), 0);
    // events of coin pictures that are not held, or do not exist, change nothing
    const Stage before = r.engine.stage();
    for (int k : {-1, 3, 10}) {
        r.engine.coinMove(k, 100, 100);
        r.engine.coinUp(k);
    }
    EXPECT_EQ(r.engine.stage().coins[3].rect, before.coins[3].rect);
    EXPECT_EQ(r.m.app.Wallet, (Wallet{2, 1, 1, 2, 5}));
}

// A level-1 coin slot in step 1 has its blocks switched off: a coin goes in, but no program
// runs, even when the pupil had already set the blocks' parameters in a later step.
TEST(Money, SwitchedOffCoinSlotRunsNothing)
{
    Rig r(1);
    const int counter = r.add(KindCounter, 10, 10);
    const int slot = r.add(KindCoinSlot, 300, 300);
    ASSERT_EQ(r.m.part(slot).BlockCount, 0);
    r.m.part(slot).Blocks[0].Param[1] = ParamValue(counter);
    r.engine.startRun();
    r.dropCoin(2);
    EXPECT_EQ(r.m.part(counter).A(), 0);
    EXPECT_EQ(r.m.app.Wallet[2], 0);
    EXPECT_EQ(r.player.played, std::vector<std::string>{"Money_1.wav async"});

    r.engine.stopRun();
    r.engine.chooseExerciseStep(2);
    r.engine.startRun();
    r.dropCoin(2);
    EXPECT_EQ(r.m.part(counter).A(), 100);
}

// With 1000 yen in hand the pupil puts the note in, buys a 120-yen drink and takes the change:
// in hand and in the wallet 880 yen during the run, and after "停止" what there was before.
TEST(Money, CoinsInsertedAreTakenFromTheMoneyInHandUntilTheRunStops)
{
    for (bool oneBlock : {false, true}) {
        SCOPED_TRACE(oneBlock ? "one block at a time" : "running");
        Rig r;
        buildVendingMachine(r);
        r.engine.setMoneyInHand("１０００");
        r.engine.startRun();
        const Stage &s = r.engine.stage();
        if (oneBlock) {
            r.engine.stepMode();
            r.dropCoin(0);
            EXPECT_EQ(r.m.app.MoneyInHand, 1000) << "taken with the coin, when the program has run";
            while (r.engine.stepRunInProgress())
                r.engine.nextStep();
        } else {
            r.dropCoin(0);
        }
        EXPECT_EQ(r.m.app.MoneyInHand, 0);
        EXPECT_EQ(s.moneyLabel, "所持金：￥0");
        if (oneBlock) {
            r.engine.stopRun();
            EXPECT_EQ(r.m.app.MoneyInHand, 1000);
            EXPECT_EQ(s.moneyLabel, "所持金：￥１０００");
            continue;
        }
        r.engine.touchPart(Button);
        r.engine.touchPart(Lever);
        EXPECT_EQ(r.m.app.MoneyInHand, 880);
        EXPECT_EQ(s.moneyLabel, "所持金：￥880");
        EXPECT_EQ(r.m.app.Wallet, (Wallet{0, 1, 3, 1, 3}));
        r.engine.stopRun();
        EXPECT_EQ(r.m.app.MoneyInHand, 1000);
        EXPECT_EQ(s.moneyLabel, "所持金：￥１０００") << "the label as the pupil typed it";
        EXPECT_EQ(r.m.app.Wallet, (Wallet{1, 0, 0, 0, 0}));
    }
}

TEST(Money, MoneyInHandStaysWithinSixteenBits)
{
    Rig r;
    buildVendingMachine(r);
    r.engine.startRun();
    r.m.app.MoneyInHand = -32000;
    r.dropCoin(0);
    EXPECT_EQ(r.m.app.MoneyInHand, -32768);
    EXPECT_EQ(r.engine.stage().moneyLabel, "所持金：￥-32768");
}

// The desktop's drag: the coin's centre over the slot's picture (30 × 30 here) or within
// 8 pixels of it. The coin picture is 30 × 30, so its centre is 15 pixels from its corner.
TEST(Money, CoinCentredOnTheSlotGoesIn)
{
    Rig r;
    buildVendingMachine(r);
    r.engine.startRun();
    const StageRect slot = r.engine.stage().part(CoinSlot).rect;
    ASSERT_EQ(slot.width, 30 * 15);
    struct Case {
        int cx, cy; // the coin's centre from the slot's corner, pixels
        bool counted;
    };
    const Case cases[] = {
        {15, 15, true},   // right on it
        {-8, 0, true},    // 8 pixels left of the picture
        {-9, 15, false},
        {37, 37, true},   // 8 pixels beyond its right and bottom edges
        {38, 15, false},
        {15, -9, false},
        {46, 46, false},  // the corner rule would take this one: its corner is in the square
    };
    int expected = 0;
    for (const Case &c : cases) {
        r.m.app.Wallet[4] = 5;
        const int k = r.engine.visibleCoin(4);
        const StageRect from = r.engine.stage().coins[static_cast<std::size_t>(k)].rect;
        r.engine.coinDown(k, 0, 0);
        r.engine.coinMove(k, slot.left + (c.cx - 15) * 15 - from.left, slot.top + (c.cy - 15) * 15 - from.top);
        r.engine.coinUp(k, CoinAim::Centre);
        expected += c.counted ? 10 : 0;
        EXPECT_EQ(r.m.part(Counter).A(), expected) << c.cx << "," << c.cy;
        EXPECT_EQ(r.engine.stage().coins[static_cast<std::size_t>(k)].rect, from) << "the coin goes back to the wallet";
    }
}
