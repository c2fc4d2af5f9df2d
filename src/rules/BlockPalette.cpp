#include "rules/BlockPalette.h"

#include "model/Kinds.h"

namespace jhk {

namespace {

// Unavailable vending entries at level 2 by part kind: bit p marks list position p.
constexpr std::array<unsigned, PartsKindCount> Level2Unavailable = {
    0b001111110, // product: only discharge, stock and branch
    0b000001010, // button
    0b000010000, // coin slot
    0b011001111, // amount display
    0b000011111, // change outlet
    0b000001000, // money in hand
    0b000011111, // product outlet
    0b000001010, // change lever
};
// At level 3 only coin slots add inserted money.
constexpr unsigned Level3Unavailable = 0b000001000;

} // namespace

bool isUnavailableBlock(int level, int partKind, int position)
{
    if (position < 0 || position >= static_cast<int>(VendingBlockNames.size()))
        return false;
    unsigned mask = 0;
    if (level == 2 && partKind >= 0 && partKind < PartsKindCount)
        mask = Level2Unavailable[static_cast<std::size_t>(partKind)];
    else if (level == 3 && partKind != KindCoinSlot)
        mask = Level3Unavailable;
    return (mask >> position) & 1u;
}

std::array<std::vector<std::string>, PaletteTabCount> paletteLists(int level, int partKind)
{
    std::array<std::vector<std::string>, PaletteTabCount> lists;
    for (std::string_view name : StandardTabNames)
        lists[0].emplace_back(name);
    for (std::size_t p = 0; p < VendingBlockNames.size(); ++p) {
        std::string entry(VendingBlockNames[p]);
        if (isUnavailableBlock(level, partKind, static_cast<int>(p)))
            entry += UnavailableMark;
        lists[VendingTab].push_back(std::move(entry));
    }
    return lists;
}

bool hasUnavailableMark(std::string_view text)
{
    return text.ends_with(UnavailableMark);
}

} // namespace jhk
