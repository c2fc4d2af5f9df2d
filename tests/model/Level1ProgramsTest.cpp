#include "model/AppState.h"
#include "model/Creation.h"
#include "model/Level1Programs.h"

#include <gtest/gtest.h>

using namespace jhk;

namespace {

Machine levelOne(int step)
{
    Machine m;
    applyStartupValues(m.app, 15, 15);
    m.app.Level = 1;
    m.app.Step = static_cast<std::uint8_t>(step);
    return m;
}

struct Expected {
    int index, kind;
    const char *caption;
    int next, next2, y, complete;
};

void expectBlocks(const PartsRecord &p, std::initializer_list<Expected> blocks)
{
    for (const Expected &e : blocks) {
        const BlockRecord &b = p.Blocks[static_cast<std::size_t>(e.index)];
        SCOPED_TRACE(e.caption);
        EXPECT_EQ(b.Used, -1);
        EXPECT_EQ(b.BlockNo, e.index);
        EXPECT_EQ(b.Kind, e.kind);
        EXPECT_EQ(b.Caption, e.caption);
        EXPECT_EQ(b.NextBlock, e.next);
        EXPECT_EQ(b.NextBlock2, e.next2);
        EXPECT_EQ(b.X, 0);
        EXPECT_EQ(b.Y, e.y);
        EXPECT_EQ(b.Complete, e.complete);
    }
}

} // namespace

TEST(Level1Programs, ButtonAtStepThreeIsTheWholeProgram)
{
    Machine m = levelOne(3);
    m.app.DropX = 100;
    const int slot = createPart(m, KindButton).slot;
    const PartsRecord &p = m.part(slot);
    EXPECT_EQ(p.FirstBlock, 0);
    EXPECT_EQ(p.BlockCount, 5);
    EXPECT_EQ(p.BranchCount, 2);
    expectBlocks(p, {{0, 28, "0条件分岐", 1, 99, 551, -1},
                     {1, 20, "1商品排出", 2, -1, 1653, 0},
                     {2, 24, "2カウンター減算", 3, -1, 2753, 0},
                     {3, 28, "3条件分岐", 4, 99, 3855, 0},
                     {4, 22, "4購買可ランプ消灯", 99, -1, 4957, -1}});
    const auto &b0 = p.Blocks[0].Param;
    EXPECT_EQ(b0[1], ParamValue(slot));
    EXPECT_EQ(b0[2], ParamValue("A"));
    EXPECT_EQ(b0[3], ParamValue("="));
    EXPECT_EQ(b0[4], ParamValue(-1));
    EXPECT_EQ(b0[5], ParamValue(1));
    EXPECT_EQ(p.Blocks[4].Param[1], ParamValue(slot));
    EXPECT_TRUE(p.Blocks[1].Param[1].isUnset());
}

TEST(Level1Programs, CoinSlotAndLeverPrograms)
{
    Machine m = levelOne(3);
    const PartsRecord &slot = m.part(createPart(m, KindCoinSlot).slot);
    EXPECT_EQ(slot.BlockCount, 3);
    EXPECT_EQ(slot.BranchCount, 1);
    expectBlocks(slot, {{0, 23, "0投入金加算", 1, -1, 1102, 0},
                        {1, 28, "1条件分岐", 2, 99, 2204, 0},
                        {2, 21, "2購買可ランプ点灯", 99, -1, 3306, 0}});
    const PartsRecord &lever = m.part(createPart(m, KindLever).slot);
    EXPECT_EQ(lever.BlockCount, 2);
    EXPECT_EQ(lever.BranchCount, 0);
    expectBlocks(lever, {{0, 25, "0釣銭排出", 1, -1, 1102, 0},
                         {1, 22, "1購買可ランプ消灯", 99, -1, 2204, 0}});
    const PartsRecord &product = m.part(createPart(m, KindProduct).slot);
    EXPECT_EQ(product.BlockCount, 0);
}

