#include "model/Creation.h"

#include "model/AppState.h"
#include "model/Int16.h"
#include "model/Level1Programs.h"

namespace jhk {

CreatePartResult createPart(Machine &m, int kind)
{
    AppState &app = m.app;
    CreatePartResult result;
    if (app.PartsCount >= MaxParts) {
        result.message = TooManyPartsMessage;
        return result;
    }
    int slot = -1;
    for (int i = 0; i < PartSlots; ++i) {
        if (!m.part(i).isUsed()) {
            slot = i;
            break;
        }
    }
    if (slot < 0) {
        result.message = StrangeMessage;
        return result;
    }
    app.PartsCount = add16(app.PartsCount, 1);
    result.paletteFull = app.PartsCount >= MaxParts;

    PartsRecord &p = m.part(slot);
    p.Used = -1;
    p.Kind = static_cast<std::int16_t>(kind);
    p.RunDrag = 0;
    p.LampLink = 0;
    p.Spare3 = -1;
    p.Left = clamp16(roundHalfEven(app.DropX));
    p.Top = clamp16(roundHalfEven(app.DropY));
    p.Width = mul16(app.TwipsX, 32);
    p.Height = mul16(app.TwipsY, 32);
    p.ImageNo = 1;
    p.Hensuu = {0, 0, 0, 0};
    p.BlockCount = 0;
    p.FirstBlock = LinkNone;
    for (BlockRecord &b : p.Blocks) {
        b.Used = 0;
        b.Kind = BlockEmpty;
        b.Caption.clear();
        for (ParamValue &v : b.Param)
            v = ParamValue(std::int16_t{-1});
        b.NextBlock2 = LinkNone;
        b.X = 0;
        b.Y = 0;
        b.Complete = 0;
    }
    if (app.Level == 1)
        giveLevel1Program(m, slot);

    app.CurParts = static_cast<std::int16_t>(slot);
    app.SelKind = SelectionPart;
    result.slot = slot;
    return result;
}

std::string newLabelCaption(int j)
{
    return "ラベル" + std::to_string(j);
}

void createLabel(Machine &m, int j, int widthTwips, int heightTwips)
{
    LabelRecord &l = m.label(j);
    l.Used = -1;
    l.LabelNo = static_cast<std::uint8_t>(j);
    l.Caption = newLabelCaption(j);
    l.Width = clamp16(widthTwips);
    l.Height = clamp16(heightTwips);
    l.Left = clamp16(roundHalfEven(m.app.DropX));
    l.Top = clamp16(roundHalfEven(m.app.DropY));
    l.BackColor = 7;
    l.ForeColor = 8;
    l.FontSize = 12;
    l.Transparent = 0;
    l.FontBold = 0;
    l.FontItalic = 0;
}

} // namespace jhk
