#include "EngineRig.h"

#include "model/Level1Programs.h"

#include <gtest/gtest.h>

using namespace jhk;
using namespace jhk::testing;

using Lines = std::vector<std::string>;

TEST(RunControl, StartAndStopSetTheButtonsAndTheWallet)
{
    Rig r;
    buildVendingMachine(r);
    r.engine.startRun();
    const Stage &s = r.engine.stage();
    EXPECT_EQ(r.m.app.RunMode, ModeRunning);
    EXPECT_EQ(s.stateLabel, "実行中");
    EXPECT_FALSE(s.controls.startEnabled);
    EXPECT_TRUE(s.controls.stopEnabled && s.controls.stepEnabled);
    EXPECT_FALSE(s.controls.openEnabled || s.controls.saveEnabled || s.controls.moneyEnabled);
    EXPECT_FALSE(s.controls.partButtonsEnabled || s.controls.labelButtonEnabled || s.controls.deleteEnabled);
    // wallet 2, 1, 1, 2, 5: one coin shows one picture
    EXPECT_TRUE(s.coins[0].visible && s.coins[5].visible);
    EXPECT_FALSE(s.coins[1].visible);
    EXPECT_TRUE(s.coins[6].visible);
    EXPECT_EQ(s.coinLabels[4].text, "5枚");
    EXPECT_EQ(s.coinLabels[4].rect, (StageRect{42 * 15, 465 * 15, 48 * 15, 20 * 15}));
    EXPECT_EQ(s.coins[9].rect, (StageRect{150, 460 * 15, 450, 450}));
    // the stage's sizes went back into the table in pixels
    EXPECT_EQ(r.m.part(Outlet).Width, 188);
    EXPECT_EQ(r.m.part(Outlet).Height, 70);

    r.engine.startRun(); // a second "実行" does nothing
    r.engine.drawWallet();
    r.engine.stopRun();
    EXPECT_FALSE(s.walletDrawn) << "the painted wallet goes with the run";
    EXPECT_EQ(r.m.app.RunMode, ModeEditing);
    EXPECT_EQ(s.stateLabel, "編集中");
    EXPECT_TRUE(s.controls.startEnabled && s.controls.openEnabled && s.controls.moneyEnabled);
    EXPECT_FALSE(s.controls.stopEnabled || s.controls.stepEnabled);
    for (int d = 0; d < 5; ++d)
        EXPECT_FALSE(s.coinLabels[static_cast<std::size_t>(d)].visible);
    const Machine before = r.m;
    r.engine.stopRun(); // pressing "停止" twice does nothing the second time
    EXPECT_EQ(r.m.parts, before.parts);
    EXPECT_EQ(r.m.app.Wallet, before.app.Wallet);
}

