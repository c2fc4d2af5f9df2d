#include "model/AppState.h"

#include "model/Int16.h"

namespace jhk {

namespace {

// A free part slot: no blocks linked, every block empty with its own number and no operands.
// Made once; every reset copies it (a machine has 31 slots of 31 blocks, and machines are made
// at every start, open and undo step).
const PartsRecord &freePartSlot()
{
    static const PartsRecord free = [] {
        PartsRecord part;
        part.FirstBlock = LinkNone;
        for (std::size_t k = 0; k < part.Blocks.size(); ++k) {
            BlockRecord &b = part.Blocks[k];
            b.BlockNo = static_cast<std::int16_t>(k);
            b.Kind = BlockEmpty;
            b.NextBlock2 = LinkNone;
            for (ParamValue &p : b.Param)
                p = ParamValue(std::int16_t{-1});
        }
        return part;
    }();
    return free;
}

} // namespace

void resetPartSlot(PartsRecord &part, int slot)
{
    (void)slot;
    // The picture name is kept: a freed slot remembers its picture.
    std::string picture = std::move(part.PictName);
    part = freePartSlot();
    part.PictName = std::move(picture);
}

void resetLabelSlot(LabelRecord &label)
{
    label = LabelRecord{};
}

Machine::Machine()
{
    resetAllSlots(*this);
}

void resetAllSlots(Machine &m)
{
    for (int i = 0; i < PartSlots; ++i)
        resetPartSlot(m.part(i), i);
    for (LabelRecord &l : m.labels)
        resetLabelSlot(l);
}

void applyStartupValues(AppState &app, double twipsPerPixelX, double twipsPerPixelY)
{
    app = AppState{};
    app.TwipsX = clamp16(roundHalfEven(twipsPerPixelX));
    app.TwipsY = clamp16(roundHalfEven(twipsPerPixelY));
    app.DigitLeft = mul16(app.TwipsX, 46);
    app.DigitTop = mul16(app.TwipsY, 13);
    app.StepGo = 0;
    app.ColorTable = StartColorTable;
    app.MoneySetting = StartMoney;
    app.MoneyInHand = StartMoney;
    app.Wallet = StartWallet;
    app.BlockEditorOpen = 0;
    app.PartsCount = 0;
    app.RunMode = ModeEditing;
    app.CurParts = -1;
    app.DragIndex = -1;
    app.CoinIndex = -1;
    app.DraggedCoin = -1;
}

std::optional<std::string> screenCheck(long long screenWidthTwips, long long screenHeightTwips,
                                       std::int16_t twipsX, std::int16_t twipsY)
{
    if (twipsX <= 0 || twipsY <= 0)
        return std::string(SmallScreenMessage);
    if (screenWidthTwips / twipsX < 800 || screenHeightTwips / twipsY < 600)
        return std::string(SmallScreenMessage);
    return std::nullopt;
}

} // namespace jhk
