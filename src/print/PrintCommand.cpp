#include "print/PrintCommand.h"

#include "document/JhkDocument.h"
#include "engine/Engine.h"
#include "engine/PictureSizes.h"
#include "engine/Sound.h"
#include "app/RunningProgram.h"
#include "model/AppPaths.h"
#include "model/AppState.h"
#include "model/Catalogue.h"
#include "model/CommandLine.h"
#include "print/MachinePrintout.h"
#include "print/OutputFile.h"
#include "print/Printer.h"
#include "ui/StagePictures.h"
#include "ui/Worksheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace jhk {

namespace {

// Twips per pixel of the classroom screens the stage is laid out for (96 dpi).
constexpr double StandardTwipsPerPixel = 15;
constexpr int MaxCopies = 999;

// Keeps the engine's messages for standard error.
class MessageLog : public StageView {
public:
    void showMessage(const std::string &text) override { messages += text + "\n"; }
    std::string messages;
};

void printError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// A wrong command line: the reason in the system's language, then the usage; status 2.
int usage(const QString &japanese, const QString &english)
{
    const QString what = japaneseMessages() ? japanese : english;
    return usageError("jihankobo", PrintUsage, what.toLocal8Bit().toStdString());
}

// The output named on the command line may be written: not a machine, a PDF name. Otherwise
// the reason is written and the status is 2.
std::optional<int> refuseOutput(const QString &path)
{
    if (const QString refused = machineOutputRefusal(path); !refused.isEmpty()) {
        printError(refused);
        return 2;
    }
    const QString suffix = QFileInfo(path).suffix();
    if (!suffix.isEmpty() && suffix.compare(QStringLiteral("pdf"), Qt::CaseInsensitive) != 0)
        return usage(QStringLiteral("書き出すのはPDFのファイルです。名前は .pdf で終わるようにしてください: %1").arg(path),
                     QStringLiteral("the output is a PDF file: give it a name ending in .pdf: %1").arg(path));
    return std::nullopt;
}

// File names in a class's order: letters without regard to case, runs of digits by their value
// (so "pupil2" comes before "pupil10"), whatever the system's locale.
bool namedBefore(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i;
            qsizetype ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            // Compare the values without leading zeros: the longer number is the larger.
            QStringView x = QStringView(a).mid(i, ei - i);
            QStringView y = QStringView(b).mid(j, ej - j);
            while (x.size() > 1 && x.front() == QLatin1Char('0'))
                x = x.mid(1);
            while (y.size() > 1 && y.front() == QLatin1Char('0'))
                y = y.mid(1);
            if (x.size() != y.size())
                return x.size() < y.size();
            if (const int c = x.compare(y); c != 0)
                return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        const QChar ca = a[i].toCaseFolded();
        const QChar cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    return a < b;
}

// The machines named on the command line: files as they are, folders by their *.jhk files
// in any letter case, in the order of their names.
QStringList machineFiles(const QStringList &items)
{
    QStringList files;
    for (const QString &item : items) {
        const QFileInfo info(item);
        if (!info.isDir()) {
            files << item;
            continue;
        }
        QStringList found;
        for (const QFileInfo &entry : QDir(item).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
            if (entry.suffix().compare(QStringLiteral("jhk"), Qt::CaseInsensitive) == 0)
                found << entry.filePath();
        std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) {
            return namedBefore(QFileInfo(a).fileName(), QFileInfo(b).fileName());
        });
        files << found;
    }
    return files;
}

// A machine read from its document with the stage that shows it, ready to be printed.
struct OpenedMachine {
    QString path;
    std::unique_ptr<Machine> machine;
    std::unique_ptr<Engine> engine;
};

// What every machine of a print run shares: the program's folder, catalogue and pictures.
class MachineReader {
public:
    MachineReader()
        : m_appFolder(applicationFolder()), m_catalogue(m_appFolder), m_sizes(m_appFolder),
          m_pictures(QString::fromStdString(m_appFolder))
    {
    }

    // Reads a document; on failure writes "FILE: the reader's message" to standard error.
    std::optional<OpenedMachine> open(const QString &path)
    {
        OpenedMachine opened{path, std::make_unique<Machine>(), nullptr};
        applyStartupValues(opened.machine->app, StandardTwipsPerPixel, StandardTwipsPerPixel);
        opened.engine = std::make_unique<Engine>(*opened.machine, m_catalogue, m_log, m_silence, m_sizes);
        opened.engine->partsLoad();
        m_log.messages.clear();
        if (!opened.engine->openDocument(path.toStdString())) {
            std::string why = m_log.messages;
            while (!why.empty() && why.back() == '\n')
                why.pop_back();
            printError(path + QStringLiteral(": ") + QString::fromStdString(why));
            return std::nullopt;
        }
        return opened;
    }

