#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace jhk {

// The printing commands of the command line, run without a window:
//   --print [--printer NAME] [--copies N] MACHINE.jhk|FOLDER...
//       one page per machine, as one job, to the named queue or the default one;
//   --print-pdf MACHINE.jhk OUT.pdf
//       one machine's page to a PDF file;
//   --print-pdf OUT.pdf MACHINE.jhk|FOLDER...
//       a class set: two or more machines, or a folder of them, as one multi-page PDF;
//   --worksheet [--blank] MACHINE.jhk OUT.pdf
//       the worksheet of a machine: one A4 page per part with a program.
// Folders are searched for *.jhk files in any letter case, sorted by name. A machine that
// cannot be read is reported on standard error and skipped.

// True when `argument` (the first one) starts one of these commands.
bool isPrintCommand(const QString &argument);

// Runs the command `args` (without the program's name) when it is one of these, with a
// QGuiApplication running: 0 done, 1 a machine was skipped or the job failed, 2 a bad command
// line. std::nullopt when `args` is not a printing command.
std::optional<int> runPrintCommand(const QStringList &args);

// jihankobo --print-pdf MACHINE.jhk OUT.pdf: prints the machine's page (appearance and part
// numbers) to a PDF file without a window, at the stage's size on a 96-dpi screen. Returns 0,
// or 1 after writing the reason to standard error.
int printMachineToPdf(const QString &jhk, const QString &pdf);

} // namespace jhk
