#include "ui/Worksheet.h"

#include "model/AppState.h"
#include "model/Catalogue.h"
#include "print/OutputFile.h"
#include "ui/FlowchartPainter.h"
#include "rules/FlowchartScene.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace jhk {

namespace {

// The page is laid out in pixels of a 96-dpi screen, as the flowchart itself is.
constexpr int Dpi = 96;
constexpr double Margin = 15 / 25.4 * Dpi; // 15 mm
constexpr int TitlePixels = 22;
constexpr int TextPixels = 15;

bool hasProgram(const PartsRecord &p)
{
    return p.isUsed() && p.BlockCount > 0;
}

QFont pageFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

// The header of part `slot`'s page; returns the y below it.
double paintHeader(QPainter &painter, const Machine &m, const Catalogue &catalogue, int slot, double width,
                   const QString &title)
{
    const PartsRecord &part = m.part(slot);
    double y = Margin;
    painter.setPen(Qt::black);
    if (!title.isEmpty()) {
        painter.setFont(pageFont(11));
        painter.drawText(QRectF(Margin, y - 18, width, 16), Qt::AlignRight | Qt::AlignBottom, title);
    }
    const QFont titleFont = pageFont(TitlePixels, true);
    painter.setFont(titleFont);
    const std::string kind = catalogue.kindName(part.Kind);
    const QString heading = QStringLiteral("パーツ番号 %1　　パーツの種類：%2").arg(slot).arg(qs(kind));
    painter.drawText(QRectF(Margin, y, width, QFontMetricsF(titleFont).height()), Qt::AlignLeft | Qt::AlignVCenter,
                     heading);
    painter.setFont(pageFont(TextPixels));
    painter.drawText(QRectF(Margin, y, width, QFontMetricsF(titleFont).height()), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("名前（　　　　　　　　　　）"));
    y += QFontMetricsF(titleFont).height() + 10;

    // The variables the catalogue names for this kind, with their values.
    const QFont textFont = pageFont(TextPixels);
    painter.setFont(textFont);
    const QFontMetricsF fm(textFont);
    QStringList variables;
    const char *letters[] = {"A", "B", "C"};
    for (int v = 0; v < 3; ++v) {
        const std::string label = catalogue.variableLabel(part.Kind, letters[v]);
        if (label.empty())
            continue;
        const QString meaning = qs(label);
        // A variable the kind does not use reads like "（使いません）" in the catalogue.
        if (meaning.startsWith(QStringLiteral("（")) && meaning.endsWith(QStringLiteral("）")))
            variables << QStringLiteral("変数%1%2").arg(QLatin1String(letters[v]), meaning);
        else
            variables << QStringLiteral("変数%1（%2）＝ %3").arg(QLatin1String(letters[v]), meaning).arg(part.Hensuu[static_cast<std::size_t>(v + 1)]);
    }
    if (variables.isEmpty())
        variables << QStringLiteral("変数：なし");
    painter.drawText(QRectF(Margin, y, width, fm.height() * 2), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     variables.join(QStringLiteral("　　")));
    y += fm.height() * (fm.horizontalAdvance(variables.join(QStringLiteral("　　"))) > width ? 2 : 1) + 8;
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(QPointF(Margin, y), QPointF(Margin + width, y));
    return y + 10;
}

} // namespace

int worksheetPageCount(const Machine &m)
{
    int pages = 0;
    for (int i = 0; i < PartSlots; ++i)
        pages += hasProgram(m.part(i)) ? 1 : 0;
    return pages;
}

QString writeWorksheet(const Machine &m, const Catalogue &catalogue, const QString &path, OperandStyle style,
                       const QString &title)
{
    const QString name = QFileInfo(path).fileName();
    if (worksheetPageCount(m) == 0)
        return QStringLiteral("プログラムのあるパーツがないので、ワークシートを作れません。");
    // The whole PDF is made in memory and then takes the file's place in one step.
    QByteArray bytes;
    QBuffer file(&bytes);
    file.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(Dpi);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setCreator(QStringLiteral("ジハンコウボウ"));
        pdf.setTitle(QStringLiteral("ワークシート"));
        QPainter painter;
        if (!painter.begin(&pdf))
            return QStringLiteral("ワークシート「%1」を保存できませんでした。").arg(name);
        const QSizeF page = QPageSize(QPageSize::A4).sizePixels(Dpi);
        const double width = page.width() - 2 * Margin;
        // Boxes are placed in twips of the 96-dpi canvas the editor and the flowchart export draw.
        const CanvasGeometry geometry;
        bool first = true;
        for (int i = 0; i < PartSlots; ++i) {
            const PartsRecord &part = m.part(i);
            if (!hasProgram(part))
                continue;
            if (!first)
                pdf.newPage();
            first = false;
            const double top = paintHeader(painter, m, catalogue, i, width, title);
            FlowchartScene scene = buildFlowchartScene(part, geometry, false, m.app.Step);
            addOperandWords(scene, part, style);
            // The flowchart fills the rest of the page, keeping its shape.
            const double height = page.height() - Margin - top;
            const double scale = std::min(width / CanvasGeometry::WidthPx, height / CanvasGeometry::HeightPx);
            painter.save();
            painter.translate(Margin + (width - CanvasGeometry::WidthPx * scale) / 2, top);
            painter.scale(scale, scale);
            paintFlowchart(painter, scene, {}, FlowchartStyle::Paper);
            painter.setPen(QPen(Qt::black, 0));
            painter.drawRect(QRectF(0, 0, CanvasGeometry::WidthPx, CanvasGeometry::HeightPx));
            painter.restore();
        }
        if (!painter.end())
            return QStringLiteral("ワークシート「%1」を保存できませんでした。").arg(name);
    }
    if (const QString failure = writeOutputFile(path, bytes); !failure.isEmpty())
        return QStringLiteral("ワークシート「%1」を保存できませんでした。\n%2").arg(name, failure);
    return {};
}

} // namespace jhk
