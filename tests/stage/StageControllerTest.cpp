#include "rules/StageController.h"

#include "../engine/EngineRig.h"
#include "FakeDialogs.h"
#include "rules/StageEditor.h"

#include <gtest/gtest.h>

namespace jhk {
namespace {

using jhk::testing::B;
using jhk::testing::Rig;

class EditorHooks : public StageEditorHooks {
public:
    Machine *machine = nullptr;
    void showPropertyDialog(int, std::function<void(PropertyOutcome)> closed) override
    {
        machine->part(machine->app.CurParts).PictName = "dummy"; // as the dialog does on opening
        closed(PropertyOutcome::Ok);
    }
    std::pair<int, int> labelSize(const LabelControl &, const std::string &) override { return {600, 240}; }
    void changeMoneyInHand() override {}
};

// What the stage asked of the window, in order.
class RecordingHost : public StageControllerHost {
public:
    std::vector<std::string> asked;
    std::optional<int> variableAnswer;
    void offerPartMenu(int slot) override { asked.push_back("menu " + std::to_string(slot)); }
    void openBlockEditor(int part) override { asked.push_back("blocks " + std::to_string(part)); }
    void editLabel(int label) override { asked.push_back("label " + std::to_string(label)); }
    void askVariable(const std::array<std::string, 3> &captions,
                     std::function<void(std::optional<int>)> answer) override
    {
        asked.push_back("variable " + captions[0] + "/" + captions[1]);
        answer(variableAnswer);
    }
    void finishPick() override { asked.push_back("pick over"); }
    void refresh() override {}
    void stageMoved() override {}
};

// A machine on the stage with its editor and the stage's controller; 15 twips a pixel.
struct StageRig : Rig {
    test::FakeDialogs dialogs;
    EditorHooks hooks;
    StageEditor editor{m, engine.stage(), sizes, dialogs, hooks};
    RecordingHost host;
    StageController stage{m, engine, editor, host};