TEST(RunControl, FullPurchaseAndStop)
{
    Rig r;
    buildVendingMachine(r);
    r.engine.startRun();
    r.dropCoin(2);
    EXPECT_EQ(r.m.part(Counter).A(), 100);
    EXPECT_EQ(r.m.part(Button).A(), 0);
    r.dropCoin(3);
    EXPECT_EQ(r.m.part(Counter).A(), 150);
    EXPECT_EQ(r.engine.stage().part(Counter).digits, "150");
    EXPECT_EQ(r.m.part(Button).A(), 1);
    EXPECT_EQ(r.engine.stage().part(Button).picture, ButtonBuyPicture);
    EXPECT_EQ(r.m.app.Wallet, (std::array<std::int16_t, 5>{2, 1, 0, 1, 5}));
    EXPECT_EQ(r.player.played, (Lines{"Money_1.wav async", "Money_1.wav async"}));

    r.engine.touchPart(Button);
    EXPECT_EQ(r.engine.stage().products.size(), 1u);
    EXPECT_EQ(r.m.part(Counter).A(), 30);
    EXPECT_EQ(r.m.part(Product).B(), 4);
    EXPECT_EQ(r.m.part(Button).A(), 0);
    EXPECT_EQ(r.engine.stage().part(Button).picture, ButtonOffPicture);
    EXPECT_EQ(r.player.played.back(), "kan.wav sync");

    r.engine.runPartDown(Lever, 10, 10);
    EXPECT_EQ(r.engine.stage().part(Lever).picture, LeverPulledPicture);
    r.engine.runPartUp(Lever);
    EXPECT_EQ(r.engine.stage().part(Lever).picture, LeverRestPicture);
    r.engine.touchPart(Lever);
    EXPECT_EQ(r.view.messages, Lines{"お釣が30円でました"});
    EXPECT_EQ(r.m.app.Wallet, (std::array<std::int16_t, 5>{2, 1, 0, 1, 8}));
    EXPECT_EQ(r.m.app.MoneyInHand, 2670 - 150 + 30);

    r.engine.stopRun();
    EXPECT_EQ(r.m.app.Wallet, (std::array<std::int16_t, 5>{2, 1, 1, 2, 5}));
    EXPECT_EQ(r.m.app.MoneyInHand, 2670); // in hand as in the wallet, the run is forgotten
    EXPECT_TRUE(r.engine.stage().products.empty());
    EXPECT_EQ(r.m.app.DischargeCount, 0);
    EXPECT_EQ(r.engine.stage().part(Counter).digits, "");
    EXPECT_EQ(r.m.part(Product).B(), 4); // stock is the machine's, not the run's
}

TEST(RunControl, RunListOfARunningTouch)
{
    Rig r;
    buildVendingMachine(r);
    r.engine.startRun();
    r.m.part(Button).A() = 1;
    r.m.part(Counter).A() = 500;
    r.engine.touchPart(Button);
    // a block that ends the program with -1 is not listed; one that leads to the end box is
    EXPECT_EQ(r.view.lines, (Lines{"ボタン", "  条件分岐", "  商品排出", "  カウンター減算", "  在庫減数", "  条件分岐"}));
    EXPECT_EQ(r.m.app.ExecCount, 0);

    r.view.lines.clear();
    r.engine.touchPart(CoinSlot); // coin slots run only on coin drops
    r.engine.touchPart(Outlet);   // no program
    EXPECT_TRUE(r.view.lines.empty());
}

TEST(RunControl, TouchStartsAtBlockZeroWhenTheStartIsNotLinked)
{
    Rig r;
    const int product = r.add(KindProduct, 10, 10, 100, 5);
    const int button = r.add(KindButton, 10, 100);
    r.program(button, {B{0, BlockReduceStock, {product}, 99}}, LinkNone);
    r.engine.startRun();
    r.engine.touchPart(button);
    EXPECT_EQ(r.m.part(product).B(), 4);
}

TEST(RunControl, OneBlockModeWaitsForEachPressOfNext)
{
    Rig r;
    buildVendingMachine(r);
    r.engine.startRun();
    r.m.part(Button).A() = 1;
    r.m.part(Counter).A() = 500;
    r.engine.touchPart(Button); // a running touch lists into the same run list
    r.view.lines.clear();
    r.engine.stepMode();
    EXPECT_EQ(r.m.app.RunMode, ModeOneBlock);
    EXPECT_TRUE(r.engine.stage().runList.empty());
    EXPECT_TRUE(r.engine.stage().controls.chartVisible);
    EXPECT_EQ(r.engine.stage().stateLabel, "１ブロックづつ");

    r.engine.nextStep(); // nothing waits yet: not remembered for the touch that follows
    r.m.part(Button).A() = 1;
    r.m.part(Counter).A() = 200; // after this purchase the rest no longer pays for another
    r.engine.touchPart(Button);
    EXPECT_TRUE(r.engine.stepRunWaiting());
    EXPECT_EQ(r.view.lines, Lines{"1:ボタンのブロック"});
    EXPECT_EQ(r.engine.stage().blockStateLabel, "待機中");
    EXPECT_EQ(r.m.part(Product).B(), 4);

    r.engine.touchPart(Lever); // ignored while a step run is in progress
    r.engine.nextStep();       // the branch
    r.engine.nextStep();       // the discharge
    EXPECT_EQ(r.engine.stage().products.size(), 2u);
    EXPECT_EQ(r.engine.stage().blockStateLabel, "実行中");
    for (int i = 0; i < 3; ++i)
        r.engine.nextStep();
    EXPECT_TRUE(r.engine.stepRunWaiting());
    r.engine.nextStep(); // the lamp goes out and the program reaches its end box
    EXPECT_FALSE(r.engine.stepRunInProgress());
    EXPECT_EQ(r.view.lines, (Lines{"1:ボタンのブロック", "  条件分岐", "  商品排出", "  カウンター減算", "  在庫減数",
                                   "  条件分岐", "  購買可ランプ消灯", "　（実行終了）", ""}));
    EXPECT_EQ(r.engine.stage().blockStateLabel, "実行終了");
    EXPECT_EQ(r.m.part(Product).B(), 3);
    r.engine.nextStep(); // nothing is waiting
    EXPECT_EQ(r.view.lines.size(), 9u);
}