TEST(Level1Programs, PlacingAtStepOneCutsThePrograms)
{
    Machine m = levelOne(1);
    const PartsRecord &button = m.part(createPart(m, KindButton).slot);
    EXPECT_EQ(button.FirstBlock, 1);
    EXPECT_EQ(button.BlockCount, 1);
    EXPECT_EQ(button.BranchCount, 0);
    EXPECT_EQ(button.Blocks[1].NextBlock, 99);
    for (int k : {0, 2, 3, 4})
        EXPECT_EQ(button.Blocks[k].Used, 0) << k;
    EXPECT_EQ(button.Blocks[1].Used, -1);

    const PartsRecord &slot = m.part(createPart(m, KindCoinSlot).slot);
    EXPECT_EQ(slot.BlockCount, 0);
    for (int k : {0, 1, 2})
        EXPECT_EQ(slot.Blocks[k].Used, 0);
    const PartsRecord &lever = m.part(createPart(m, KindLever).slot);
    EXPECT_EQ(lever.BlockCount, 0);
}

TEST(Level1Programs, PlacingAtStepTwoKeepsTheLampTest)
{
    Machine m = levelOne(2);
    const PartsRecord &button = m.part(createPart(m, KindButton).slot);
    EXPECT_EQ(button.FirstBlock, 0);
    EXPECT_EQ(button.BlockCount, 2);
    EXPECT_EQ(button.BranchCount, 1);
    EXPECT_EQ(button.Blocks[0].Used, -1);
    EXPECT_EQ(button.Blocks[1].NextBlock, 99);
    const PartsRecord &slot = m.part(createPart(m, KindCoinSlot).slot);
    EXPECT_EQ(slot.BlockCount, 3);
    const PartsRecord &lever = m.part(createPart(m, KindLever).slot);
    EXPECT_EQ(lever.BlockCount, 0);
}

TEST(Level1Programs, StepOneToThreeRestoresLinksAndPupilsParameters)
{
    Machine m = levelOne(1);
    const int b = createPart(m, KindButton).slot;
    const int c = createPart(m, KindCoinSlot).slot;
    const int l = createPart(m, KindLever).slot;
    m.part(b).Blocks[2].Param[1] = ParamValue(5); // set by the pupil, then switched off
    switchExerciseStep(m, 3);
    EXPECT_EQ(m.app.Step, 3);
    const PartsRecord &button = m.part(b);
    EXPECT_EQ(button.FirstBlock, 0);
    EXPECT_EQ(button.BlockCount, 5);
    EXPECT_EQ(button.BranchCount, 2);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(button.Blocks[k].Used, -1) << k;
    EXPECT_EQ(button.Blocks[0].NextBlock, 1);
    EXPECT_EQ(button.Blocks[1].NextBlock, 2);
    EXPECT_EQ(button.Blocks[2].NextBlock, 3);
    EXPECT_EQ(button.Blocks[3].NextBlock, 4);
    EXPECT_EQ(button.Blocks[4].NextBlock, 99);
    EXPECT_EQ(button.Blocks[2].Param[1], ParamValue(5));
    EXPECT_EQ(m.part(c).BlockCount, 3);
    EXPECT_EQ(m.part(c).Blocks[0].Complete, -1);
    EXPECT_EQ(m.part(l).BlockCount, 2);
    EXPECT_EQ(m.part(l).Blocks[1].Used, -1);

    switchExerciseStep(m, 2);
    EXPECT_EQ(m.part(b).BlockCount, 2);
    EXPECT_EQ(m.part(b).Blocks[1].NextBlock, 99);
    EXPECT_EQ(m.part(c).BlockCount, 3);
    EXPECT_EQ(m.part(l).BlockCount, 0);
    EXPECT_EQ(m.part(l).Blocks[0].Used, 0);

    switchExerciseStep(m, 1);
    EXPECT_EQ(m.part(b).FirstBlock, 1);
    EXPECT_EQ(m.part(c).BlockCount, 0);
    EXPECT_EQ(m.part(c).Blocks[2].Used, 0);
}

TEST(Level1Programs, StepThreeWithoutPartsOnlySetsTheStep)
{
    Machine m = levelOne(1);
    m.part(4).Kind = KindButton; // a free slot that once held a button
    const PartsRecord before = m.part(4);
    switchExerciseStep(m, 3);
    EXPECT_EQ(m.app.Step, 3);
    EXPECT_EQ(m.part(4), before);
}
