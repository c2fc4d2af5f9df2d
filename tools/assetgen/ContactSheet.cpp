#include "Pictures.h"

#include "AssetWriter.h"
#include "Drawing.h"

#include <QFontMetricsF>

namespace assetgen {

namespace {

constexpr int SheetWidth = 1240;
constexpr int Margin = 16;
constexpr int CaptionHeight = 30;

// Stage backgrounds are shown at half size, tiny pictures doubled (pixel for pixel).
qreal shownScale(const QImage &image)
{
    if (image.width() >= 400)
        return 0.5;
    if (image.width() <= 45 && image.height() <= 45)
        return 2.0;
    return 1.0;
}

struct Cell {
    const AssetWriter::Picture *picture;
    QRectF box;   // where the picture goes
    QRectF label; // its caption
};

QString caption(const AssetWriter::Picture &pic, qreal scale)
{
    QString text = QStringLiteral("%1  %2×%3").arg(pic.path).arg(pic.image.width()).arg(pic.image.height());
    if (scale != 1.0)
        text += scale < 1 ? QStringLiteral(" (50%)") : QStringLiteral(" (200%)");
    return text;
}

void checkerboard(QPainter &p, const QRectF &r)
{
    p.save();
    p.setClipRect(r);
    p.fillRect(r, QColor(0xff, 0xff, 0xff));
    for (int y = 0; y < r.height(); y += 6)
        for (int x = (y / 6 % 2) * 6; x < r.width(); x += 12)
            p.fillRect(QRectF(r.left() + x, r.top() + y, 6, 6), QColor(0xe4, 0xe4, 0xe4));
    p.restore();
}

} // namespace

QImage contactSheet(const AssetWriter &out)
{
    const QFontMetricsF fm(uiFont(11));
    std::vector<Cell> cells;
    qreal x = Margin, y = Margin + 34, rowHeight = 0;
    for (const AssetWriter::Picture &pic : out.pictures()) {
        const qreal scale = shownScale(pic.image);
        const QSizeF shown = QSizeF(pic.image.size()) * scale;
        const QString text = caption(pic, scale);
        // long captions break at the folder separator
        const qreal textWidth = std::max(fm.horizontalAdvance(text.section(QLatin1Char('/'), -1)),
                                         fm.horizontalAdvance(text.section(QLatin1Char('/'), 0, -2) + QLatin1Char('/')));
        const qreal width = std::max(shown.width(), textWidth) + 12;
        if (x + width > SheetWidth - Margin) {
            x = Margin;
            y += rowHeight + 14;
            rowHeight = 0;
        }
        cells.push_back({&pic, QRectF(QPointF(x + (width - 12 - shown.width()) / 2, y), shown),
                         QRectF(x - 2, y + shown.height() + 2, width - 8, CaptionHeight)});
        rowHeight = std::max(rowHeight, shown.height() + CaptionHeight);
        x += width + 6;
    }
    const int height = int(y + rowHeight + Margin);

    return picture(SheetWidth, height, QColor(0xfa, 0xf8, 0xf4), [&](QPainter &p) {
        drawText(p, QRectF(Margin, 8, SheetWidth - 2 * Margin, 28),
                 QStringLiteral("ジハンコウボウの絵　bg/: アプリケーションフォルダのファイル　builtin/: プログラムに組み込む絵"),
                 Ink, 16, true, Qt::AlignLeft | Qt::AlignVCenter);
        for (const Cell &c : cells) {
            checkerboard(p, c.box);
            p.save();
            p.setRenderHint(QPainter::SmoothPixmapTransform, c.box.width() < c.picture->image.width());
            p.drawImage(c.box, c.picture->image);
            p.restore();
            p.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 1.0));
            p.setBrush(Qt::NoBrush);
            p.drawRect(c.box.adjusted(-0.5, -0.5, 0.5, 0.5));
            const QString text = caption(*c.picture, shownScale(c.picture->image));
            drawText(p, c.label, text.section(QLatin1Char('/'), 0, -2) + QLatin1Char('/') + QLatin1Char('\n')
                                     + text.section(QLatin1Char('/'), -1),
                     Ink, 11, false, Qt::AlignHCenter | Qt::AlignTop);
        }
    });
}

} // namespace assetgen
