// The print plugin: printers through Qt Print Support and the system's CUPS service. The
// program loads it the first time something is printed, so that starting the program does not
// load Qt Print Support.
#include "print/Printer.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
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

// Paints the pages onto a printer that is ready to be painted on.
bool paintPages(QPrinter &device, int pages, const PagePainter &paint)
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
        // A new printer starts on the system's default queue; without one it writes PDF.
        if (output == PrinterOutput::Pdf || m_printer.outputFormat() == QPrinter::PdfFormat)
            m_printer.setOutputFormat(QPrinter::PdfFormat);
        else
            m_queue = m_printer.printerName();
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

    void showSetup(QWidget *parent) override
    {
        QPrintDialog dialog(&m_printer, parent);
        dialog.setWindowTitle(QStringLiteral("用紙設定"));
        if (dialog.exec() != QDialog::Accepted)
            return;
        if (m_printer.outputFormat() == QPrinter::NativeFormat)
            m_queue = m_printer.printerName();
        else
            m_queue.clear();
    }

    QString print(int pages, const PagePainter &paint) override
    {
        if (!printsToFile())
            return printToQueue(pages, paint);
        if (!paintPages(m_printer, pages, paint))
            return failure(QStringLiteral("「%1」に書き込めません。").arg(QFileInfo(m_printer.outputFileName()).fileName()));
        return {};
    }

private:
    // The pages are written to a PDF file in the queue's paper size and handed to the print
    // service here, rather than by Qt, so that a job the queue refuses is reported with the
    // service's reason.
    QString printToQueue(int pages, const PagePainter &paint)
    {
        const QByteArray queue = m_queue.toUtf8();
        cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), nullptr);
        if (!dest)
            return failure(QStringLiteral("プリンター「%1」が見つかりません。").arg(m_queue));
        cupsFreeDests(1, dest);

        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("job.pdf"));
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(file);
        pdf.setPageLayout(m_printer.pageLayout());
        pdf.setDocName(m_printer.docName());
        pdf.setCreator(QStringLiteral("ジハンコウボウ"));
        if (!folder.isValid() || !paintPages(pdf, pages, paint))
            return failure(QStringLiteral("一時ファイルを作れません。"));

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
        const int job = cupsPrintFile(queue.constData(), QFile::encodeName(file).constData(), title.constData(), count, options);
        cupsFreeOptions(count, options);
        if (job == 0)
            return failure(QString::fromUtf8(cupsLastErrorString()));
        return {};
    }

    QPrinter m_printer;
    QString m_queue; // the queue the pages go to; "" for a PDF file
};

} // namespace

} // namespace jhk

extern "C" Q_DECL_EXPORT jhk::Printer *jihankobo_print_create(int output)
{
    return new jhk::QtPrinter(static_cast<jhk::PrinterOutput>(output));
}
