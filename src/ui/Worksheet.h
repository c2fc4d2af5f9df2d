#pragma once

#include "model/OperandWords.h"

#include <QString>

namespace jhk {

struct Machine;
class Catalogue;

// Writes the worksheet of a machine: an A4 PDF with a page per part that has a program (more
// when its flowchart is too tall for one), each with the part's number, kind name and
// variables above its flowchart drawn on white paper, every box showing its block's name and
// operands in words (or blanks for the operands in the blank style, for pupils to fill in). `title` (e.g. the document's file name)
// is printed in the corner of every page when not empty. The file is replaced only once it is
// completely written. Returns "" on success, otherwise the message to show.
QString writeWorksheet(const Machine &m, const Catalogue &catalogue, const QString &path, OperandStyle style,
                       const QString &title = {});

} // namespace jhk
