#pragma once

#include <QString>

namespace jhk {

// jihankobo --print-pdf MACHINE.jhk OUT.pdf: prints the machine's page (appearance and part
// numbers) to a PDF file without a window, at the stage's size on a 96-dpi screen. Needs a
// running QGuiApplication. Returns 0, or 1 after writing the reason to standard error.
int printMachineToPdf(const QString &jhk, const QString &pdf);

} // namespace jhk