    PrintSource source(const OpenedMachine &m, bool withFileName)
    {
        PrintSource s{*m.machine, m.engine->stage(), m_pictures, {}, m.path.toStdString()};
        if (withFileName)
            s.headerNote = QFileInfo(m.path).fileName().toStdString();
        return s;
    }

private:
    std::string m_appFolder;
    Catalogue m_catalogue;
    MessageLog m_log;
    SilentSoundPlayer m_silence;
    FilePictureSizes m_sizes;
    StagePictures m_pictures;
};

// Prints every readable machine of `items` on `printer` as one job, one page each with its
// file name in the header. 0, or 1 when a machine was skipped or the job failed.
int printClassSet(const QStringList &items, Printer &printer)
{
    MachineReader reader;
    std::vector<OpenedMachine> machines;
    bool skipped = false;
    for (const QString &file : machineFiles(items)) {
        if (auto opened = reader.open(file))
            machines.push_back(std::move(*opened));
        else
            skipped = true;
    }
    if (machines.empty()) {
        printError(QStringLiteral("印刷できる自動販売機のファイルがありません。"));
        return 1;
    }
    const QString failure = printer.print(static_cast<int>(machines.size()), [&](QPainter &painter, int page, int dpiX, int dpiY) {
        paintMachinePicture(painter, dpiX, dpiY, reader.source(machines[static_cast<std::size_t>(page)], true), true);
    });
    if (!failure.isEmpty()) {
        printError(failure);
        return 1;
    }
    return skipped ? 1 : 0;
}

std::unique_ptr<Printer> makePrinter(PrinterOutput output)
{
    QString error;
    auto printer = createPrinter(output, &error);
    if (!printer)
        printError(error);
    return printer;
}

// The job's title as the queue lists it: the machine's file or the class's folder, so that a
// teacher finds each class's pages in the queue.
QString jobName(const QStringList &items)
{
    QStringList names;
    for (const QString &item : items)
        names << QFileInfo(QDir::cleanPath(item)).fileName();
    if (names.size() == 1)
        return names.first();
    return QStringLiteral("%1 ほか%2件").arg(names.first()).arg(names.size() - 1);
}

// --print [--printer NAME] [--copies N] ITEMS...
int printCommand(QStringList args)
{
    QString queue;
    int copies = 1;
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--"))) {
        const QString option = args.takeFirst();
        if (option != QStringLiteral("--printer") && option != QStringLiteral("--copies"))
            return usage(QStringLiteral("知らないオプションです: %1").arg(option),
                         QStringLiteral("unknown option: %1").arg(option));
        if (args.isEmpty() || args.first().isEmpty())
            return usage(option == QStringLiteral("--printer")
                             ? QStringLiteral("--printer の後にプリンターの名前を書いてください。")
                             : QStringLiteral("--copies の後に部数を書いてください。"),
                         QStringLiteral("%1 needs a value").arg(option));
        if (option == QStringLiteral("--printer")) {
            queue = args.takeFirst();
        } else {
            bool ok = false;
            const QString given = args.takeFirst();
            copies = given.toInt(&ok);
            if (!ok || copies < 1 || copies > MaxCopies)
                return usage(QStringLiteral("部数は 1 から %1 までの数で書いてください: %2").arg(MaxCopies).arg(given),
                             QStringLiteral("--copies takes a number from 1 to %1: %2").arg(MaxCopies).arg(given));
        }
    }
    if (args.isEmpty())
        return usage(QStringLiteral("印刷するマシンのファイルかフォルダーを書いてください。"),
                     QStringLiteral("name the machine files or folders to print"));
    auto printer = makePrinter(PrinterOutput::System);
    if (!printer)
        return 1;
    if (!queue.isEmpty())
        printer->setQueueName(queue);
    if (printer->printsToFile()) {
        // Without a default queue the job is not sent to one picked at random.
        const QStringList queues = printer->queueNames();
        if (queues.isEmpty())
            printError(QStringLiteral("プリンターがありません。PDFにするには --print-pdf を使ってください。"));
        else
            printError(QStringLiteral("ふだん使うプリンターが決まっていません。--printer で次のどれかを指定してください:\n  ")
                       + queues.join(QStringLiteral("\n  ")));
        return 2;
    }
    printer->setCopies(copies);
    printer->setDocumentName(jobName(args));
    const int status = printClassSet(args, *printer);
    if (printer->lastJobId() > 0)
        printError(QStringLiteral("プリンター「%1」に送りました（ジョブ番号 %2）。").arg(printer->queueName()).arg(printer->lastJobId()));
    return status;
}

