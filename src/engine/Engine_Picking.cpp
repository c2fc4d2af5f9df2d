// Picking a part on the stage for an operand of the block being edited.
#include "engine/Engine.h"

#include "model/AppState.h"
#include "model/Catalogue.h"

namespace jhk {

std::array<std::string, 3> Engine::variableMenu(int i) const
{
    if (!isPartSlot(i))
        return {"変数１", "変数２", "変数３"};
    const auto entry = m_catalogue.entry(m_m.part(i).Kind);
    if (!entry)
        return {"変数１", "変数２", "変数３"};
    return {entry->labelA, entry->labelB, entry->labelC};
}

PickOutcome Engine::pickPart(int i)
{
    AppState &app = m_m.app;
    PickOutcome out;
    const int mode = app.RunMode;
    if (mode != ModePickOperand1 && mode != ModePickOperand2 && mode != ModePickOperand4)
        return out;
    if (!m_m.partExists(i) || !isPartSlot(app.CurParts) || app.CurBlock < 0 || app.CurBlock >= BlockSlots)
        return out;
    BlockRecord &b = m_m.part(app.CurParts).Blocks[static_cast<std::size_t>(app.CurBlock)];
    const int kind = m_m.part(i).Kind;
    const std::string numbered = std::to_string(i) + ":" + m_catalogue.kindName(kind);
    // A part of a kind the block cannot use is refused at once, naming the kind it takes.
    const int param = mode == ModePickOperand1 ? 1 : mode == ModePickOperand2 ? 2 : 4;
    if (const int needed = operandKindNeeded(b.Kind, param); needed >= 0 && kind != needed) {
        out.refused = true;
        message(std::string(msg::WrongOperandKindBefore) + std::string(PartsKindCaptions[static_cast<std::size_t>(needed)])
                + msg::WrongOperandKindAfter);
        return out;
    }
    out.picked = true;
    if (mode == ModePickOperand1) {
        out.row = 0;
        out.rowText = m_catalogue.entry(kind) ? numbered : std::to_string(i);
        b.Param[1] = ParamValue(i);
    } else {
        out.row = mode == ModePickOperand2 ? 1 : 3;
        out.rowText = numbered;
        b.Param[mode == ModePickOperand2 ? 2 : 4] = ParamValue(i);
        b.PickFlags[1] = 4;
        b.PickFlags[2] = 4;
    }
    if (mode != ModePickOperand2 && b.Kind == BlockBranch) {
        out.showVariableMenu = true;
        out.menuCaptions = variableMenu(i);
    }
    return out;
}

VariableChoice Engine::chooseVariable(const std::string &letter, const std::string &caption)
{
    AppState &app = m_m.app;
    VariableChoice out;
    const int mode = app.RunMode;
    if (mode != ModePickOperand1 && mode != ModePickOperand4)
        return out;
    if (!isPartSlot(app.CurParts) || app.CurBlock < 0 || app.CurBlock >= BlockSlots)
        return out;
    BlockRecord &b = m_m.part(app.CurParts).Blocks[static_cast<std::size_t>(app.CurBlock)];
    out.chosen = true;
    out.rowText = caption;
    if (mode == ModePickOperand1) {
        b.Param[2] = ParamValue(letter);
        out.row = 1;
    } else {
        b.Param[5] = ParamValue(letter);
        out.row = 4;
    }
    return out;
}

} // namespace jhk
