#include "print/Printer.h"

#include "print/MachinePrintout.h"
#include "print/OutputFile.h"
#include "ui/PluginLoader.h"

#include <QFileInfo>

#include <memory>

namespace jhk {

namespace {

QString &extraFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString Printer::print(int pages, const PagePainter &paint)
{
    if (!printsToFile()) {
        m_lastJobId = 0;
        return printToQueue(pages, paint, m_lastJobId);
    }
    // The whole document is made in memory first, so that a full disk or a pipe under the
    // name can never leave half a file or block the program.
    QByteArray pdf;
    if (const QString failure = paintPdf(pages, paint, pdf); !failure.isEmpty())
        return QString::fromUtf8(PrintFailedMessage) + QLatin1Char('\n') + failure;
    if (const QString failure = writeOutputFile(outputFileName(), pdf); !failure.isEmpty())
        return QStringLiteral("%1\n「%2」に書き込めません。\n%3")
            .arg(QString::fromUtf8(PrintFailedMessage), QFileInfo(outputFileName()).fileName(), failure);
    return {};
}

void setPrintPluginFolder(const QString &folder)
{
    extraFolder() = folder;
}

std::unique_ptr<Printer> createPrinter(PrinterOutput output, QString *error)
{
    using Factory = Printer *(*)(int);
    // Loaded once and kept: the printers it makes live in it.
    static std::unique_ptr<PluginLoader> plugin;
    if (!plugin)
        plugin = std::make_unique<PluginLoader>(QString::fromLatin1(PrintPluginName), QStringList{extraFolder()});
    const auto create = reinterpret_cast<Factory>(plugin->resolve(PrintPluginFactory));
    if (!create) {
        if (error)
            *error = QString::fromUtf8(PrintFailedMessage)
                + QStringLiteral("\n印刷の部品「%1」が見つからないか、読み込めません。ジハンコウボウを入れ直してください。\n（%2）")
                      .arg(QString::fromLatin1(PrintPluginName), plugin->errorString());
        return nullptr;
    }
    return std::unique_ptr<Printer>(create(static_cast<int>(output)));
}

} // namespace jhk
