#include "Shapes.h"

#include "Drawing.h"

#include <QPainterPath>
#include <QtMath>

namespace assetgen {

namespace {

const QColor Highlight(255, 255, 255, 110);

void highlightStripe(QPainter &p, const QRectF &r)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Highlight);
    p.drawRoundedRect(r, r.width() / 2, r.width() / 2);
    p.restore();
}

// ---- drinks -------------------------------------------------------------------------------

void canBody(QPainter &p, const QColor &body)
{
    outlinedRect(p, crisp(2, 5, 30, 58), 4, body);
}

void canRims(QPainter &p)
{
    outlinedRect(p, crisp(4, 1, 26, 7), 3, Chrome);
    p.setPen(inkPen(1.0, ChromeDark));
    p.drawLine(QPointF(8, 4.5), QPointF(26, 4.5));
    outlinedRect(p, crisp(4, 60, 26, 6), 2.5, ChromeDark);
}

void drawCan(QPainter &p, const QColor &body)
{
    canBody(p, body);
    canRims(p);
}

void bottleOutline(QPainterPath &path)
{
    path.moveTo(12.5, 8.5);
    path.lineTo(21.5, 8.5);
    path.cubicTo(21.5, 14, 31.5, 16, 31.5, 23);
    path.lineTo(31.5, 61);
    path.quadTo(31.5, 66.5, 26, 66.5);
    path.lineTo(8, 66.5);
    path.quadTo(2.5, 66.5, 2.5, 61);
    path.lineTo(2.5, 23);
    path.cubicTo(2.5, 16, 12.5, 14, 12.5, 8.5);
    path.closeSubpath();
}

void drawBottle(QPainter &p, const QColor &liquid, const QColor &label, const QColor &cap)
{
    QPainterPath path;
    bottleOutline(path);
    p.save();
    p.setPen(inkPen(1.0));
    p.setBrush(liquid);
    p.drawPath(path);
    p.restore();
    outlinedRect(p, crisp(11, 0, 12, 9), 2, cap);
    p.setPen(inkPen(1.0, cap.darker(140)));
    for (int x = 14; x <= 20; x += 3)
        p.drawLine(QPointF(x + 0.5, 2), QPointF(x + 0.5, 7));
    outlinedRect(p, QRectF(2.5, 28.5, 29, 24), 0, label);
    highlightStripe(p, QRectF(5.5, 20, 3, 40));
}

void drawLeaf(QPainter &p, QPointF at, qreal size, qreal angle, const QColor &fill)
{
    p.save();
    p.translate(at);
    p.rotate(angle);
    QPainterPath leaf;
    leaf.moveTo(0, 0);
    leaf.quadTo(size * 0.5, -size * 0.45, size, 0);
    leaf.quadTo(size * 0.5, size * 0.45, 0, 0);
    p.setPen(inkPen(0.8));
    p.setBrush(fill);
    p.drawPath(leaf);
    p.restore();
}

void drawCola(QPainter &p)
{
    const QColor red(0xd9, 0x2b, 0x34);
    canBody(p, red);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(wavyBand(2.5, 31.5, 40, 10, 7));
    drawVerticalText(p, QRectF(14, 7, 18, 28), QStringLiteral("コーラ"), Qt::white, 9);
    for (const QPointF c : {QPointF(9, 53), QPointF(14, 57), QPointF(22, 54)})
        outlinedEllipse(p, QRectF(c.x() - 1.5, c.y() - 1.5, 3, 3), QColor(255, 255, 255, 180), 0);
    highlightStripe(p, QRectF(5.5, 9, 3, 22));
    canRims(p);
}

void drawGreenTea(QPainter &p)
{
    const QColor green(0x3f, 0x8f, 0x3a);
    drawBottle(p, QColor(0xcf, 0xe6, 0xa8), green, QColor(0x2e, 0x6b, 0x2a));
    drawVerticalText(p, QRectF(10, 29, 14, 23), QStringLiteral("お茶"), Qt::white, 10);
    drawLeaf(p, QPointF(22, 32), 8, 60, QColor(0x9c, 0xd1, 0x6a));
}

