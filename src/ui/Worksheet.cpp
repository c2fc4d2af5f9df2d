#include "ui/Worksheet.h"

#include "model/AppState.h"
#include "model/Catalogue.h"
#include "print/OutputFile.h"
#include "print/PaperText.h"
#include "ui/WorksheetLayout.h"

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

bool hasAnyProgram(const Machine &m)
{
    for (int i = 0; i < PartSlots; ++i)
        if (hasProgram(m.part(i)))
            return true;
    return false;
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

// The header of a part's pages: its number and kind, a line for the pupil's name, and its
// variables with their values.
struct Header {
    QString heading;
    QString variables;
};

Header headerOf(const Machine &m, const Catalogue &catalogue, int slot)
{
    const PartsRecord &part = m.part(slot);
    Header h;
    h.heading = QStringLiteral("パーツ番号 %1　　パーツの種類：%2").arg(slot).arg(qs(catalogue.kindName(part.Kind)));
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
    h.variables = variables.join(QStringLiteral("　　"));
    return h;
}

// The variables take a second line where they would not leave room for the page number.
int variableLines(const Header &h, double width)
{
    const QFontMetricsF fm(pageFont(TextPixels));
    return fm.horizontalAdvance(h.variables) + fm.horizontalAdvance(QStringLiteral("（00/00）")) + 10 > width ? 2 : 1;
}

// The y below the header.
double headerBottom(const Header &h, double width)
{
    return Margin + QFontMetricsF(pageFont(TitlePixels, true)).height() + 10
        + QFontMetricsF(pageFont(TextPixels)).height() * variableLines(h, width) + 8 + 10;
}

// Paints the header; `page` says "2/3" at the end of the variables' line on a part whose
// flowchart takes several pages.
void paintHeader(QPainter &painter, const Header &h, double width, const QString &title, const QString &page)
{
    double y = Margin;
    painter.setPen(Qt::black);
    if (!title.isEmpty()) {
        painter.setFont(pageFont(11));
        painter.drawText(QRectF(Margin, y - 18, width, 16), Qt::AlignRight | Qt::AlignBottom, title);
    }
    const QFont titleFont = pageFont(TitlePixels, true);
    const QFontMetricsF titleMetrics(titleFont);
    const double titleHeight = titleMetrics.height();
    drawPaperText(painter, QPointF(Margin, y + titleMetrics.ascent()), h.heading, titleFont, Qt::black);
    painter.setFont(pageFont(TextPixels));
    painter.drawText(QRectF(Margin, y, width, titleHeight), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("名前（　　　　　　　　　　）"));
    y += titleHeight + 10;
    const QFontMetricsF fm(pageFont(TextPixels));
    const double pageWidth = page.isEmpty() ? 0 : fm.horizontalAdvance(QStringLiteral("（%1）").arg(page)) + 10;
    painter.drawText(QRectF(Margin, y, width - pageWidth, fm.height() * 2), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     h.variables);
    if (!page.isEmpty())
        painter.drawText(QRectF(Margin, y, width, fm.height()), Qt::AlignRight | Qt::AlignTop, QStringLiteral("（%1）").arg(page));
    y += fm.height() * variableLines(h, width) + 8;
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(QPointF(Margin, y), QPointF(Margin + width, y));
}

} // namespace

QString writeWorksheet(const Machine &m, const Catalogue &catalogue, const QString &path, OperandStyle style,
                       const QString &title)
{
    const QString name = QFileInfo(path).fileName();
    if (!hasAnyProgram(m))
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
        const double radius = worksheet::CutMarkRadiusMm * worksheet::PixelsPerMm;
        bool first = true;
        for (int i = 0; i < PartSlots; ++i) {
            const PartsRecord &part = m.part(i);
            if (!hasProgram(part))
                continue;
            const Header header = headerOf(m, catalogue, i);
            // The flowchart takes the rest of the page, with room for the letters at a cut.
            const double top = headerBottom(header, width) + radius;
            const WorksheetFlowchart flowchart
                = layoutWorksheetFlowchart(part, style, width, page.height() - Margin - radius - top);
            for (int p = 0; p < flowchart.pages(); ++p) {
                if (!first)
                    pdf.newPage();
                first = false;
                paintHeader(painter, header, width, title,
                            flowchart.pages() > 1 ? QStringLiteral("%1/%2").arg(p + 1).arg(flowchart.pages()) : QString());
                painter.save();
                painter.translate(Margin + (width - flowchart.size.width()) / 2, top);
                paintWorksheetFlowchart(painter, flowchart, p);
                painter.restore();
            }
        }
        if (!painter.end())
            return QStringLiteral("ワークシート「%1」を保存できませんでした。").arg(name);
    }
    if (const QString failure = writeOutputFile(path, bytes); !failure.isEmpty())
        return QStringLiteral("ワークシート「%1」を保存できませんでした。\n%2").arg(name, failure);
    return {};
}

} // namespace jhk
