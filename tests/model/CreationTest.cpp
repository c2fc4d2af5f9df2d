#include "model/AppState.h"
#include "model/Creation.h"

#include <gtest/gtest.h>

using namespace jhk;

namespace {

Machine editingMachine(int level = 3)
{
    Machine m;
    applyStartupValues(m.app, 15, 15);
    m.app.Level = static_cast<std::uint8_t>(level);
    m.app.Step = 1;
    return m;
}

} // namespace

TEST(CreatePart, FillsTheLowestFreeSlotAtTheDropPoint)
{
    Machine m = editingMachine();
    m.app.DropX = 1500.5f;
    m.app.DropY = 2000.4f;
    const auto r = createPart(m, KindProduct);
    ASSERT_EQ(r.slot, 0);
    const PartsRecord &p = m.part(0);
    EXPECT_EQ(p.Used, -1);
    EXPECT_EQ(p.Left, 1500); // half to even
    EXPECT_EQ(p.Top, 2000);
    EXPECT_EQ(p.Width, 480);
    EXPECT_EQ(p.Height, 480);
    EXPECT_EQ(p.ImageNo, 1);
    EXPECT_EQ(p.Spare3, -1);
    EXPECT_EQ(m.app.PartsCount, 1);
    EXPECT_EQ(m.app.CurParts, 0);
    EXPECT_EQ(m.app.SelKind, SelectionPart);
}

TEST(CreatePart, ThirtiethPartFillsThePaletteAndTheNextIsRefused)
{
    Machine m = editingMachine();
    for (int i = 0; i < 29; ++i)
        EXPECT_FALSE(createPart(m, KindProduct).paletteFull);
    const auto last = createPart(m, KindProduct);
    EXPECT_EQ(last.slot, 29);
    EXPECT_TRUE(last.paletteFull);
    const PartsRecord slot30 = m.part(30);
    const auto refused = createPart(m, KindProduct);
    EXPECT_EQ(refused.slot, -1);
    EXPECT_EQ(refused.message, "ブロックは30個以上配置できません");
    EXPECT_EQ(m.app.PartsCount, 30);
    EXPECT_EQ(m.part(30), slot30);
}

TEST(CreatePart, ReusedSlotStartsWithoutVariablesOrBlocks)
{
    Machine m = editingMachine();
    createPart(m, KindButton);
    m.part(0).A() = 5;
    m.part(0).Blocks[3].Kind = BlockDischarge;
    m.part(0).Blocks[3].Used = -1;
    m.part(0).BlockCount = 1;
    m.part(0).Used = 0; // deleted
    m.app.PartsCount = 0;
    ASSERT_EQ(createPart(m, KindProduct).slot, 0);
    EXPECT_EQ(m.part(0).A(), 0);
    EXPECT_EQ(m.part(0).BlockCount, 0);
    EXPECT_EQ(m.part(0).Blocks[3].Kind, -1);
    EXPECT_EQ(m.part(0).Blocks[3].Used, 0);
}

TEST(CreateLabel, FillsTheRecord)
{
    Machine m = editingMachine();
    m.app.DropX = 300;
    m.app.DropY = 450;
    m.app.LabelCount = 1;
    createLabel(m, 1, 600, 240);
    const LabelRecord &l = m.label(1);
    EXPECT_EQ(l.Caption, "ラベル1");
    EXPECT_EQ(l.Used, -1);
    EXPECT_EQ(l.LabelNo, 1);
    EXPECT_EQ(l.BackColor, 7);
    EXPECT_EQ(l.ForeColor, 8);
    EXPECT_EQ(l.FontSize, 12);
    EXPECT_EQ(l.Left, 300);
    EXPECT_EQ(l.Top, 450);
    EXPECT_EQ(l.Width, 600);
}