void drawOrange(QPainter &p)
{
    const QColor orange(0xf5, 0x9b, 0x1f);
    canBody(p, orange);
    outlinedRect(p, QRectF(2.5, 18.5, 29, 30), 0, QColor(0xff, 0xe3, 0x8a));
    const QRectF fruit(7.5, 23.5, 19, 19);
    outlinedEllipse(p, fruit, QColor(0xff, 0xa5, 0x2a));
    outlinedEllipse(p, fruit.adjusted(2.5, 2.5, -2.5, -2.5), QColor(0xff, 0xd2, 0x6e), 0);
    p.setPen(inkPen(0.8, QColor(0xf0, 0x8c, 0x10)));
    for (int i = 0; i < 6; ++i) {
        const qreal a = i * M_PI / 3;
        p.drawLine(fruit.center(), fruit.center() + QPointF(7 * std::cos(a), 7 * std::sin(a)));
    }
    drawLeaf(p, QPointF(17, 23.5), 8, -40, QColor(0x4c, 0xa3, 0x3c));
    drawText(p, QRectF(2, 50, 30, 10), QStringLiteral("100%"), Qt::white, 8, true);
    highlightStripe(p, QRectF(5.5, 9, 3, 8));
    canRims(p);
}

void drawCoffee(QPainter &p)
{
    const QColor brown(0x5e, 0x3b, 0x2a);
    canBody(p, brown);
    outlinedRect(p, QRectF(2.5, 16.5, 29, 26), 0, QColor(0xf1, 0xdd, 0xbd));
    // a steaming cup on the label
    outlinedRect(p, QRectF(9.5, 27.5, 12, 10), 2, Qt::white, 0.9);
    p.setPen(inkPen(0.9));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(19.5, 29, 6, 6), -90 * 16, 180 * 16);
    p.setPen(inkPen(1.0, brown));
    p.drawLine(QPointF(11.5, 29.8), QPointF(19.5, 29.8));
    p.setPen(inkPen(0.9, QColor(0xa0, 0x80, 0x68)));
    for (qreal x : {13.0, 17.0}) {
        QPainterPath steam;
        steam.moveTo(x, 25.5);
        steam.cubicTo(x - 2, 23, x + 2, 21.5, x, 19);
        p.drawPath(steam);
    }
    drawVerticalText(p, QRectF(2, 43, 30, 18), QStringLiteral("珈琲"), QColor(0xf1, 0xdd, 0xbd), 8);
    highlightStripe(p, QRectF(5.5, 45, 3, 14));
    canRims(p);
}

void drawPlainCan(QPainter &p)
{
    drawCan(p, QColor(0xf6, 0xf7, 0xf9));
    p.setPen(inkPen(1.0, QColor(0xc4, 0xca, 0xd2)));
    p.drawLine(QPointF(3, 20.5), QPointF(31, 20.5));
    p.drawLine(QPointF(3, 48.5), QPointF(31, 48.5));
}

void drawSoda(QPainter &p)
{
    const QColor teal(0x1f, 0xa6, 0xb8);
    canBody(p, teal);
    outlinedRect(p, QRectF(2.5, 22.5, 29, 20), 0, QColor(0xe6, 0xfb, 0xff));
    drawStar(p, QPointF(17, 32.5), 8, QColor(0xff, 0xd5, 0x3d));
    for (const QPointF c : {QPointF(8, 14), QPointF(13, 10), QPointF(24, 13), QPointF(10, 52),
                            QPointF(20, 56), QPointF(26, 49)})
        outlinedEllipse(p, QRectF(c.x() - 2, c.y() - 2, 4, 4), QColor(255, 255, 255, 170), 0);
    canRims(p);
}

void drawSports(QPainter &p)
{
    drawBottle(p, QColor(0xd8, 0xec, 0xfa), QColor(0x1e, 0x6f, 0xd0), QColor(0x1e, 0x6f, 0xd0));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(wavyBand(3, 31, 43, 6, 5));
    drawText(p, QRectF(3, 28, 28, 13), QStringLiteral("ION"), Qt::white, 9, true);
}

void drawWater(QPainter &p)
{
    drawBottle(p, QColor(0xe9, 0xf6, 0xff), QColor(0x7e, 0xc8, 0xf0), QColor(0x3d, 0x8e, 0xd8));
    p.save();
    p.setPen(inkPen(0.9));
    p.setBrush(Qt::white);
    p.drawPath(dropShape(QRectF(11, 31.5, 12, 17.5)));
    p.restore();
}

// ---- seven segments -----------------------------------------------------------------------

// Segments a..g of the digits 0..9, bit 0 = a (top), clockwise, g = middle.
constexpr int SegmentBits[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};

