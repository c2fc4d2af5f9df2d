#pragma once

#include "model/Kinds.h"
#include "rules/MachinePrintLayout.h"

#include <QString>

#include <array>
#include <string>

class QPainter;

namespace jhk {

class Printer;
class StagePictures;

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

// Draws the picture of the machine on one page as the print layout lays it out, with the
// pictures of the stage. The painter is active on a device of `dpiX` × `dpiY`.
void paintMachinePicture(QPainter &painter, int dpiX, int dpiY, const PrintSource &source, bool numbers);

// Prints the machine picture on one page of `printer`. Returns an empty text when the page
// went out, otherwise the message to show.
QString printMachine(Printer &printer, const PrintSource &source, bool numbers);

} // namespace jhk
