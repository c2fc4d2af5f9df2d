#include "ui/Worksheet.h"

#include "print/OutputFile.h"
#include "print/PaperPainter.h"
#include "rules/WorksheetPages.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace jhk {

QString writeWorksheet(const Machine &m, const Catalogue &catalogue, const QString &path, OperandStyle style,
                       const QString &title)
{
    const QString name = QFileInfo(path).fileName();
    const WorksheetPages sheet = layoutWorksheet(m, catalogue, style, title.toStdString(), QtPaperMeasure());
    if (sheet.pages.empty())
        return QString::fromStdString(sheet.refusal);
    // The whole PDF is made in memory and then takes the file's place in one step.
    QByteArray bytes;
    QBuffer file(&bytes);
    file.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(WorksheetDpi);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setCreator(QStringLiteral("ジハンコウボウ"));
        pdf.setTitle(QStringLiteral("ワークシート"));
        QPainter painter;
        if (!painter.begin(&pdf))
            return QStringLiteral("ワークシート「%1」を保存できませんでした。").arg(name);
        for (std::size_t p = 0; p < sheet.pages.size(); ++p) {
            if (p > 0)
                pdf.newPage();
            paintPaperItems(painter, sheet.pages[p].items);
        }
        if (!painter.end())
            return QStringLiteral("ワークシート「%1」を保存できませんでした。").arg(name);
    }
    if (const QString failure = writeOutputFile(path, bytes); !failure.isEmpty())
        return QStringLiteral("ワークシート「%1」を保存できませんでした。\n%2").arg(name, failure);
    return {};
}

} // namespace jhk