QPolygonF segment(int index)
{
    // Digit cell 17 × 26; segment thickness t, slight bevelled ends.
    const qreal l = 3.5, r = 13.5, t = 2.6, top = 2.5, mid = 13.0, bottom = 23.5;
    auto horizontal = [&](qreal y) {
        return QPolygonF({QPointF(l + 1.2, y), QPointF(l + 1.2 + t / 2, y - t / 2),
                          QPointF(r - 1.2 - t / 2, y - t / 2), QPointF(r - 1.2, y),
                          QPointF(r - 1.2 - t / 2, y + t / 2), QPointF(l + 1.2 + t / 2, y + t / 2)});
    };
    auto vertical = [&](qreal x, qreal y0, qreal y1) {
        return QPolygonF({QPointF(x, y0 + 1.2), QPointF(x + t / 2, y0 + 1.2 + t / 2),
                          QPointF(x + t / 2, y1 - 1.2 - t / 2), QPointF(x, y1 - 1.2),
                          QPointF(x - t / 2, y1 - 1.2 - t / 2), QPointF(x - t / 2, y0 + 1.2 + t / 2)});
    };
    switch (index) {
    case 0: return horizontal(top);
    case 1: return vertical(r, top, mid);
    case 2: return vertical(r, mid, bottom);
    case 3: return horizontal(bottom);
    case 4: return vertical(l, mid, bottom);
    case 5: return vertical(l, top, mid);
    default: return horizontal(mid);
    }
}

} // namespace

void drawDrink(QPainter &p, Drink drink)
{
    p.save();
    switch (drink) {
    case Drink::Cola: drawCola(p); break;
    case Drink::GreenTea: drawGreenTea(p); break;
    case Drink::Orange: drawOrange(p); break;
    case Drink::Coffee: drawCoffee(p); break;
    case Drink::Plain: drawPlainCan(p); break;
    case Drink::Soda: drawSoda(p); break;
    case Drink::Sports: drawSports(p); break;
    case Drink::Water: drawWater(p); break;
    }
    p.restore();
}

void drawLedDigit(QPainter &p, int digit)
{
    p.save();
    p.setPen(Qt::NoPen);
    const int bits = digit >= 0 ? SegmentBits[digit] : 0;
    for (int s = 0; s < 7; ++s) {
        p.setBrush((bits >> s) & 1 ? LedOn : LedGhost);
        p.drawPolygon(segment(s));
    }
    p.restore();
}

// ---- coin slot ----------------------------------------------------------------------------

void drawCoinSlot(QPainter &p, SlotStyle style)
{
    p.save();
    switch (style) {
    case SlotStyle::Plate:
        outlinedRect(p, crisp(1, 1, 28, 28), 4, Chrome);
        outlinedRect(p, crisp(4, 4, 22, 22), 3, QColor(0xe4, 0xe8, 0xed), 0.8);
        outlinedRect(p, crisp(12, 6, 6, 18), 2, Hole);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf2, 0xa7, 0x1b));
        p.drawPolygon(QPolygonF({QPointF(5, 11), QPointF(10, 15), QPointF(5, 19)}));
        p.drawPolygon(QPolygonF({QPointF(25, 11), QPointF(20, 15), QPointF(25, 19)}));
        break;
    case SlotStyle::RoundBezel:
        outlinedRect(p, crisp(1, 1, 28, 28), 4, QColor(0x3a, 0x3f, 0x48));
        outlinedEllipse(p, crisp(3, 3, 24, 24), QColor(0xe8, 0xc0, 0x4a));
        outlinedEllipse(p, crisp(6, 6, 18, 18), QColor(0x4a, 0x50, 0x5a), 0.8);
        outlinedRect(p, crisp(13, 8, 4, 14), 1.5, Hole);
        break;
    case SlotStyle::Plain:
        outlinedRect(p, crisp(1, 1, 28, 28), 3, Qt::white);
        outlinedRect(p, crisp(13, 6, 4, 18), 1, QColor(0x60, 0x64, 0x6c));
        break;
    case SlotStyle::Panel:
        outlinedRect(p, crisp(1, 1, 28, 28), 4, QColor(0x5b, 0x8f, 0xd6));
        outlinedRect(p, crisp(4, 4, 22, 22), 3, QColor(0xdb, 0xe9, 0xfb), 0.8);
        outlinedRect(p, crisp(12, 7, 6, 16), 2, Hole);
        p.setPen(inkPen(1.0, QColor(0x5b, 0x8f, 0xd6)));
        p.drawLine(QPointF(7, 10), QPointF(7, 20));
        p.drawLine(QPointF(23, 10), QPointF(23, 20));
        break;
    }
    // light falling on the lower lip of the slot
    p.restore();
}

