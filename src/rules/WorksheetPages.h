#pragma once

#include "model/OperandWords.h"
#include "rules/PaperPage.h"

#include <string>
#include <vector>

namespace jhk {

struct Machine;
class Catalogue;

// Worksheet pages are laid out in pixels of a screen, as the flowchart itself is.
inline constexpr int WorksheetDpi = 96;

inline constexpr const char *WorksheetNoPrograms = "プログラムのあるパーツがないので、ワークシートを作れません。";
inline constexpr const char *WorksheetPartWithoutProgram = "このパーツにはプログラムがないので、ワークシートを作れません。";

// The worksheet's pages, or why there are none.
struct WorksheetPages {
    std::vector<PaperPage> pages;
    std::string refusal; // "" when there are pages
};

// Lays out the worksheet of a machine on A4 pages of a WorksheetDpi device: a page per part that
// has a program (more when its flowchart is too tall for one; only part `onlyPart` when it is
// not -1), each with the part's number, kind name and variables above its flowchart, every box
// showing its block's name and operands in words (or blanks for the operands in the blank
// style, for pupils to fill in). `title` (e.g. the document's file name) is printed in the
// corner of every page when not empty.
WorksheetPages layoutWorksheet(const Machine &m, const Catalogue &catalogue, OperandStyle style,
                               const std::string &title, const PaperMeasure &measure, int onlyPart = -1);

} // namespace jhk
