#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QPainter;
class QWidget;

namespace jhk {

// Draws page `page` (from 0) of a job on an active painter whose device has `dpiX` × `dpiY`.
using PagePainter = std::function<void(QPainter &painter, int page, int dpiX, int dpiY)>;

// A printer: a queue of the system's print service, or a PDF file. The real one lives in the
// print plugin (it needs Qt Print Support); the windows and commands only see this interface.
class Printer {
public:
    virtual ~Printer() = default;

    // True while the pages would go to a PDF file: no queue is chosen and none is the default.
    virtual bool printsToFile() const = 0;
    virtual QString outputFileName() const = 0;
    // Prints to this PDF file from now on.
    virtual void setOutputFileName(const QString &path) = 0;
    // The queue the pages go to ("" while printing to a file).
    virtual QString queueName() const = 0;
    // Prints to the named queue from now on, whether or not it exists.
    virtual void setQueueName(const QString &name) = 0;
    virtual void setCopies(int copies) = 0;
    // The job's title, as the queue lists it.
    virtual void setDocumentName(const QString &name) = 0;

    // Opens the system's printer set-up dialog over `parent`: the queues, the paper, the
    // copies; `done` is called once it has closed (and its choice taken).
    virtual void showSetup(QWidget *parent, std::function<void()> done) = 0;

    // The queues the print service offers, by name.
    virtual QStringList queueNames() const = 0;

    // Prints `pages` pages as one job. Returns "" when the job went out, otherwise the message
    // to show ("印刷できませんでした。" and the reason). A PDF file is written whole in one step:
    // on any failure the file that had the name stays as it was.
    QString print(int pages, const PagePainter &paint);

    // The number the print service gave the last job sent to a queue (0: none).
    int lastJobId() const { return m_lastJobId; }

protected:
    // Paints the pages in this printer's page layout as a PDF document into `pdf`. Returns ""
    // or the reason it failed.
    virtual QString paintPdf(int pages, const PagePainter &paint, QByteArray &pdf) = 0;
    // Sends the pages to the queue as one job; sets `jobId`. Returns "" or the message to show.
    virtual QString printToQueue(int pages, const PagePainter &paint, int &jobId) = 0;

private:
    int m_lastJobId = 0;
};

enum class PrinterOutput {
    System, // the system's default queue, or a PDF file when there is none
    Pdf,    // a PDF file
};

// Makes a printer, loading the print plugin the first time. Returns null and sets `error` to
// the message for the pupil when the plugin cannot be loaded.
std::unique_ptr<Printer> createPrinter(PrinterOutput output, QString *error);

// Another folder to look for the plugin in after the program's own (the tests' build folder).
void setPrintPluginFolder(const QString &folder);

// The name of the plugin and the function it exports: Printer *jihankobo_print_create(int output).
inline constexpr const char *PrintPluginName = "jihankobo-print";
inline constexpr const char *PrintPluginFactory = "jihankobo_print_create";

} // namespace jhk
