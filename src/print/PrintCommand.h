#pragma once

#include "model/CommandLine.h"

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
// cannot be read is reported on standard error and skipped. An output that names a machine
// (a .jhk name, or a file that reads as one) or that is not a PDF name is refused with status
// 2 before anything is read or written; a PDF is written whole in one step or not at all.
// `--print` names the queue that took the job and its number on standard error; with no
// --printer and no default queue it lists the queues and gives status 2.

// The print commands' lines of the program's usage, shown after a wrong print command line.
inline constexpr Usage PrintUsage{
    "usage: jihankobo --print [--printer NAME] [--copies N] MACHINE.jhk|FOLDER...\n"
    "       jihankobo --print-pdf MACHINE.jhk OUT.pdf\n"
    "       jihankobo --print-pdf OUT.pdf MACHINE.jhk|FOLDER...\n"
    "       jihankobo --worksheet [--blank] MACHINE.jhk OUT.pdf\n",
    "使い方: jihankobo --print [--printer プリンター] [--copies 部数] マシン.jhk|フォルダー...\n"
    "        jihankobo --print-pdf マシン.jhk 出力.pdf\n"
    "        jihankobo --print-pdf 出力.pdf マシン.jhk|フォルダー...\n"
    "        jihankobo --worksheet [--blank] マシン.jhk 出力.pdf\n"};

// True when `argument` (the first one) starts one of these commands.
bool isPrintCommand(const QString &argument);

// Runs the command `args` (without the program's name) when it is one of these, with a
// QGuiApplication running: 0 done, 1 a machine was skipped or the job failed, 2 a bad command
// line. std::nullopt when `args` is not a printing command.
std::optional<int> runPrintCommand(const QStringList &args);

// jihankobo --print-pdf MACHINE.jhk OUT.pdf: prints the machine's page (appearance and part
// numbers) to a PDF file without a window, at the stage's size on a 96-dpi screen. Returns 0,
// 1 after writing the reason to standard error, or 2 when `pdf` names a machine.
int printMachineToPdf(const QString &jhk, const QString &pdf);

} // namespace jhk
