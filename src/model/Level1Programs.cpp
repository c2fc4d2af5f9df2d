#include "model/Level1Programs.h"

#include "model/AppState.h"

#include <initializer_list>

namespace jhk {

namespace {

struct PresetBlock {
    int index;
    BlockKind kind;
    const char *caption;
    int next;
    int next2;
    int y;
    bool complete;
};

void writeBlock(PartsRecord &p, const PresetBlock &pb)
{
    BlockRecord &b = p.Blocks[static_cast<std::size_t>(pb.index)];
    b.Used = -1;
    b.BlockNo = static_cast<std::int16_t>(pb.index);
    b.Kind = pb.kind;
    b.Caption = pb.caption;
    b.NextBlock = static_cast<std::int16_t>(pb.next);
    b.NextBlock2 = static_cast<std::int16_t>(pb.next2);
    b.X = 0;
    b.Y = static_cast<std::int16_t>(pb.y);
    b.Complete = pb.complete ? -1 : 0;
}

void setUsed(PartsRecord &p, std::initializer_list<int> blocks, bool used)
{
    for (int k : blocks)
        p.Blocks[static_cast<std::size_t>(k)].Used = used ? -1 : 0;
}

void writeButtonProgram(PartsRecord &p, int self)
{
    p.FirstBlock = 0;
    p.BlockCount = 5;
    p.BranchCount = 2;
    writeBlock(p, {0, BlockBranch, "0条件分岐", 1, LinkEnd, 551, true});
    writeBlock(p, {1, BlockDischarge, "1商品排出", 2, LinkNone, 1653, false});
    writeBlock(p, {2, BlockSubtract, "2カウンター減算", 3, LinkNone, 2753, false});
    writeBlock(p, {3, BlockBranch, "3条件分岐", 4, LinkEnd, 3855, false});
    writeBlock(p, {4, BlockBuyLampOff, "4購買可ランプ消灯", LinkEnd, LinkNone, 4957, true});
    auto &b0 = p.Blocks[0].Param;
    b0[1] = ParamValue(self);
    b0[2] = ParamValue("A");
    b0[3] = ParamValue("=");
    b0[4] = ParamValue(-1);
    b0[5] = ParamValue(1);
    p.Blocks[4].Param[1] = ParamValue(self);
}

void writeCoinSlotProgram(PartsRecord &p)
{
    p.FirstBlock = 0;
    p.BlockCount = 3;
    p.BranchCount = 1;
    writeBlock(p, {0, BlockAddMoney, "0投入金加算", 1, LinkNone, 1102, false});
    writeBlock(p, {1, BlockBranch, "1条件分岐", 2, LinkEnd, 2204, false});
    writeBlock(p, {2, BlockBuyLampOn, "2購買可ランプ点灯", LinkEnd, LinkNone, 3306, false});
}

void writeLeverProgram(PartsRecord &p)
{
    p.FirstBlock = 0;
    p.BlockCount = 2;
    writeBlock(p, {0, BlockPayChange, "0釣銭排出", 1, LinkNone, 1102, false});
    writeBlock(p, {1, BlockBuyLampOff, "1購買可ランプ消灯", LinkEnd, LinkNone, 2204, false});
}

// The button's program at steps 1 and 2 (shared by placing and by switching).
void cutButton(PartsRecord &p, int step)
{
    if (step == 1) {
        p.FirstBlock = 1;
        p.BlockCount = 1;
        p.BranchCount = 0;
        p.Blocks[1].NextBlock = LinkEnd;
        setUsed(p, {0, 2, 3, 4}, false);
    } else if (step == 2) {
        p.FirstBlock = 0;
        p.BlockCount = 2;
        p.BranchCount = 1;
        p.Blocks[1].NextBlock = LinkEnd;
        setUsed(p, {2, 3, 4}, false);
    }
}

} // namespace

void giveLevel1Program(Machine &m, int slot)
{
    PartsRecord &p = m.part(slot);
    const int step = m.app.Step;
    switch (p.Kind) {
    case KindButton:
        writeButtonProgram(p, slot);
        cutButton(p, step);
        break;
    case KindCoinSlot:
        if (step < 1 || step > 3)
            break;
        writeCoinSlotProgram(p);
        if (step == 1) {
            p.BlockCount = 0;
            setUsed(p, {0, 1, 2}, false);
        }
        break;
    case KindLever:
        writeLeverProgram(p);
        if (step == 1 || step == 2) {
            p.BlockCount = 0;
            setUsed(p, {0, 1}, false);
        }
        break;
    default:
        break;
    }
}

void switchExerciseStep(Machine &m, int step)
{
    if (step < 1 || step > 3)
        return;
    m.app.Step = static_cast<std::uint8_t>(step);
    if (step == 3 && m.app.PartsCount <= 0)
        return;
    for (PartsRecord &p : m.parts) {
        switch (p.Kind) {
        case KindCoinSlot:
            if (step == 1) {
                p.BlockCount = 0;
                setUsed(p, {0, 1, 2}, false);
            } else {
                p.BlockCount = 3;
                p.BranchCount = 1;
                setUsed(p, {0, 1, 2}, true);
                p.Blocks[0].Complete = -1;
            }
            break;
        case KindButton:
            if (step == 1) {
                cutButton(p, 1);
            } else if (step == 2) {
                cutButton(p, 2);
                p.Blocks[0].Used = -1;
            } else {
                p.FirstBlock = 0;
                p.BlockCount = 5;
                p.BranchCount = 2;
                p.Blocks[0].Used = -1;
                p.Blocks[1].NextBlock = 2;
                setUsed(p, {2, 3, 4}, true);
            }
            break;
        case KindLever:
            if (step == 3) {
                p.BlockCount = 2;
                setUsed(p, {0, 1}, true);
            } else {
                p.BlockCount = 0;
                setUsed(p, {0, 1}, false);
            }
            break;
        default:
            break;
        }
    }
}

} // namespace jhk
