#include "model/OperandWords.h"

#include "model/Kinds.h"
#include "model/Records.h"

namespace jhk {

namespace {

bool isProperty(const ParamValue &p)
{
    return p.isText("A") || p.isText("B") || p.isText("C");
}

// Writes the operands of one block, one value at a time, as values or as empty boxes.
class Words {
public:
    Words(const BlockRecord &b, OperandStyle style) : m_block(b), m_blank(style == OperandStyle::Blank) {}

    const ParamValue &param(int n) const { return m_block.Param[static_cast<std::size_t>(n)]; }

    // "3番": the part named by P(n).
    std::string part(int n) const
    {
        if (m_blank)
            return std::string(BlankOperand) + "番";
        const ParamValue &p = param(n);
        if (p.isEmpty() || p.toInt() < 0)
            return std::string(UnsetOperand) + "番";
        return std::to_string(p.toInt()) + "番";
    }

    // A number or text as it is, "？" when unset.
    std::string value(int n) const
    {
        if (m_blank)
            return BlankOperand;
        const ParamValue &p = param(n);
        if (p.isEmpty() || p.isUnset())
            return UnsetOperand;
        return p.toText();
    }

    // One side of a comparison: variable P(property) of part P(partParam) ("1番のA"), or else
    // the constant P(constant).
    std::string side(int partParam, int property, int constant) const
    {
        if (m_blank)
            return BlankOperand;
        if (isProperty(param(property)))
            return part(partParam) + "の" + param(property).textValue();
        return value(constant);
    }

private:
    const BlockRecord &m_block;
    bool m_blank;
};

} // namespace

std::string blockKindName(int kind)
{
    if (kind >= FirstVendingBlock && kind <= LastVendingBlock)
        return std::string(vendingBlockName(kind));
    if (kind >= 1 && kind <= static_cast<int>(GeneralBlockNames.size()))
        return std::string(GeneralBlockNames[static_cast<std::size_t>(kind - 1)]);
    return {};
}

std::string operandWords(const BlockRecord &b, OperandStyle style)
{
    const Words w(b, style);
    switch (b.Kind) {
    case BlockMove:
        return w.part(3) + "のパーツを(" + w.value(1) + ", " + w.value(2) + ")へ";
    case BlockDischarge:
        return w.part(1) + "の商品を" + w.part(2) + "の出口へ";
    case BlockBuyLampOn:
    case BlockBuyLampOff:
    case BlockSoldOutLampOn:
        return w.part(1) + "のボタン";
    case BlockAddMoney:
        return w.part(1) + "の金額表示に";
    case BlockSubtract:
        return w.part(1) + "の金額表示から" + w.part(2) + "の値段を";
    case BlockPayChange:
        return w.part(1) + "の金額表示から";
    case BlockReduceStock:
        return w.part(1) + "の商品";
    case BlockBranch:
        // A blank comparison is labelled for the pupil: which part, which of its variables,
        // and what it is compared with; the comparison itself stays printed.
        if (style == OperandStyle::Blank) {
            const ParamValue &op = b.Param[3];
            std::string sign = op.isEmpty() || op.isUnset() ? std::string(BlankOperand) : op.toText();
            if (sign == "=")
                sign = "＝";
            return w.part(1) + "の" + BlankOperand + sign + BlankOperand;
        }
        // The left side is P(1) itself unless P(2) names a variable of part P(1); the right
        // side is P(5) itself unless it names a variable of part P(4).
        return w.side(1, 2, 1) + " " + w.value(3) + " " + w.side(4, 5, 5);
    default:
        return {};
    }
}

std::string blockInWords(const BlockRecord &b, OperandStyle style)
{
    const std::string name = blockKindName(b.Kind);
    const std::string words = operandWords(b, style);
    if (words.empty())
        return name;
    return name + " " + words;
}

} // namespace jhk
