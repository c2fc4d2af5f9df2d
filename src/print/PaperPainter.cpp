#include "print/PaperPainter.h"

#include "print/PaperText.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>

namespace jhk {

namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QColor colour(std::uint32_t rgb)
{
    return QColor(static_cast<int>(rgb >> 16 & 0xFF), static_cast<int>(rgb >> 8 & 0xFF), static_cast<int>(rgb & 0xFF));
}

QRectF rect(const PaperRect &r)
{
    return {r.x, r.y, r.w, r.h};
}

} // namespace

QFont QtPaperMeasure::font(const PaperFont &f)
{
    QFont font = QGuiApplication::font();
    if (!f.family.empty())
        font.setFamily(qs(f.family));
    font.setPixelSize(f.pixels);
    font.setBold(f.bold);
    return font;
}

double QtPaperMeasure::advance(std::string_view text, const PaperFont &f) const
{
    return QFontMetricsF(font(f), m_device).horizontalAdvance(qs(text));
}

PaperMeasure::Metrics QtPaperMeasure::metrics(const PaperFont &f) const
{
    const QFontMetricsF fm(font(f), m_device);
    return {fm.ascent(), fm.height()};
}

PaperMeasure::Ink QtPaperMeasure::ink(std::string_view text, const PaperFont &f) const
{
    const QFontMetricsF fm(font(f), m_device);
    const QString s = qs(text);
    const QRectF r = s.size() == 1 ? fm.boundingRect(s[0]) : fm.boundingRect(s);
    return {r.left(), r.right()};
}

void paintPaperItems(QPainter &painter, const std::vector<PaperItem> &items, const PaperPictures &pictures)
{
    using Kind = PaperItem::Kind;
    for (const PaperItem &item : items) {
        switch (item.kind) {
        case Kind::Picture: {
            const QPixmap pix = pictures ? pictures(item) : QPixmap();
            if (!pix.isNull())
                painter.drawPixmap(QRectF(item.rect.x, item.rect.y, pix.width() * item.rect.w, pix.height() * item.rect.h),
                                   pix, pix.rect());
            break;
        }
        case Kind::Fill:
            painter.fillRect(rect(item.rect), colour(item.colour));
            break;
        case Kind::Text:
            if (item.opaque)
                painter.fillRect(rect(item.rect), Qt::white);
            drawPaperText(painter, QPointF(item.at.x, item.at.y), qs(item.text), QtPaperMeasure::font(item.font),
                          colour(item.colour));
            break;
        case Kind::Line:
        case Kind::Box:
        case Kind::Oval:
        case Kind::Decision: {
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(colour(item.colour), item.pen));
            painter.setBrush(Qt::white);
            const QRectF r = rect(item.rect);
            if (item.kind == Kind::Line) {
                painter.drawLine(QPointF(item.at.x, item.at.y), QPointF(item.to.x, item.to.y));
            } else if (item.kind == Kind::Box) {
                painter.drawRect(r);
            } else if (item.kind == Kind::Oval) {
                painter.drawEllipse(r);
            } else {
                const double tip = item.tip;
                const QPointF shape[] = {{r.left() + tip, r.top()},        {r.right() - tip, r.top()},
                                         {r.right(), r.center().y()},     {r.right() - tip, r.bottom()},
                                         {r.left() + tip, r.bottom()},     {r.left(), r.center().y()}};
                painter.drawPolygon(shape, 6);
            }
            painter.restore();
            break;
        }
        case Kind::Clip:
            painter.save();
            painter.setClipRect(rect(item.rect));
            break;
        case Kind::Unclip:
            painter.restore();
            break;
        }
    }
}

} // namespace jhk