TEST(RunControl, OneBlockCoinDrop)
{
    Rig r;
    buildVendingMachine(r);
    r.m.part(Counter).A() = 100;
    r.engine.startRun();
    r.engine.stepMode();
    r.dropCoin(3);
    EXPECT_TRUE(r.engine.stepRunWaiting());
    EXPECT_EQ(r.m.app.Wallet[3], 2); // the coin is taken when the program has run
    r.dropCoin(2);                   // no other coin while the step run works
    EXPECT_EQ(r.m.app.CoinIndex, 3);
    for (int i = 0; i < 3; ++i)
        r.engine.nextStep();
    EXPECT_FALSE(r.engine.stepRunInProgress());
    EXPECT_EQ(r.m.part(Counter).A(), 150);
    EXPECT_EQ(r.m.part(Button).A(), 1);
    EXPECT_EQ(r.m.app.Wallet[3], 1);
    EXPECT_EQ(r.view.lines, (Lines{"投入口", "  投入金加算", "  条件分岐", "  購買可ランプ点灯", "　(実行終了）", "  ", ""}));
    EXPECT_EQ(r.player.played, Lines{"Money_1.wav async"});
    // the coin picture is back in the wallet
    EXPECT_EQ(r.engine.stage().coins[3].rect.left, 10 * 15);
}

// The coin slot of the one-block mode is the highest-numbered one in use, as in running mode,
// even when parts were deleted below it.
TEST(RunControl, OneBlockCoinDropFindsTheHighestUsedCoinSlot)
{
    Rig r;
    const int counter = r.add(KindCounter, 10, 10);
    const int low = r.add(KindCoinSlot, 100, 300);
    const int filler = r.add(KindButton, 10, 200);
    const int high = r.add(KindCoinSlot, 300, 300);
    r.program(high, {B{0, BlockAddMoney, {counter}, 99}});
    r.program(low, {B{0, BlockAddMoney, {counter}, 99}});
    r.m.part(filler).Used = 0; // deleted: PartsCount is now below the slot of `high`
    r.m.app.PartsCount = 3;
    r.engine.startRun();
    r.engine.stepMode();
    r.dropCoin(2);
    r.engine.nextStep();
    EXPECT_EQ(r.m.part(counter).A(), 100);
}

TEST(RunControl, StopEndsAWaitingStepRun)
{
    Rig r;
    buildVendingMachine(r);
    r.engine.startRun();
    r.engine.stepMode();
    r.m.part(Button).A() = 1;
    r.m.part(Counter).A() = 500;
    r.engine.touchPart(Button);
    r.engine.nextStep();
    r.engine.stopRun();
    EXPECT_FALSE(r.engine.stepRunInProgress());
    r.engine.nextStep();
    EXPECT_TRUE(r.engine.stage().products.empty());
    EXPECT_EQ(r.m.part(Counter).A(), 0);

    // a fresh run starts with no step run left over
    r.engine.startRun();
    r.engine.stepMode();
    r.m.part(Button).A() = 1;
    r.engine.touchPart(Button);
    EXPECT_TRUE(r.engine.stepRunWaiting());
}

