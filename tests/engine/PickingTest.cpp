#include "EngineRig.h"

#include <gtest/gtest.h>

using namespace jhk;
using namespace jhk::testing;

namespace {

struct Editing : Rig {
    int product, button;
    Editing()
    {
        product = add(KindProduct, 10, 10);
        button = add(KindButton, 100, 10);
        program(button, {B{0, BlockBranch, {-1, -1, -1, -1, -1}}, B{1, BlockDischarge, {-1, -1}}});
        m.app.CurParts = static_cast<std::int16_t>(button);
    }
    const BlockRecord &block(int k) const { return m.part(button).Blocks[static_cast<std::size_t>(k)]; }
};

} // namespace

TEST(Picking, ProductOnTheLeftOfABranchThenItsStock)
{
    Editing t;
    t.m.app.CurBlock = 0;
    t.m.app.RunMode = ModePickOperand1;
    const PickOutcome pick = t.engine.pickPart(t.product);
    EXPECT_TRUE(pick.picked);
    EXPECT_EQ(pick.row, 0);
    EXPECT_EQ(pick.rowText, "0:商品");
    EXPECT_TRUE(pick.showVariableMenu);
    EXPECT_EQ(pick.menuCaptions, (std::array<std::string, 3>{"値段", "在庫数", "（使いません）"}));
    const VariableChoice choice = t.engine.chooseVariable("B", pick.menuCaptions[1]);
    EXPECT_EQ(choice.row, 1);
    EXPECT_EQ(choice.rowText, "在庫数");
    EXPECT_EQ(t.block(0).Param[1], ParamValue(t.product));
    EXPECT_EQ(t.block(0).Param[2], ParamValue("B"));

    t.m.app.RunMode = ModePickOperand4;
    const PickOutcome right = t.engine.pickPart(t.button);
    EXPECT_EQ(right.row, 3);
    EXPECT_EQ(right.rowText, "1:ボタン");
    t.engine.chooseVariable("A", right.menuCaptions[0]);
    EXPECT_EQ(t.block(0).Param[4], ParamValue(t.button));
    EXPECT_EQ(t.block(0).Param[5], ParamValue("A"));
    EXPECT_EQ(t.block(0).PickFlags[1], 4);
    EXPECT_EQ(t.block(0).PickFlags[2], 4);
}

TEST(Picking, SecondOperandOfADischarge)
{
    Editing t;
    t.m.app.CurBlock = 1;
    t.m.app.RunMode = ModePickOperand2;
    const PickOutcome pick = t.engine.pickPart(t.product);
    EXPECT_EQ(pick.row, 1);
    EXPECT_FALSE(pick.showVariableMenu);
    EXPECT_EQ(t.block(1).Param[2], ParamValue(t.product));
    EXPECT_FALSE(t.engine.chooseVariable("A", "値段").chosen); // only operands 1 and 4 take a variable
}

TEST(Picking, ClicksOutsidePickingChangeNoParameter)
{
    for (int mode : {ModeEditing, ModeRunning, ModeOneBlock, ModePickNextBlock, ModePickMoveTarget}) {
        Editing t;
        t.m.app.CurBlock = 0;
        t.m.app.RunMode = static_cast<std::int16_t>(mode);
        const auto before = t.m.parts;
        EXPECT_FALSE(t.engine.pickPart(t.product).picked);
        EXPECT_FALSE(t.engine.chooseVariable("A", "x").chosen);
        EXPECT_EQ(t.m.parts, before) << mode;
    }
    Editing t;
    t.m.app.RunMode = ModePickOperand1;
    t.m.app.CurBlock = 31;
    EXPECT_FALSE(t.engine.pickPart(t.product).picked);
    t.m.app.CurBlock = 0;
    EXPECT_FALSE(t.engine.pickPart(30).picked); // a free slot
}

// A part of a kind the block cannot use is refused at once with a message naming the kind it
// takes; the pick goes on, and the right kind is taken.
TEST(Picking, APartOfTheWrongKindIsRefusedNamingTheKindNeeded)
{
    struct Case {
        BlockKind block;
        RunModeValue mode;
        int wrongKind;
        int rightKind;
        const char *message;
    };
    const Case cases[] = {
        {BlockSoldOutLampOn, ModePickOperand1, KindCounter, KindButton, "このブロックには「ボタン」を選んで下さい"},
        {BlockBuyLampOn, ModePickOperand1, KindProduct, KindButton, "このブロックには「ボタン」を選んで下さい"},
        {BlockSubtract, ModePickOperand1, KindProduct, KindCounter, "このブロックには「金額表示」を選んで下さい"},
        {BlockSubtract, ModePickOperand2, KindCounter, KindProduct, "このブロックには「商品」を選んで下さい"},
        {BlockDischarge, ModePickOperand1, KindButton, KindProduct, "このブロックには「商品」を選んで下さい"},
        {BlockReduceStock, ModePickOperand1, KindLever, KindProduct, "このブロックには「商品」を選んで下さい"},
        {BlockPayChange, ModePickOperand1, KindChangeOutlet, KindCounter, "このブロックには「金額表示」を選んで下さい"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        Rig r;
        const int owner = r.add(KindButton, 100, 10);
        const int wrong = r.add(c.wrongKind, 10, 100);
        const int right = r.add(c.rightKind, 200, 100);
        r.program(owner, {B{0, c.block, {-1, -1}}});
        r.m.app.CurParts = static_cast<std::int16_t>(owner);
        r.m.app.CurBlock = 0;
        r.m.app.RunMode = c.mode;
        const int param = c.mode == ModePickOperand1 ? 1 : 2;
        const PickOutcome refused = r.engine.pickPart(wrong);
        EXPECT_FALSE(refused.picked);
        EXPECT_TRUE(refused.refused);
        ASSERT_FALSE(r.view.messages.empty());
        EXPECT_EQ(r.view.messages.back(), c.message);
        EXPECT_EQ(r.m.part(owner).Blocks[0].Param[static_cast<std::size_t>(param)], ParamValue(-1));
        EXPECT_EQ(r.m.app.RunMode, c.mode) << "still picking";
        const PickOutcome taken = r.engine.pickPart(right);
        EXPECT_TRUE(taken.picked);
        EXPECT_EQ(r.m.part(owner).Blocks[0].Param[static_cast<std::size_t>(param)], ParamValue(right));
    }
    // A branch compares any part's variables: nothing is refused.
    Editing t;
    t.m.app.CurBlock = 0;
    t.m.app.RunMode = ModePickOperand1;
    EXPECT_TRUE(t.engine.pickPart(t.product).picked);
}
