#pragma once

#include "model/Kinds.h"
#include "rules/PaperPage.h"

#include <array>
#include <string>

namespace jhk {

struct Machine;
class Stage;

// The printout's texts.
inline constexpr const char *PrintTitle = "  ジハンコウボウ －自動販売機－ ";
inline constexpr const char *PrintLevelPrefix = "  レベル：   　  ";
inline constexpr const char *PrintPartsCountPrefix = "  パーツの個数： ";
inline constexpr const char *PrintMoneyPrefix = "　所持金：  　 ￥";
inline constexpr const char *PrintFailedMessage = "印刷できませんでした。";

// What the print dialog's two boxes ask for.
struct PrintContents {
    bool picture = true; // "自動販売機外観のプリント"
    bool numbers = true; // "パーツ番号の印刷"
};

// OK prints only while the machine is being edited and the appearance box is ticked.
bool printRequested(const Machine &m, const PrintContents &contents);

// The machine's page as it is to be printed: the tables, the stage as it is shown, the font
// faces of the labels ("" for the face's own) and `headerNote` (a class set prints each
// machine's file name there) in the header's free space below the money in hand.
struct MachinePrint {
    const Machine &machine;
    const Stage &stage;
    std::array<std::string, LabelSlots> labelFonts{};
    std::string headerNote{};
    bool numbers = true;
};

// Lays out the picture of the machine on one page of `pageWidth` device pixels at `dpiX` ×
// `dpiY`: the background, the parts (each picture at its size on the screen), their numbers
// when asked for, the header and the labels, at the size the stage has on the screen, from the
// top-left corner of the printable area. Nothing unless the machine is being edited.
std::vector<PaperItem> layoutMachinePrint(const MachinePrint &print, int dpiX, int dpiY, double pageWidth,
                                          const PaperMeasure &measure);

} // namespace jhk