    StageRig() { hooks.machine = &m; }
    // Drops a part of `kind` with its top-left corner at (x, y) pixels, as from the palette.
    int place(int kind, int x, int y)
    {
        editor.dropOnStage(DropSource::PartButton, kind, x * 15, y * 15);
        return m.app.CurParts;
    }
    PixelRect rect(int part) const { return stage.hitTest().toPixels(engine.stage().part(part).rect); }
    void click(int x, int y)
    {
        stage.press(x, y, PointerButton::Left, true);
        stage.release(x, y, PointerButton::Left, true);
    }
};

TEST(StageHitTest, TheFrontControlAtAPointAndWhereThePointLiesInIt)
{
    StageRig r;
    const int back = r.place(KindProduct, 50, 50);
    const PixelRect b = r.rect(back);
    const int front = r.place(KindButton, b.left + 5, b.top + 5);
    const StageHitTest &hits = r.stage.hitTest();
    EXPECT_EQ(hits.hitAt(b.left + 6, b.top + 6), (StageHit{StageHit::Part, front}));
    EXPECT_EQ(hits.hitAt(b.left + 1, b.top + 1), (StageHit{StageHit::Part, back}));
    EXPECT_EQ(hits.hitAt(2, 2).kind, StageHit::Surface);
    EXPECT_EQ(hits.relativeTwips({StageHit::Part, back}, b.left + 3, b.top + 4), std::make_pair(45, 60));
    EXPECT_EQ(hits.itemRect({}), (PixelRect{0, 0, StageWidthPixels, StageHeightPixels}));
}

// During a run the wallet's coins lie at the stage's left edge: a part placed there stays in
// front of them and takes its clicks, a coin beside it can still be taken, and the coin the
// pupil holds is in front of every part.
TEST(StageHitTest, CoinsInTheWalletLieUnderThePartsAndTheHeldCoinAboveAll)
{
    StageRig r;
    const int button = r.place(KindButton, 0, 300);
    const PixelRect b = r.rect(button);
    ASSERT_TRUE(b.contains(12, 302));
    r.engine.startRun();
    const Stage &stage = r.engine.stage();
    ASSERT_TRUE(stage.coins[5].visible);
    ASSERT_TRUE(r.stage.hitTest().toPixels(stage.coins[5].rect).contains(12, 302));
    const StageHitTest &hits = r.stage.hitTest();
    EXPECT_EQ(hits.hitAt(12, 302), (StageHit{StageHit::Part, button}));
    EXPECT_EQ(hits.hitAt(20, 470), (StageHit{StageHit::Coin, 9})) << "a coin no part covers";

    r.engine.coinDown(9, 0, 0);
    r.engine.coinMove(9, 0, -160 * 15); // held over the button
    EXPECT_EQ(hits.hitAt(20, 310), (StageHit{StageHit::Coin, 9}));
}

TEST(StageHitTest, PartNumberGoesAboveElseRightElseLeftOfThePart)
{
    const PixelRect stage{0, 0, 400, 300};
    struct Case {
        PixelRect part;
        PixelRect number;
    } cases[] = {
        {{50, 50, 40, 40}, {50, 38, 30, 12}},   // room above
        {{50, 5, 40, 40}, {90, 5, 30, 12}},     // at the top: right of it
        {{360, 5, 40, 40}, {330, 5, 30, 12}},   // top right corner: left of it
        {{0, 0, 400, 40}, {0, 0, 30, 12}},      // no room anywhere: over its corner
    };
    for (const Case &c : cases)
        EXPECT_EQ(StageHitTest::partNumberRect(c.part, 30, 12, stage), c.number) << c.part.left << "," << c.part.top;
}

TEST(StageController, EditingDragsAPartAndAsksForMenusAndEditors)
{
    StageRig r;
    const int part = r.place(KindProduct, 50, 50);
    const PixelRect before = r.rect(part);
    r.stage.press(before.left + 2, before.top + 2, PointerButton::Left, true);
    r.stage.move(before.left + 22, before.top + 12, true, false);
    r.stage.release(before.left + 22, before.top + 12, PointerButton::Left, true);
    EXPECT_EQ(r.rect(part).left, before.left + 20);
    EXPECT_EQ(r.rect(part).top, before.top + 10);

    const PixelRect now = r.rect(part);
    r.stage.press(now.left + 2, now.top + 2, PointerButton::Right, true);
    r.stage.release(now.left + 2, now.top + 2, PointerButton::Right, true);
    r.stage.doubleClick(now.left + 2, now.top + 2, PointerButton::Left);
    r.stage.releasedElsewhere();
    EXPECT_EQ(r.host.asked, (std::vector<std::string>{"menu " + std::to_string(part), "blocks " + std::to_string(part)}));
    EXPECT_EQ(r.rect(part), now); // neither the right press nor the double-click moved it
}

TEST(StageController, RunningAClickOnAPartRunsItsProgramOnlyWhenReleasedOverIt)
{
    StageRig r;
    const int product = r.place(KindProduct, 50, 50);
    r.m.part(product).B() = 5;
    const int button = r.place(KindButton, 200, 50);
    r.program(button, {B{0, BlockReduceStock, {product}, 99}}, LinkNone);
    r.engine.startRun();
    const PixelRect b = r.rect(button);

    r.stage.press(b.left + 2, b.top + 2, PointerButton::Left, true);
    r.stage.release(5, 5, PointerButton::Left, true); // let go off the button
    EXPECT_EQ(r.m.part(product).B(), 5);
    r.click(b.left + 2, b.top + 2);
    EXPECT_EQ(r.m.part(product).B(), 4);
    r.stage.doubleClick(b.left + 2, b.top + 2, PointerButton::Left); // no editor while running
    EXPECT_TRUE(r.host.asked.empty());
    EXPECT_EQ(r.rect(button), b);
}

TEST(StageController, PickingAPartAsksForItsVariableThenEndsThePick)
{
    for (const std::optional<int> answer : {std::optional<int>(1), std::optional<int>()}) {
        StageRig r;
        const int product = r.place(KindProduct, 50, 50);
        const int button = r.place(KindButton, 200, 50);
        r.program(button, {B{0, BlockBranch, {-1, -1, -1, -1, -1}}});
        r.m.app.CurParts = static_cast<std::int16_t>(button);
        r.m.app.CurBlock = 0;
        r.m.app.RunMode = ModePickOperand1;
        r.host.variableAnswer = answer;
        const PixelRect p = r.rect(product);
        r.click(p.left + 2, p.top + 2);
        EXPECT_EQ(r.host.asked, (std::vector<std::string>{"variable 値段/在庫数", "pick over"}));
        const BlockRecord &block = r.m.part(button).Blocks[0];
        EXPECT_EQ(block.Param[1], ParamValue(product));
        EXPECT_EQ(block.Param[2], answer ? ParamValue("B") : ParamValue(-1));
    }
}

TEST(StageController, EscapeGivesUpOnlyAPick)
{
    StageRig r;
    EXPECT_FALSE(r.stage.escape());
    r.m.app.RunMode = ModePickMoveTarget;
    EXPECT_TRUE(r.stage.escape());
    EXPECT_EQ(r.host.asked, (std::vector<std::string>{"pick over"}));
}

} // namespace
} // namespace jhk
