#include "Drawing.h"

#include <QPainterPath>
#include <QtMath>

namespace assetgen {

QImage canvas(int width, int height, const QColor &fill)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void beginPainter(QPainter &p, QImage &image)
{
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QImage picture(int width, int height, const QColor &fill, const std::function<void(QPainter &)> &paint)
{
    QImage image = canvas(width, height, fill);
    QPainter p;
    beginPainter(p, image);
    paint(p);
    p.end();
    return image;
}

QPen inkPen(qreal width, const QColor &colour)
{
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QFont uiFont(qreal pixelSize, bool bold)
{
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QRectF crisp(qreal x, qreal y, qreal w, qreal h)
{
    return QRectF(x + 0.5, y + 0.5, w - 1.0, h - 1.0);
}

void outlinedRect(QPainter &p, const QRectF &r, qreal radius, const QColor &fill, qreal penWidth)
{
    p.save();
    p.setPen(penWidth > 0 ? inkPen(penWidth) : QPen(Qt::NoPen));
    p.setBrush(fill);
    if (radius > 0)
        p.drawRoundedRect(r, radius, radius);
    else
        p.drawRect(r);
    p.restore();
}

void outlinedEllipse(QPainter &p, const QRectF &r, const QColor &fill, qreal penWidth)
{
    p.save();
    p.setPen(penWidth > 0 ? inkPen(penWidth) : QPen(Qt::NoPen));
    p.setBrush(fill);
    p.drawEllipse(r);
    p.restore();
}

void drawText(QPainter &p, const QRectF &r, const QString &text, const QColor &colour,
              qreal pixelSize, bool bold, int flags)
{
    p.save();
    p.setFont(uiFont(pixelSize, bold));
    p.setPen(colour);
    p.drawText(r, flags, text);
    p.restore();
}

void drawRimmedText(QPainter &p, const QRectF &r, const QString &text, const QColor &colour,
                    const QColor &rim, qreal pixelSize, qreal rimWidth)
{
    const QFont font = uiFont(pixelSize, true);
    const QFontMetricsF fm(font);
    const qreal w = fm.horizontalAdvance(text);
    const QPointF origin(r.center().x() - w / 2, r.center().y() + (fm.ascent() - fm.descent()) / 2);
    QPainterPath path;
    path.addText(origin, font, text);
    p.save();
    p.setPen(QPen(rim, rimWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
    p.restore();
}

void drawVerticalText(QPainter &p, const QRectF &r, const QString &text, const QColor &colour,
                      qreal pixelSize, bool bold)
{
    const qreal step = pixelSize * 1.02;
    const qreal total = step * text.size();
    qreal y = r.center().y() - total / 2;
    for (const QChar ch : text) {
        QString s(ch);
        QRectF cell(r.left(), y, r.width(), step);
        if (ch == QChar(0x30FC)) { // the long vowel mark stands upright in vertical writing
            p.save();
            p.translate(cell.center());
            p.rotate(90);
            drawText(p, QRectF(-step / 2, -step / 2, step, step), s, colour, pixelSize, bold);
            p.restore();
        } else {
            drawText(p, cell, s, colour, pixelSize, bold);
        }
        y += step;
    }
}

QPainterPath wavyBand(qreal left, qreal right, qreal y, qreal swing, qreal thickness)
{
    const qreal w = right - left;
    QPainterPath band;
    band.moveTo(left, y);
    band.cubicTo(left + w * 0.33, y - swing, left + w * 0.6, y + swing * 0.8, right, y - swing * 0.6);
    band.lineTo(right, y - swing * 0.6 + thickness);
    band.cubicTo(left + w * 0.6, y + swing * 0.8 + thickness, left + w * 0.33, y - swing + thickness, left,
                 y + thickness);
    band.closeSubpath();
    return band;
}

QPainterPath dropShape(const QRectF &b)
{
    const qreal cx = b.center().x();
    const qreal w = b.width();
    QPainterPath drop;
    drop.moveTo(cx, b.top());
    drop.cubicTo(cx + w / 3, b.top() + b.height() * 0.3, b.right(), b.bottom() - w * 0.9, b.right(), b.bottom() - w / 2);
    drop.arcTo(QRectF(b.left(), b.bottom() - w, w, w), 0, -180);
    drop.cubicTo(b.left(), b.bottom() - w * 0.9, cx - w / 3, b.top() + b.height() * 0.3, cx, b.top());
    return drop;
}

void drawStar(QPainter &p, QPointF c, qreal outer, const QColor &fill)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = (i % 2 == 0) ? outer : outer * 0.45;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        star << QPointF(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
    }
    p.save();
    p.setPen(inkPen(1.0));
    p.setBrush(fill);
    p.drawPolygon(star);
    p.restore();
}

} // namespace assetgen
