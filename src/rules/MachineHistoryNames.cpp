#include "rules/MachineHistoryNames.h"

#include <algorithm>
#include <cstddef>

namespace jhk {

namespace {

// The ways an edit can change the machine, the one that shows most first.
enum class Change {
    PartAdded,
    PartRemoved,
    LabelAdded,
    LabelRemoved,
    PartMoved,
    LabelMoved,
    PartProperties,
    Drawing,
    LabelChanged,
    Background,
    Money,
    Step,
    Level,
    Program,
    Other,
};

StepName stepFor(Change change)
{
    switch (change) {
    case Change::PartAdded: return {"パーツの追加"};
    case Change::PartRemoved: return {"パーツの削除"};
    case Change::LabelAdded: return {"ラベルの追加"};
    case Change::LabelRemoved: return {"ラベルの削除"};
    case Change::PartMoved: return {"パーツの移動"};
    case Change::LabelMoved: return {"ラベルの移動"};
    case Change::PartProperties: return {"プロパティの変更"};
    case Change::Drawing: return {"絵の変更"};
    case Change::LabelChanged: return {"ラベルの変更"};
    case Change::Background: return {"背景の変更"};
    case Change::Money: return {"所持金の変更"};
    case Change::Step: return {"ステップの変更"};
    case Change::Level: return {"レベルの変更"};
    case Change::Program: return {"プログラムの変更", false};
    case Change::Other: break;
    }
    return {"変更"};
}

bool sameProgram(const PartsRecord &a, const PartsRecord &b)
{
    return a.Blocks == b.Blocks && a.BranchCount == b.BranchCount && a.BlockCount == b.BlockCount
        && a.FirstBlock == b.FirstBlock;
}

Change partChange(const PartsRecord &a, const PartsRecord &b)
{
    if (a.isUsed() != b.isUsed())
        return b.isUsed() ? Change::PartAdded : Change::PartRemoved;
    if (!a.isUsed() || a == b)
        return Change::Other;
    if (a.Left != b.Left || a.Top != b.Top)
        return Change::PartMoved;
    PartsRecord withProgram = b;
    withProgram.Blocks = a.Blocks;
    withProgram.BranchCount = a.BranchCount;
    withProgram.BlockCount = a.BlockCount;
    withProgram.FirstBlock = a.FirstBlock;
    if (!(withProgram == a))
        return Change::PartProperties;
    return sameProgram(a, b) ? Change::Other : Change::Program;
}

Change labelChange(const LabelRecord &a, const LabelRecord &b, const std::string &fontA, const std::string &fontB)
{
    if (a.isUsed() != b.isUsed())
        return b.isUsed() ? Change::LabelAdded : Change::LabelRemoved;
    if (!a.isUsed())
        return Change::Other;
    if (a.Left != b.Left || a.Top != b.Top)
        return Change::LabelMoved;
    return a == b && fontA == fontB ? Change::Other : Change::LabelChanged;
}

} // namespace

StepName nameEdit(const EditSide &before, const EditSide &after)
{
    const Machine &a = before.machine;
    const Machine &b = after.machine;
    Change shown = Change::Other;
    const auto consider = [&shown](Change c) { shown = std::min(shown, c); };
    for (int i = 0; i < PartSlots; ++i)
        consider(partChange(a.part(i), b.part(i)));
    for (int j = 0; j < LabelSlots; ++j) {
        const auto s = static_cast<std::size_t>(j);
        consider(labelChange(a.label(j), b.label(j), before.labelFonts[s], after.labelFonts[s]));
    }
    if (before.paintedKey != after.paintedKey)
        consider(Change::Drawing);
    if (a.app.BackPictName != b.app.BackPictName)
        consider(Change::Background);
    if (a.app.MoneyInHand != b.app.MoneyInHand || a.app.Wallet != b.app.Wallet)
        consider(Change::Money);
    if (a.app.Step != b.app.Step)
        consider(Change::Step);
    if (a.app.Level != b.app.Level)
        consider(Change::Level);
    return stepFor(shown);
}

std::string editCaption(bool undo, const StepName *step)
{
    const std::string command = undo ? "元に戻す" : "やり直し";
    const std::string key = undo ? "(&U)" : "(&R)";
    if (!step || step->name.empty())
        return command + key;
    return command + "「" + step->name + "」" + key;
}

std::string travelNote(bool undo, const StepName &step)
{
    if (step.shownOnStage)
        return {};
    return "「" + step.name + (undo ? "」を元に戻しました" : "」をやり直しました")
        + "\n（ステージの見た目は変わりません）";
}

} // namespace jhk
