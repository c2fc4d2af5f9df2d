#include "document/DocumentCheck.h"

namespace jhk {

namespace {

bool isFlag(std::int16_t v) { return v == 0 || v == -1; }

// Block kinds a program may hold: the general blocks 0..15 known to the interpreter and the
// block panel, the vending blocks, and -1 for a block that has lost its kind.
bool isKnownBlockKind(std::int16_t k)
{
    return k == BlockEmpty || (k >= 0 && k <= 15) || (k >= FirstVendingBlock && k <= LastVendingBlock);
}

std::string partText(int i) { return "パーツ" + std::to_string(i); }
std::string blockText(int i, int k) { return partText(i) + "のブロック" + std::to_string(k); }
std::string wrong(const std::string &what, int value)
{
    return what + "（" + std::to_string(value) + "）が正しくありません。";
}

std::optional<std::string> findPartDamage(const PartsRecord &p, int i)
{
    if (!isFlag(p.Used))
        return wrong(partText(i) + "の使用中の印", p.Used);
    if (!isValidLink(p.FirstBlock))
        return wrong(partText(i) + "の最初のブロック", p.FirstBlock);
    for (int k = 0; k < BlockSlots; ++k) {
        const BlockRecord &b = p.Blocks[static_cast<std::size_t>(k)];
        if (!isValidLink(b.NextBlock))
            return wrong(blockText(i, k) + "の次のブロック", b.NextBlock);
        if (!isValidLink(b.NextBlock2))
            return wrong(blockText(i, k) + "の次のブロック", b.NextBlock2);
    }
    if (!p.isUsed())
        return std::nullopt;

    if (p.Kind < 0 || p.Kind >= PartsKindCount)
        return wrong(partText(i) + "の種類", p.Kind);
    if (p.BlockCount < 0 || p.BlockCount > BlockSlots)
        return wrong(partText(i) + "のブロックの数", p.BlockCount);
    if (p.BranchCount < 0 || p.BranchCount > BlockSlots)
        return wrong(partText(i) + "の条件分岐の数", p.BranchCount);
    for (int k = 0; k < BlockSlots; ++k) {
        const BlockRecord &b = p.Blocks[static_cast<std::size_t>(k)];
        if (!isFlag(b.Used))
            return wrong(blockText(i, k) + "の使用中の印", b.Used);
        if (b.isUsed() && !isKnownBlockKind(b.Kind))
            return wrong(blockText(i, k) + "の種類", b.Kind);
    }
    return std::nullopt;
}

std::optional<std::string> findLabelDamage(const LabelRecord &l, int j)
{
    const std::string name = "ラベル" + std::to_string(j);
    if (!isFlag(l.Used))
        return wrong(name + "の使用中の印", l.Used);
    if (!l.isUsed())
        return std::nullopt;
    if (j == 0)
        return "ラベル0は使えません。";
    if (l.BackColor < 0 || l.BackColor >= ColorCount)
        return wrong(name + "の背景色", l.BackColor);
    if (l.ForeColor < 0 || l.ForeColor >= ColorCount)
        return wrong(name + "の文字色", l.ForeColor);
    return std::nullopt;
}

} // namespace

std::optional<std::string> findDamage(const Machine &m)
{
    const AppState &app = m.app;
    if (app.Level < 1 || app.Level > 3)
        return wrong("レベル", app.Level);
    if (app.RunMode != ModeEditing)
        return wrong("動作モード", app.RunMode);
    if (app.CurParts < -1 || app.CurParts >= PartSlots)
        return wrong("選択中のパーツの番号", app.CurParts);

    int parts = 0;
    for (int i = 0; i < PartSlots; ++i) {
        if (auto damage = findPartDamage(m.part(i), i))
            return damage;
        parts += m.part(i).isUsed() ? 1 : 0;
    }
    int labels = 0;
    for (int j = 0; j < LabelSlots; ++j) {
        if (auto damage = findLabelDamage(m.label(j), j))
            return damage;
        labels += m.label(j).isUsed() ? 1 : 0;
    }
    if (parts > MaxParts)
        return "パーツが多すぎます（" + std::to_string(parts) + "個）。";
    if (app.PartsCount != parts)
        return "パーツの数（" + std::to_string(app.PartsCount) + "）が置かれたパーツの数（" +
               std::to_string(parts) + "）と合いません。";
    if (app.LabelCount != labels)
        return "ラベルの数（" + std::to_string(app.LabelCount) + "）が置かれたラベルの数（" +
               std::to_string(labels) + "）と合いません。";
    return std::nullopt;
}

} // namespace jhk