// True when `path` names a machine: a .jhk name or a file the program reads as one.
bool namesMachine(const QString &path)
{
    return !machineOutputRefusal(path).isEmpty();
}

// --print-pdf OUT.pdf ITEMS... (a class set) or --print-pdf MACHINE.jhk OUT.pdf (one machine).
int printPdfCommand(const QStringList &args)
{
    if (args.size() < 2)
        return usage(QStringLiteral("--print-pdf には、マシンのファイルと書き出すPDFの名前を書いてください。"),
                     QStringLiteral("--print-pdf needs a machine file and the name of the PDF to write"));
    // Two names: a machine and its PDF in either order (the PDF first is a class set of one).
    bool classSet = args.size() > 2 || QFileInfo(args[1]).isDir();
    if (!classSet && namesMachine(args[1]) && !namesMachine(args[0]))
        classSet = true;
    if (!classSet) {
        if (const auto refused = refuseOutput(args[1]))
            return *refused;
        return printMachineToPdf(args[0], args[1]);
    }
    if (const auto refused = refuseOutput(args[0]))
        return *refused;
    auto printer = makePrinter(PrinterOutput::Pdf);
    if (!printer)
        return 1;
    printer->setOutputFileName(args[0]);
    printer->setDocumentName(jobName(args.mid(1)));
    return printClassSet(args.mid(1), *printer);
}

// --worksheet [--blank] MACHINE.jhk OUT.pdf
int worksheetCommand(QStringList args)
{
    OperandStyle style = OperandStyle::Filled;
    if (!args.isEmpty() && args.first() == QStringLiteral("--blank")) {
        style = OperandStyle::Blank;
        args.removeFirst();
    }
    for (const QString &arg : args)
        if (arg.startsWith(QStringLiteral("--")))
            return usage(QStringLiteral("知らないオプションです: %1").arg(arg), QStringLiteral("unknown option: %1").arg(arg));
    if (args.size() != 2)
        return usage(QStringLiteral("--worksheet には、マシンのファイルと書き出すPDFの名前を1つずつ書いてください。"),
                     QStringLiteral("--worksheet needs one machine file and the name of the PDF to write"));
    if (const auto refused = refuseOutput(args[1]))
        return *refused;
    auto machine = std::make_unique<Machine>();
    applyStartupValues(machine->app, StandardTwipsPerPixel, StandardTwipsPerPixel);
    const LoadResult loaded = loadDocument(QFile::encodeName(args[0]).toStdString(), *machine);
    if (!loaded.ok) {
        printError(args[0] + QStringLiteral(": ") + QString::fromStdString(loaded.message));
        return 1;
    }
    const Catalogue catalogue(applicationFolder());
    const QString failure = writeWorksheet(*machine, catalogue, args[1], style, QFileInfo(args[0]).fileName());
    if (!failure.isEmpty()) {
        printError(failure);
        return 1;
    }
    return 0;
}

} // namespace

bool isPrintCommand(const QString &argument)
{
    return argument == QStringLiteral("--print") || argument == QStringLiteral("--print-pdf")
        || argument == QStringLiteral("--worksheet");
}

std::optional<int> runPrintCommand(const QStringList &args)
{
    if (args.isEmpty() || !isPrintCommand(args.first()))
        return std::nullopt;
    const QString command = args.first();
    if (command == QStringLiteral("--print"))
        return printCommand(args.mid(1));
    if (command == QStringLiteral("--print-pdf"))
        return printPdfCommand(args.mid(1));
    return worksheetCommand(args.mid(1));
}

int printMachineToPdf(const QString &jhk, const QString &pdf)
{
    if (const QString refused = machineOutputRefusal(pdf); !refused.isEmpty()) {
        printError(refused);
        return 2;
    }
    MachineReader reader;
    auto opened = reader.open(jhk);
    if (!opened)
        return 1;
    auto printer = makePrinter(PrinterOutput::Pdf);
    if (!printer)
        return 1;
    printer->setOutputFileName(pdf);
    printer->setDocumentName(QFileInfo(jhk).fileName());
    const QString failure = printMachine(*printer, reader.source(*opened, false), true);
    if (!failure.isEmpty()) {
        printError(failure);
        return 1;
    }
    return 0;
}

} // namespace jhk
