#pragma once

#include "model/Kinds.h"

#include <QString>

#include <array>
#include <string>

class QPainter;

namespace jhk {

struct Machine;
class Printer;
class Stage;
class StagePictures;

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

// Everything the printout shows: the tables, the stage as it is shown, its pictures and the
// font faces of the labels ("" for the default face). Pictures a pupil painted are kept
// beside the machine's document: `documentPath` names it, "" when there is none. `headerNote`
// (a class set prints each machine's file name there) goes into the header's free space below
// the money in hand.
struct PrintSource {
    const Machine &machine;
    const Stage &stage;
    StagePictures &pictures;
    std::array<std::string, LabelSlots> labelFonts{};
    std::string documentPath{};
    std::string headerNote{};
};

// OK prints only while the machine is being edited and the appearance box is ticked.
bool printRequested(const Machine &m, const PrintContents &contents);

// Draws the picture of the machine on one page: the background, the parts, their numbers
// when asked for, the header and the labels, at the size the stage has on the screen. The
// painter is active on a device of `dpiX` × `dpiY`; page positions are twips from the top-left
// corner of the printable area.
void paintMachinePicture(QPainter &painter, int dpiX, int dpiY, const PrintSource &source, bool numbers);

// Prints the machine picture on one page of `printer`. Returns an empty text when the page
// went out, otherwise the message to show.
QString printMachine(Printer &printer, const PrintSource &source, bool numbers);

} // namespace jhk