TEST(RunControl, StopResetsEveryUsedSlotWhateverTheCount)
{
    Rig r;
    for (int i = 0; i < 8; ++i)
        r.add(KindProduct, 10 * i, 10);
    const int counter = r.add(KindCounter, 100, 100);
    const int button = r.add(KindButton, 100, 300);
    for (int i = 0; i < 8; ++i) // deleting the low parts leaves PartsCount below both slots
        r.m.part(i).Used = 0;
    r.m.app.PartsCount = 2;
    r.engine.startRun();
    r.m.part(button).A() = 1;
    r.m.part(button).B() = 1;
    r.m.part(button).LampLink = 5;
    r.engine.showAmount(counter, 700);
    r.m.part(counter).A() = 700;
    r.engine.stopRun();
    EXPECT_EQ(r.m.part(button).A(), 0);
    EXPECT_EQ(r.m.part(button).B(), 0);
    EXPECT_EQ(r.m.part(button).LampLink, r.m.part(button).ImageNo);
    EXPECT_EQ(r.engine.stage().part(button).picture, ButtonOffPicture);
    EXPECT_EQ(r.m.part(counter).A(), 0);
    EXPECT_EQ(r.engine.stage().part(counter).digits, "");
    EXPECT_TRUE(r.engine.stage().part(counter).numberShown);
}

// Coin-slot programs count towards the endless-loop guard until a part is touched.
TEST(RunControl, CoinProgramsAccumulateTowardsTheGuard)
{
    Rig r;
    const int product = r.add(KindProduct, 10, 10);
    const int slot = r.add(KindCoinSlot, 300, 300);
    const int button = r.add(KindButton, 10, 300);
    // 200 rounds of two blocks, then the end box: 401 calls a coin
    r.program(slot, {B{0, BlockReduceStock, {product}, 1}, B{1, BlockBranch, {product, "B", ">", -1, 0}, 0, 99}});
    r.program(button, {B{0, 13, {}, 99}});
    r.m.app.Wallet = {0, 0, 0, 0, 9};
    r.engine.startRun();
    auto coin = [&] {
        r.m.part(product).B() = 200;
        r.dropCoin(4);
    };
    coin();
    coin();
    EXPECT_EQ(r.m.app.ExecCount, 802);
    EXPECT_TRUE(r.view.messages.empty());
    coin();
    EXPECT_EQ(r.view.messages, Lines{msg::EndlessLoop});
    EXPECT_EQ(r.m.part(product).B(), 200 - 99);

    // the touched program still meets the count of the coins before it, and resets it after
    r.engine.touchPart(button);
    EXPECT_EQ(r.view.messages.size(), 2u);
    EXPECT_EQ(r.m.app.ExecCount, 0);
    coin();
    EXPECT_EQ(r.view.messages.size(), 2u);
    EXPECT_EQ(r.m.app.Wallet[4], 5);
}

TEST(RunControl, BlinkingColours)
{
    Rig r;
    std::vector<std::int32_t> seen;
    for (int i = 0; i < 7; ++i) {
        r.engine.tickBlink();
        seen.push_back(r.engine.stage().stateLabelColor);
    }
    EXPECT_EQ(seen, (std::vector<std::int32_t>{0x008080, 0x00C0C0, 0x00FFFF, 0x00C0C0, 0x008080, 0x000000, 0x008080}));
    r.m.app.BlockEditorOpen = -1;
    r.engine.tickBlink();
    EXPECT_EQ(r.engine.stage().stateLabelColor, 0x008080);
}

