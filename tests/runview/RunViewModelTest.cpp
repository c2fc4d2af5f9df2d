// The run view's rules, driven with sequences of run events on the whole vending machine.
#include "../engine/EngineRig.h"
#include "rules/RunViewModel.h"

#include <gtest/gtest.h>

namespace jhk {
namespace {

using testing::Rig;
using Link = RunViewModel::Link;

class RunViewModelTest : public ::testing::Test {
protected:
    RunViewModelTest() : model(rig.m, rig.catalogue, [this] { return clock; })
    {
        testing::buildVendingMachine(rig);
        model.sync();
    }

    void setMode(int mode)
    {
        rig.m.app.RunMode = static_cast<std::int16_t>(mode);
        model.sync();
    }
    void select(int part)
    {
        rig.m.app.SelKind = SelectionPart;
        rig.m.app.CurParts = static_cast<std::int16_t>(part);
        model.sync();
    }
    const RunViewModel::Row &row(int slot) const
    {
        for (const auto &r : model.rows())
            if (r.slot == slot)
                return r;
        throw std::runtime_error("no row");
    }
    // "値段 120" for each variable the row shows.
    std::vector<std::string> cells(int slot) const
    {
        std::vector<std::string> out;
        for (const auto &c : row(slot).cells)
            out.push_back(c.label + " " + c.value);
        return out;
    }

