#include "engine/RunEndHint.h"

#include "model/AppState.h"
#include "model/Catalogue.h"

namespace jhk {

std::string runEndHint(const RunEndInfo &info, const Machine &m, const Catalogue &catalogue)
{
    if (info.reason != RunEnd::UnsetPart && info.reason != RunEnd::UnsetOperand)
        return {};
    if (!isPartSlot(info.part))
        return info.detail;
    std::string where = "No." + std::to_string(info.part) + " " + catalogue.kindName(m, info.part);
    if (info.block >= 0 && info.block < BlockSlots && m.part(info.part).Blocks[static_cast<std::size_t>(info.block)].Used != 0) {
        const BlockRecord &b = m.part(info.part).Blocks[static_cast<std::size_t>(info.block)];
        const std::string caption
            = b.Caption.empty() ? std::to_string(info.block) + std::string(vendingBlockName(b.Kind)) : b.Caption;
        where += "の「" + caption + "」";
    }
    return where + "で止まりました。" + info.detail;
}

} // namespace jhk