// ---- selection button ---------------------------------------------------------------------

void drawSelectButton(QPainter &p, LampState lamp)
{
    p.save();
    outlinedRect(p, crisp(0, 0, 43, 19), 4, QColor(0xf3, 0xf4, 0xf6));
    struct LampLook {
        QRectF r;
        QString text;
        bool lit;
        QColor on;
    };
    const LampLook lamps[2] = {
        {crisp(1, 1, 22, 17), QStringLiteral("購入"), lamp == LampState::Buy, QColor(0x1f, 0xb0, 0x48)},
        {crisp(21, 1, 21, 17), QStringLiteral("売切"), lamp == LampState::SoldOut, QColor(0xe0, 0x30, 0x2c)},
    };
    for (const LampLook &l : lamps) {
        outlinedRect(p, l.r, 2, l.lit ? l.on : QColor(0x5f, 0x64, 0x6c), 1.0);
        drawText(p, l.r.adjusted(0, 0, 0.5, 0.5), l.text, l.lit ? Qt::white : QColor(0xb4, 0xb9, 0xc0), 10);
    }
    p.restore();
}

// ---- amount display -----------------------------------------------------------------------

void drawAmountDisplay(QPainter &p)
{
    p.save();
    outlinedRect(p, crisp(0, 0, 121, 44), 5, QColor(0x4a, 0x55, 0x63));
    outlinedRect(p, crisp(2, 2, 117, 40), 4, QColor(0x5c, 0x68, 0x78), 0);
    drawText(p, QRectF(2, 8, 41, 14), QStringLiteral("投入"), Qt::white, 11, true);
    drawText(p, QRectF(2, 22, 41, 14), QStringLiteral("金額"), Qt::white, 11, true);
    // the LED window; the program draws its digits at x 46 + 17 × i, y 13
    outlinedRect(p, crisp(43, 10, 75, 32), 2, LedBack);
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(46 + 17 * i, 13);
        p.scale(1.0, 26.4 / 26.0);
        drawLedDigit(p, -1);
        p.restore();
    }
    p.restore();
}

// ---- outlets ------------------------------------------------------------------------------

void drawChangeOutlet(QPainter &p, OutletStyle style)
{
    p.save();
    switch (style) {
    case OutletStyle::Labelled:
    case OutletStyle::Wide: {
        const bool labelled = style == OutletStyle::Labelled;
        outlinedRect(p, crisp(0, 0, 45, 39), 5, labelled ? Chrome : QColor(0xf0, 0xc4, 0x3c));
        drawText(p, QRectF(0, 1, 45, 12), labelled ? QStringLiteral("おつり") : QStringLiteral("釣銭"),
                 labelled ? Ink : QColor(0x5a, 0x3a, 0x00), 10, true);
        outlinedRect(p, crisp(5, 13, 35, 22), 6, Hole);
        outlinedRect(p, crisp(8, 15, 29, 9), 4, QColor(0x44, 0x48, 0x52), 0);
        p.setPen(inkPen(1.2, QColor(255, 255, 255, 120)));
        p.drawLine(QPointF(10, 32), QPointF(35, 32));
        break;
    }
    case OutletStyle::RoundCup:
        outlinedRect(p, crisp(0, 0, 45, 39), 8, QColor(0x3a, 0x3f, 0x48));
        outlinedEllipse(p, crisp(4, 4, 37, 31), Chrome);
        outlinedEllipse(p, crisp(8, 8, 29, 23), Hole);
        outlinedEllipse(p, crisp(13, 10, 19, 9), QColor(0x44, 0x48, 0x52), 0);
        break;
    case OutletStyle::Plain:
        outlinedRect(p, crisp(0, 0, 45, 39), 4, Qt::white);
        outlinedRect(p, crisp(6, 9, 33, 24), 5, QColor(0x9c, 0xa2, 0xaa));
        break;
    }
    p.restore();
}