    Rig rig;
    std::int64_t clock = 10000;
    RunViewModel model;
};

TEST_F(RunViewModelTest, TableListsEveryUsedPartWithTheCataloguesNamesAndLamps)
{
    ASSERT_EQ(model.rows().size(), 6u);
    EXPECT_EQ(row(testing::Product).kindName, "商品");
    EXPECT_EQ(cells(testing::Product), (std::vector<std::string>{"値段 120", "在庫数 5"}));
    EXPECT_EQ(cells(testing::Button), (std::vector<std::string>{"購買可ランプ 消灯", "売切ランプ 消灯"}));
    EXPECT_EQ(cells(testing::Counter), (std::vector<std::string>{"金額 0"}));
    EXPECT_TRUE(cells(testing::CoinSlot).empty()) << "a coin slot has no variables";

    // A part placed later gets its row; a deleted one loses it.
    rig.add(KindProduct, 200, 40, 150, 2);
    rig.m.part(testing::Lever).Used = 0;
    model.sync();
    ASSERT_EQ(model.rows().size(), 6u);
    EXPECT_EQ(cells(6), (std::vector<std::string>{"値段 150", "在庫数 2"}));
    EXPECT_THROW(row(testing::Lever), std::runtime_error);
}

TEST_F(RunViewModelTest, PurchaseHighlightsBlocksTracesThePathAndMarksChangedValues)
{
    setMode(ModeRunning);
    rig.m.part(testing::Button).A() = 1;
    model.runStarted(testing::Button, 0);
    EXPECT_EQ(model.shownPart(), testing::Button);
    EXPECT_EQ(model.title(), "No.1 ボタン のプログラム");
    model.blockAboutToRun(testing::Button, 0);
    EXPECT_EQ(model.runningBlock(), 0);
    EXPECT_EQ(model.status(), "実行中：ブロック0「条件分岐」");
    model.blockRan(testing::Button, 0, 1);
    model.blockAboutToRun(testing::Button, 1);
    model.soundPlayed("kan.wav");
    model.blockRan(testing::Button, 1, 2);
    model.blockAboutToRun(testing::Button, 2);
    model.variableChanged(testing::Counter, 'A', -120);
    model.blockRan(testing::Button, 2, 3);
    model.blockAboutToRun(testing::Button, 3);
    model.variableChanged(testing::Product, 'B', 4);
    model.blockRan(testing::Button, 3, 4);
    model.blockAboutToRun(testing::Button, 4);
    model.blockRan(testing::Button, 4, 5); // the failing exit
    model.blockAboutToRun(testing::Button, 5);
    model.variableChanged(testing::Button, 'A', 0);
    model.blockRan(testing::Button, 5, LinkEnd);
    model.runEnded({RunEnd::Finished, testing::Button, 5, {}});

    const std::vector<Link> path{{Link::StartBox, 0}, {0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 1}, {5, 0}};
    EXPECT_EQ(model.path(), path);
    EXPECT_EQ(model.runningBlock(), -1);
    EXPECT_EQ(model.status(), "実行終了");
    EXPECT_EQ(cells(testing::Counter), (std::vector<std::string>{"金額 -120"}));
    EXPECT_EQ(cells(testing::Product), (std::vector<std::string>{"値段 120", "在庫数 4"}));
    EXPECT_EQ(model.log(), (std::deque<std::string>{"音：kan.wav"}));

    // The changed values are marked for a moment, the others never.
    const auto &stock = row(testing::Product).cells[1];
    const auto &price = row(testing::Product).cells[0];
    EXPECT_TRUE(model.flashing(stock, clock));
    EXPECT_FALSE(model.flashing(price, clock));
    EXPECT_EQ(model.nextFlashEnd(clock), clock + RunViewModel::FlashMs);
    EXPECT_FALSE(model.flashing(stock, clock + RunViewModel::FlashMs));
    EXPECT_EQ(model.nextFlashEnd(clock + RunViewModel::FlashMs), -1);

    // The path stays after the program, until the next one starts.
    model.runStarted(testing::CoinSlot, 0);
    EXPECT_EQ(model.shownPart(), testing::CoinSlot);
    EXPECT_EQ(model.path(), (std::vector<Link>{{Link::StartBox, 0}}));
}

TEST_F(RunViewModelTest, LoopCutByTheGuardKeepsEachLinkOnce)
{
    rig.program(testing::Button, {
        testing::B{0, BlockDischarge, {testing::Product, testing::Outlet, -1, -1, -1}, 1},
        testing::B{1, BlockBuyLampOff, {testing::Button, -1, -1, -1, -1}, 0},
    });
    setMode(ModeRunning);
    model.runStarted(testing::Button, 0);
    for (int n = 0; n < 500; ++n) {
        model.blockAboutToRun(testing::Button, 0);
        model.blockRan(testing::Button, 0, 1);
        model.blockAboutToRun(testing::Button, 1);
        model.blockRan(testing::Button, 1, 0);
    }
    model.messageShown(msg::EndlessLoop);
    model.runEnded({RunEnd::Guard, testing::Button, 0, {}});
    EXPECT_EQ(model.path(), (std::vector<Link>{{Link::StartBox, 0}, {0, 0}, {1, 0}}));
    EXPECT_EQ(model.log().back(), std::string("メッセージ：") + msg::EndlessLoop);
    EXPECT_NE(model.status().find("1000ブロック"), std::string::npos);
}

TEST_F(RunViewModelTest, QuietStopSaysWhichPartsWhichBlockAndWhyUntilTheNextRun)
{
    setMode(ModeRunning);
    model.runStarted(testing::Lever, 0);
    model.blockAboutToRun(testing::Lever, 0);
    model.blockRan(testing::Lever, 0, 1);
    model.blockAboutToRun(testing::Lever, 1);
    model.runEnded({RunEnd::UnsetOperand, testing::Lever, 1, "ランプを消すボタンが設定されていません"});
    EXPECT_TRUE(model.quietStop());
    EXPECT_EQ(model.stoppedBlock(), 1);
    EXPECT_EQ(model.status(),
              "No.5 釣レバー のブロック1「購買可ランプ消灯」で止まりました：ランプを消すボタンが設定されていません");

    // Without words from the engine the reason still reads plainly.
    model.runEnded({RunEnd::UnsetPart, testing::Lever, 1, {}});
    EXPECT_EQ(model.status(), "No.5 釣レバー のブロック1「購買可ランプ消灯」で止まりました：パーツが設定されていません");

    // "停止" keeps the hint; the next "実行" starts afresh.
    setMode(ModeEditing);
    EXPECT_TRUE(model.quietStop());
    setMode(ModeRunning);
    EXPECT_FALSE(model.quietStop());
    EXPECT_EQ(model.stoppedBlock(), -1);
    EXPECT_TRUE(model.path().empty());
}

// Once the machine changes, how the last program ended is no longer shown; a block that has
// gone is never named.
TEST_F(RunViewModelTest, AStopIsForgottenWhenTheMachineChanges)
{
    setMode(ModeRunning);
    model.runStarted(testing::Lever, 0);
    model.runEnded({RunEnd::UnsetOperand, testing::Lever, 1, "ランプを消すボタンが設定されていません"});
    setMode(ModeEditing);
    rig.m.part(testing::Lever).Blocks[1].Used = 0;
    EXPECT_EQ(model.status(), "No.5 釣レバー のプログラムで止まりました：ランプを消すボタンが設定されていません");
    model.forgetRunEnd();
    EXPECT_FALSE(model.quietStop());
    EXPECT_EQ(model.stoppedBlock(), -1);
    EXPECT_EQ(model.status(), "編集中：ここでは見るだけです");
}

TEST_F(RunViewModelTest, OneBlockModeMarksTheBlockTheButtonRunsNext)
{
    setMode(ModeOneBlock);
    model.runStarted(testing::CoinSlot, 0);
    model.nextBlockWaiting(testing::CoinSlot, 0);
    EXPECT_EQ(model.waitingBlock(), 0);
    EXPECT_EQ(model.runningBlock(), -1);
    EXPECT_EQ(model.status(), "「▼」で次にブロック0「投入金加算」を実行します");
    model.blockAboutToRun(testing::CoinSlot, 0);
    EXPECT_EQ(model.waitingBlock(), -1);
    model.blockRan(testing::CoinSlot, 0, 1);
    model.nextBlockWaiting(testing::CoinSlot, 1);
    EXPECT_EQ(model.runningBlock(), 0) << "the block just run stays highlighted while waiting";
    EXPECT_EQ(model.waitingBlock(), 1);
    EXPECT_EQ(model.path(), (std::vector<Link>{{Link::StartBox, 0}, {0, 0}}));

    // "停止" while waiting: nothing is left running or waiting.
    setMode(ModeEditing);
    EXPECT_EQ(model.runningBlock(), -1);
    EXPECT_EQ(model.waitingBlock(), -1);
    EXPECT_FALSE(model.programRunning());
}

TEST_F(RunViewModelTest, EditingShowsTheSelectedPartAndNeverMarksValues)
{
    select(testing::Lever);
    EXPECT_EQ(model.shownPart(), testing::Lever);
    EXPECT_EQ(model.status(), "編集中：ここでは見るだけです");
    rig.m.part(testing::Product).A() = 130; // the property dialog
    model.sync();
    EXPECT_EQ(cells(testing::Product)[0], "値段 130");
    EXPECT_FALSE(model.flashing(row(testing::Product).cells[0], clock));

    rig.m.app.SelKind = SelectionNone;
    model.sync();
    EXPECT_EQ(model.shownPart(), -1);
    EXPECT_EQ(model.title(), "パーツを選ぶと、そのプログラムが出ます");

    // A run that changes a value without an event of its own still marks it.
    setMode(ModeRunning);
    rig.m.part(testing::Counter).A() = 100;
    model.sync();
    EXPECT_TRUE(model.flashing(row(testing::Counter).cells[0], clock));
}

// The engine's own events: a real purchase and a real quiet stop.
TEST_F(RunViewModelTest, RealPurchaseAndQuietStopFromTheEngine)
{
    rig.engine.setObserver(&model);
    rig.engine.startRun();
    model.sync();
    rig.dropCoin(2); // 100 yen
    rig.dropCoin(3); // 50 yen: the buy lamp lights
    EXPECT_EQ(model.shownPart(), testing::CoinSlot);
    EXPECT_EQ(cells(testing::Button)[0], "購買可ランプ 点灯");
    rig.engine.touchPart(testing::Button);
    model.sync();

    EXPECT_EQ(model.shownPart(), testing::Button);
    EXPECT_EQ(model.path(), (std::vector<Link>{{Link::StartBox, 0}, {0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 1}, {5, 0}}));
    EXPECT_EQ(model.status(), "実行終了");
    EXPECT_EQ(cells(testing::Product), (std::vector<std::string>{"値段 120", "在庫数 4"}));
    EXPECT_EQ(cells(testing::Counter), (std::vector<std::string>{"金額 30"}));
    EXPECT_TRUE(model.flashing(row(testing::Product).cells[1], clock));
    ASSERT_FALSE(model.log().empty());
    EXPECT_EQ(model.log().back(), "音：kan.wav");

    // The lever's lamp block names no button: the run stops quietly at that block.
    rig.m.part(testing::Lever).Blocks[1].Param[1] = ParamValue(-1);
    rig.engine.touchPart(testing::Lever);
    model.sync();
    EXPECT_TRUE(model.quietStop());
    EXPECT_EQ(model.stoppedBlock(), 1);
    EXPECT_EQ(model.status().rfind("No.5 釣レバー のブロック1「購買可ランプ消灯」で止まりました：", 0), 0u) << model.status();
    rig.engine.setObserver(nullptr);
}

TEST_F(RunViewModelTest, ManyEventsAskForOneRedraw)
{
    int asked = 0;
    model.setChangeHandler([&] { ++asked; });
    setMode(ModeRunning);
    model.takeChanged(); // drawn
    asked = 0;
    model.runStarted(testing::Button, 0);
    for (int n = 0; n < 100; ++n) {
        model.blockAboutToRun(testing::Button, 0);
        model.variableChanged(testing::Counter, 'A', n);
    }
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(model.takeChanged());
    EXPECT_FALSE(model.takeChanged());
    model.soundPlayed("Money_1.wav");
    EXPECT_EQ(asked, 2);
}

} // namespace
} // namespace jhk
