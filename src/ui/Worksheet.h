#pragma once

#include "model/OperandWords.h"

#include <QString>

namespace jhk {

struct Machine;
class Catalogue;

// Writes the worksheet of a machine: an A4 PDF with one page per part that has a program,
// each with the part's number, kind name and variables above its flowchart drawn on white
// paper, every box showing its block's name and operands in words (or empty boxes for the
// operands in the blank style, for pupils to fill in). `title` (e.g. the document's file name)
// is printed in the corner of every page when not empty. The file is replaced only once it is
// completely written. Returns "" on success, otherwise the message to show.
QString writeWorksheet(const Machine &m, const Catalogue &catalogue, const QString &path, OperandStyle style,
                       const QString &title = {});

// The number of pages a worksheet of the machine has: its parts with a program.
int worksheetPageCount(const Machine &m);

} // namespace jhk