TEST(RunControl, DraggingDuringARun)
{
    Rig r;
    const int product = r.add(KindProduct, 100, 100);
    const int fixed = r.add(KindButton, 200, 100);
    r.m.part(product).RunDrag = -1;
    r.engine.startRun();
    r.engine.runPartDown(product, 15, 15);
    r.engine.runPartMove(product, 15 + 300, 15 + 150);
    r.engine.runPartUp(product);
    EXPECT_EQ(r.m.part(product).Left, 100 * 15 + 300);
    EXPECT_EQ(r.m.part(product).Top, 100 * 15 + 150);
    // dropped beyond the right edge it goes back
    r.engine.runPartDown(product, 0, 0);
    r.engine.runPartMove(product, 408 * 15, 0);
    r.engine.runPartUp(product);
    EXPECT_EQ(r.m.part(product).Left, 100 * 15 + 300);
    // a part without RunDrag stays where it is
    r.engine.runPartDown(fixed, 0, 0);
    r.engine.runPartMove(fixed, 600, 600);
    r.engine.runPartUp(fixed);
    EXPECT_EQ(r.m.part(fixed).Left, 200 * 15);
}

// The desktop program lets the window work while a sound plays; a stop pressed meanwhile ends
// the program there, and the product that was coming out does not appear.
TEST(RunControl, StopWhileTheProductSoundPlays)
{
    struct StoppingPlayer : SoundPlayer {
        Engine *engine = nullptr;
        void play(const std::string &name, PlayMode) override
        {
            if (name == ProductSound)
                engine->stopRun();
        }
        void stop() override {}
    };
    for (bool oneBlock : {false, true}) {
        Rig r;
        StoppingPlayer player;
        player.engine = &r.engine;
        r.engine.sound().setPlayer(player);
        buildVendingMachine(r);
        r.engine.startRun();
        if (oneBlock)
            r.engine.stepMode();
        r.m.part(Button).A() = 1;
        r.m.part(Counter).A() = 500;
        r.engine.touchPart(Button);
        r.engine.nextStep();
        r.engine.nextStep();
        EXPECT_EQ(r.m.app.RunMode, ModeEditing) << oneBlock;
        EXPECT_FALSE(r.engine.stepRunInProgress());
        EXPECT_TRUE(r.engine.stage().products.empty());
        EXPECT_EQ(r.m.part(Product).B(), 5) << "the blocks after the discharge did not run";
        EXPECT_EQ(r.m.app.DischargeCount, 0);
    }
}

// A message shown during a run offers "停止"; that answer, and the window's own "停止" while a
// message is up, leave the machine exactly as a stop between two blocks does: the block that
// showed the message does nothing more, and the next run starts from a clean machine.
TEST(RunControl, StopWhileAMessageIsUpLeavesTheMachineAsAnyStop)
{
    struct Case {
        const char *what;
        int part;               // the part touched
        B block;                // its program, one block
        int stopAt;             // the run message answered with a stop
    };
    const Case cases[] = {
        // the counter runs below -999: every pass shows the overflow message
        {"overflow", Button, B{0, BlockSubtract, {Counter, Product, -1, -1, -1}, 0}, 3},
        // change paid out: the message comes before the coins go into the wallet
        {"change", Lever, B{0, BlockPayChange, {Counter, -1, -1, -1, -1}, LinkEnd}, 1},
        // the outlet is full
        {"discharge limit", Button, B{0, BlockDischarge, {Product, Outlet, -1, -1, -1}, 0}, 1},
    };
    for (const Case &c : cases) {
        for (bool fromWindow : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (fromWindow ? " (window's stop)" : " (box's stop)"));
            Rig r;
            buildVendingMachine(r);
            r.program(c.part, {c.block});
            r.engine.startRun();
            const auto wallet = r.m.app.Wallet;
            const int money = r.m.app.MoneyInHand;
            r.m.part(Counter).A() = 500;
            if (std::string(c.what) == "discharge limit")
                r.m.app.DischargeCount = MaxDischarged;
            r.view.stopAtRunMessage = c.stopAt;
            r.view.stopsFromWindow = fromWindow;
            r.engine.touchPart(c.part);

            EXPECT_EQ(r.view.runMessages, c.stopAt) << "no message after the stop";
            EXPECT_EQ(r.m.app.RunMode, ModeEditing);
            EXPECT_FALSE(r.engine.programRunning());
            EXPECT_EQ(r.m.part(Counter).A(), 0);
            EXPECT_TRUE(r.engine.stage().part(Counter).digits.empty());
            EXPECT_EQ(r.m.app.Wallet, wallet);
            EXPECT_EQ(r.m.app.MoneyInHand, money);
            EXPECT_EQ(r.m.app.DischargeCount, 0);
            EXPECT_TRUE(r.engine.stage().products.empty());

            // The next run begins with the counter at 0: no overflow at its first pass.
            r.view.stopAtRunMessage = 0;
            r.view.messages.clear();
            r.program(Button, {B{0, BlockSubtract, {Counter, Product, -1, -1, -1}, LinkEnd}});
            r.engine.startRun();
            r.engine.touchPart(Button);
            EXPECT_TRUE(r.view.messages.empty());
            EXPECT_EQ(r.m.part(Counter).A(), -120);
            r.engine.stopRun();
        }
    }
}

