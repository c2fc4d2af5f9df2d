#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace jhk {

// The block palette of the editor: three tabs of block names. New blocks come from tab 1
// ("自販機１"); tabs 0 and 2 are always switched off.
inline constexpr int PaletteTabCount = 3;
inline constexpr int VendingTab = 1;
inline constexpr std::array<std::string_view, PaletteTabCount> PaletteTabCaptions = {
    "標準", "自販機１", "制御",
};

// Appended to an entry the part may not use; such a block is removed again right after its drop.
inline constexpr std::string_view UnavailableMark = "(使用不可)";

// True when block entry `position` of the vending tab may not be used by a part of kind
// `partKind` at `level`.
bool isUnavailableBlock(int level, int partKind, int position);

// The entries of each tab as the palette lists them for a part of kind `partKind`.
std::array<std::vector<std::string>, PaletteTabCount> paletteLists(int level, int partKind);

// The block kind created from entry `position` of tab `tab`.
constexpr int blockKindOf(int tab, int position) { return 20 * tab + position; }

// True when a palette entry (or a block caption made from it) carries the unavailable mark.
bool hasUnavailableMark(std::string_view text);

} // namespace jhk
