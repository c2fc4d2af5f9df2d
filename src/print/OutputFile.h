#pragma once

#include <QByteArray>
#include <QString>

namespace jhk {

// Files the print commands, the worksheets and the flowchart export write.

// Why a command must not write its output to `path`, or "" when it may: a name that ends in
// ".jhk" (in any letter case) or a file the program reads as a machine is a pupil's work and
// is never written over by a picture or a PDF.
QString machineOutputRefusal(const QString &path);

// Replaces the file at `path` by `bytes` in one step, as documents are saved: the old file
// stays as it was on any failure, and a name that stands for a folder, a pipe, a socket or a
// device is refused without touching it. Returns "" or the reason in words, as a document's
// save gives it ("ディスクの空きが足りません。").
QString writeOutputFile(const QString &path, const QByteArray &bytes);

} // namespace jhk