// A message shown during a run pauses the program until the pupil answers: what the block does
// after the message waits, touches wait too, OK goes on where the program paused and "停止"
// ends the run. An answer that comes after the run was stopped another way changes nothing.
TEST(RunControl, ARunMessagePausesTheProgramUntilItIsAnswered)
{
    for (const RunMessageAnswer answer : {RunMessageAnswer::Ok, RunMessageAnswer::Stop}) {
        SCOPED_TRACE(answer == RunMessageAnswer::Ok ? "OK" : "停止");
        Rig r;
        buildVendingMachine(r);
        r.program(Lever, {B{0, BlockPayChange, {Counter, -1, -1, -1, -1}, LinkEnd}});
        r.engine.startRun();
        const auto wallet = r.m.app.Wallet;
        r.m.part(Counter).A() = 150;
        r.view.answerLater = true;
        r.engine.touchPart(Lever);
        ASSERT_EQ(r.view.unanswered.size(), 1u);
        EXPECT_EQ(r.view.messages.back(), "お釣が150円でました");
        EXPECT_TRUE(r.engine.runAwaitsAnswer());
        EXPECT_EQ(r.m.app.Wallet, wallet) << "the coins wait for the answer";
        EXPECT_EQ(r.m.part(Counter).A(), 150);
        r.engine.touchPart(Lever);
        EXPECT_EQ(r.view.unanswered.size(), 1u) << "a touch waits until the program has finished";

        r.view.unanswered.front()(answer);
        EXPECT_FALSE(r.engine.programRunning());
        if (answer == RunMessageAnswer::Ok) {
            EXPECT_EQ(r.m.app.RunMode, ModeRunning);
            EXPECT_NE(r.m.app.Wallet, wallet);
            EXPECT_EQ(r.m.part(Counter).A(), 0);
        } else {
            EXPECT_EQ(r.m.app.RunMode, ModeEditing);
            EXPECT_EQ(r.m.app.Wallet, wallet);
        }
    }

    Rig r;
    buildVendingMachine(r);
    r.program(Lever, {B{0, BlockPayChange, {Counter, -1, -1, -1, -1}, LinkEnd}});
    r.engine.startRun();
    r.m.part(Counter).A() = 150;
    r.view.answerLater = true;
    r.engine.touchPart(Lever);
    ASSERT_EQ(r.view.unanswered.size(), 1u);
    r.engine.stopRun();
    r.engine.startRun();
    r.view.unanswered.front()(RunMessageAnswer::Stop);
    EXPECT_EQ(r.m.app.RunMode, ModeRunning) << "the old message's answer stops no new run";
    EXPECT_FALSE(r.engine.programRunning());
}
