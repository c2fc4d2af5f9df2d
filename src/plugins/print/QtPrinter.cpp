// The print plugin: printers through Qt Print Support and the system's CUPS service. The
// program loads it the first time something is printed, so that starting the program does not
// load Qt Print Support.
#include "print/Printer.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <cups/cups.h>

#include <algorithm>

namespace jhk {

namespace {

QString failure(const QString &why)
{
    return QStringLiteral("印刷できませんでした。\n") + why;
}

// Paints the pages onto a device that is ready to be painted on.
bool paintPages(QPagedPaintDevice &device, int pages, const PagePainter &paint)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage())
            return false;
        paint(painter, page, device.logicalDpiX(), device.logicalDpiY());
    }
    return painter.end();
}

class QtPrinter final : public Printer {
public:
    explicit QtPrinter(PrinterOutput output) : m_printer(QPrinter::HighResolution)
    {
        // A new printer starts on the queue the system or the user chose as the default; with
        // none it writes PDF (never simply the first queue, which may be paused or far away).
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        if (output == PrinterOutput::Pdf)
            return;
        if (cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr)) {
            const QString name = QString::fromUtf8(dest->name);
            cupsFreeDests(1, dest);
            setQueueName(name);
        }
    }

    bool printsToFile() const override { return m_queue.isEmpty(); }
    QString outputFileName() const override { return m_printer.outputFileName(); }
    void setOutputFileName(const QString &path) override
    {
        m_queue.clear();
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(path);
    }
    QString queueName() const override { return m_queue; }
    void setQueueName(const QString &name) override
    {
        m_queue = name;
        // A queue the service knows brings its paper and margins; a missing one is reported
        // when the job is sent.
        if (!QPrinterInfo::printerInfo(name).isNull()) {
            m_printer.setOutputFileName({});
            m_printer.setOutputFormat(QPrinter::NativeFormat);
            m_printer.setPrinterName(name);
        }
    }
    void setCopies(int copies) override { m_printer.setCopyCount(copies); }
    void setDocumentName(const QString &name) override { m_printer.setDocName(name); }

    void showSetup(QWidget *parent, std::function<void()> done) override
    {
        auto *dialog = new QPrintDialog(&m_printer, parent);
        dialog->setWindowTitle(QStringLiteral("用紙設定"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(dialog, &QDialog::finished, dialog, [this, done = std::move(done)](int result) {
            if (result == QDialog::Accepted) {
                if (m_printer.outputFormat() == QPrinter::NativeFormat)
                    m_queue = m_printer.printerName();
                else
                    m_queue.clear();
            }
            if (done)
                done();
        });
        dialog->open();
    }

    QStringList queueNames() const override
    {
        cups_dest_t *dests = nullptr;
        const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
        QStringList names;
        for (int i = 0; i < count; ++i)
            if (!dests[i].instance)
                names << QString::fromUtf8(dests[i].name);
        cupsFreeDests(count, dests);
        return names;
    }

protected:
    QString paintPdf(int pages, const PagePainter &paint, QByteArray &pdf) override
    {
        pdf.clear();
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(m_printer.resolution());
        writer.setPageLayout(m_printer.pageLayout());
        writer.setTitle(m_printer.docName());
        writer.setCreator(QStringLiteral("ジハンコウボウ"));
        if (!paintPages(writer, pages, paint))
            return QStringLiteral("PDF を作れません。");
        return {};
    }

    // The pages are made as a PDF document in the queue's paper size and handed to the print
    // service here, rather than by Qt, so that a job the queue refuses is reported with the
    // service's reason and the job's number is known.
    QString printToQueue(int pages, const PagePainter &paint, int &jobId) override
    {
        const QByteArray queue = m_queue.toUtf8();
        cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), nullptr);
        if (!dest)
            return failure(QStringLiteral("プリンター「%1」が見つかりません。").arg(m_queue));
        cupsFreeDests(1, dest);

        QByteArray pdf;
        if (const QString why = paintPdf(pages, paint, pdf); !why.isEmpty())
            return failure(why);
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("job.pdf")));
        if (!folder.isValid() || !file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.flush())
            return failure(QStringLiteral("一時ファイルを作れません。"));
        file.close();

        cups_option_t *options = nullptr;
        int count = 0;
        const QByteArray copies = QByteArray::number(std::max(1, m_printer.copyCount()));
        count = cupsAddOption("copies", copies.constData(), count, &options);
        if (m_printer.duplex() == QPrinter::DuplexLongSide)
            count = cupsAddOption("sides", "two-sided-long-edge", count, &options);
        else if (m_printer.duplex() == QPrinter::DuplexShortSide)
            count = cupsAddOption("sides", "two-sided-short-edge", count, &options);
        const QString docName = m_printer.docName().isEmpty() ? QStringLiteral("ジハンコウボウ") : m_printer.docName();
        const QByteArray title = docName.toUtf8();
        jobId = cupsPrintFile(queue.constData(), QFile::encodeName(file.fileName()).constData(), title.constData(),
                              count, options);
        cupsFreeOptions(count, options);
        if (jobId == 0)
            return failure(QString::fromUtf8(cupsLastErrorString()));
        return {};
    }

private:
    QPrinter m_printer;
    QString m_queue; // the queue the pages go to; "" for a PDF file
};

} // namespace

} // namespace jhk

extern "C" Q_DECL_EXPORT jhk::Printer *jihankobo_print_create(int output)
{
    return new jhk::QtPrinter(static_cast<jhk::PrinterOutput>(output));
}