void drawProductOutlet(QPainter &p, OutletStyle style)
{
    p.save();
    const QRectF frame = crisp(0, 0, 188, 70);
    switch (style) {
    case OutletStyle::Labelled:
    case OutletStyle::Wide: {
        const bool labelled = style == OutletStyle::Labelled;
        outlinedRect(p, frame, 7, labelled ? Chrome : QColor(0x5b, 0x8f, 0xd6));
        outlinedRect(p, crisp(6, 6, 176, 58), 5, Hole);
        // the flap, hinged at its top edge
        outlinedRect(p, crisp(10, 10, 168, 50), 4, labelled ? QColor(0x4b, 0x51, 0x5c) : QColor(0x36, 0x4a, 0x68));
        outlinedRect(p, crisp(74, 13, 40, 8), 4, Hole, 0.8);
        // discharged products land in the middle: the lettering keeps to the sides
        drawText(p, QRectF(14, 24, 60, 28), QStringLiteral("取出口"), Qt::white, 15, true);
        if (labelled) {
            drawText(p, QRectF(114, 24, 60, 28), QStringLiteral("PUSH"), QColor(0xc9, 0xd0, 0xd9), 12, true);
        } else {
            p.setPen(inkPen(1.0));
            p.setBrush(QColor(0xff, 0xd5, 0x3d));
            p.drawPolygon(QPolygonF({QPointF(138, 26), QPointF(150, 26), QPointF(150, 34), QPointF(156, 34),
                                     QPointF(144, 46), QPointF(132, 34), QPointF(138, 34)}));
        }
        p.setPen(inkPen(1.5, QColor(255, 255, 255, 60)));
        p.drawLine(QPointF(16, 55), QPointF(172, 55));
        break;
    }
    case OutletStyle::RoundCup: {
        outlinedRect(p, frame, 12, QColor(0x3a, 0x3f, 0x48));
        outlinedRect(p, crisp(6, 6, 176, 58), 10, QColor(0x9f, 0xc5, 0xdc));
        // a smoked see-through flap with its reflections
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 90));
        p.drawPolygon(QPolygonF({QPointF(30, 8), QPointF(52, 8), QPointF(30, 62), QPointF(8, 62)}));
        p.drawPolygon(QPolygonF({QPointF(62, 8), QPointF(70, 8), QPointF(48, 62), QPointF(40, 62)}));
        p.setPen(inkPen(1.0, QColor(0x5a, 0x7c, 0x92)));
        p.drawLine(QPointF(12, 14.5), QPointF(176, 14.5));
        drawText(p, QRectF(116, 20, 62, 40), QStringLiteral("PUSH"), QColor(0x2f, 0x4d, 0x63), 16, true);
        break;
    }
    case OutletStyle::Plain:
        outlinedRect(p, frame, 5, Qt::white);
        outlinedRect(p, crisp(8, 8, 172, 54), 4, QColor(0x9c, 0xa2, 0xaa));
        break;
    }
    p.restore();
}

// ---- change lever -------------------------------------------------------------------------

void drawLever(QPainter &p, bool pulled)
{
    p.save();
    outlinedRect(p, crisp(1, 1, 38, 38), 6, Chrome);
    outlinedEllipse(p, crisp(7, 7, 26, 26), QColor(0xe4, 0xe8, 0xed), 0.8);
    // the groove the lever swings along
    p.setPen(inkPen(3.0, ChromeDark));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(9, 9, 22, 22), -60 * 16, 100 * 16);
    const qreal angle = qDegreesToRadians(pulled ? 52.0 : -38.0);
    const QPointF pivot(20, 20);
    const QPointF tip = pivot + QPointF(13 * std::cos(angle), 13 * std::sin(angle));
    p.setPen(inkPen(5.5));
    p.drawLine(pivot, tip);
    p.setPen(inkPen(3.5, QColor(0x8a, 0x92, 0x9c)));
    p.drawLine(pivot, tip);
    outlinedEllipse(p, QRectF(pivot.x() - 5, pivot.y() - 5, 10, 10), QColor(0x70, 0x78, 0x84));
    outlinedEllipse(p, QRectF(tip.x() - 5.5, tip.y() - 5.5, 11, 11),
                    pulled ? QColor(0xff, 0x7a, 0x45) : QColor(0xe5, 0x39, 0x35));
    outlinedEllipse(p, QRectF(tip.x() - 3, tip.y() - 3.5, 3, 3), QColor(255, 255, 255, 170), 0);
    p.restore();
}

// ---- money --------------------------------------------------------------------------------

void drawMoney(QPainter &p, int d)
{
    p.save();
    if (d == 0) {
        // the 1000-yen note, lying a little askew
        p.translate(15, 15);
        p.rotate(-8);
        const QRectF note(-14.5, -9, 29, 18);
        outlinedRect(p, note, 1.5, QColor(0xcf, 0xe7, 0xd6));
        p.setPen(inkPen(0.7, QColor(0x4f, 0x8a, 0x6a)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(note.adjusted(2, 2, -2, -2));
        drawText(p, note.adjusted(0, -1, 0, 0), QStringLiteral("1000"), QColor(0x1f, 0x4e, 0x8c), 10, true);
        p.restore();
        return;
    }
    struct CoinLook {
        QColor face, rim, text;
        QString value;
    };
    const CoinLook looks[5] = {
        {},
        {QColor(0xe8, 0xc2, 0x4e), QColor(0xc9, 0x9a, 0x2a), QColor(0x5a, 0x40, 0x08), QStringLiteral("500")},
        {QColor(0xdc, 0xe0, 0xe6), QColor(0xa8, 0xaf, 0xb9), QColor(0x34, 0x3a, 0x44), QStringLiteral("100")},
        {QColor(0xe2, 0xe6, 0xeb), QColor(0xae, 0xb5, 0xbf), QColor(0x34, 0x3a, 0x44), QStringLiteral("50")},
        {QColor(0xd4, 0x84, 0x4c), QColor(0xa8, 0x5a, 0x2a), QColor(0x4a, 0x20, 0x08), QStringLiteral("10")},
    };
    const CoinLook &c = looks[d];
    const qreal size = d == 3 ? 26 : (d == 4 ? 27 : 28);
    const QRectF coin((30 - size) / 2 + 0.5, (30 - size) / 2 + 0.5, size - 1, size - 1);
    outlinedEllipse(p, coin, c.rim);
    outlinedEllipse(p, coin.adjusted(2, 2, -2, -2), c.face, 0);
    if (d == 3) {
        drawText(p, QRectF(0, 5, 30, 10), c.value, c.text, 10, true);
        outlinedEllipse(p, QRectF(12, 15, 6, 6), Qt::transparent, 0.9);
        p.setPen(Qt::NoPen);
    } else {
        drawText(p, coin.adjusted(0, 0, 0.5, 0), c.value, c.text, d == 1 || d == 2 ? 10 : 12, true);
    }
    p.restore();
}

// ---- the purse of money in hand -----------------------------------------------------------

void drawPurse(QPainter &p)
{
    p.save();
    // a note peeking out of the purse
    p.save();
    p.translate(58, 30);
    p.rotate(-12);
    outlinedRect(p, QRectF(-30, -14, 60, 30), 2, QColor(0xcf, 0xe7, 0xd6));
    p.setPen(inkPen(0.8, QColor(0x4f, 0x8a, 0x6a)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(-27, -11, 54, 24));
    drawText(p, QRectF(-30, -14, 60, 22), QStringLiteral("1000"), QColor(0x1f, 0x4e, 0x8c), 14, true);
    p.restore();
    // the clasp purse body
    QPainterPath body;
    body.moveTo(14, 44);
    body.lineTo(98, 44);
    body.cubicTo(110, 58, 110, 92, 96, 100);
    body.lineTo(16, 100);
    body.cubicTo(2, 92, 2, 58, 14, 44);
    body.closeSubpath();
    p.setPen(inkPen(1.5));
    p.setBrush(QColor(0xe0, 0x5a, 0x7a));
    p.drawPath(body);
    // a dotted pattern on the cloth
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 120));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 6; ++col)
            p.drawEllipse(QPointF(22 + col * 14 + (row % 2) * 7, 58 + row * 13), 2.2, 2.2);
    // the metal clasp with its two knobs
    p.setPen(inkPen(1.2));
    p.setBrush(QColor(0xe8, 0xc2, 0x4e));
    p.drawRoundedRect(QRectF(12, 40, 88, 8), 4, 4);
    outlinedEllipse(p, QRectF(47, 31, 9, 11), QColor(0xe8, 0xc2, 0x4e), 1.2);
    outlinedEllipse(p, QRectF(56, 31, 9, 11), QColor(0xe8, 0xc2, 0x4e), 1.2);
    // coins in front of the purse
    const struct { qreal x, y; int d; } coins[] = {{6, 74, 2}, {29, 78, 1}, {54, 77, 4}, {78, 73, 3}};
    for (const auto &c : coins) {
        p.save();
        p.translate(c.x, c.y);
        drawMoney(p, c.d);
        p.restore();
    }
    drawText(p, QRectF(0, 107, 112, 22), QStringLiteral("所持金"), Ink, 14, true);
    p.restore();
}

} // namespace assetgen
