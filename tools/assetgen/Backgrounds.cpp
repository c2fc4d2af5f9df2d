#include "Pictures.h"

#include "AssetWriter.h"
#include "Drawing.h"
#include "Shapes.h"

#include <QPainterPath>
#include <algorithm>
#include <vector>

namespace assetgen {

namespace {

constexpr int StageWidth = 408;
constexpr int StageHeight = 500;

enum class Ornament { Stars, Bubbles, Leaves, Fruit, Sparkles };
enum class SignShape { Rounded, Arch, Pill, Framed };

struct MachineLook {
    QColor cabinet;
    QColor pillar;
    QColor sign;
    QColor title;
    QColor titleRim;
    QColor glass;
    QColor panel;
    QString text;
    int shelves;
    std::vector<Drink> drinks;
    Ornament ornament;
    SignShape signShape;
};

const MachineLook Looks[5] = {
    {QColor(0xd8, 0x34, 0x3a), QColor(0xa8, 0x22, 0x2a), Qt::white, QColor(0x1e, 0x5f, 0xb4), Qt::white,
     QColor(0xdc, 0xf0, 0xfb), QColor(0xee, 0xf0, 0xf3), QStringLiteral("つめた～い ドリンク"), 1,
     {Drink::Cola, Drink::Soda, Drink::Sports, Drink::Water, Drink::Orange, Drink::Cola, Drink::GreenTea},
     Ornament::Bubbles, SignShape::Rounded},
    {QColor(0x2f, 0x6f, 0xc0), QColor(0x22, 0x52, 0x93), QColor(0xff, 0xf3, 0xc4), QColor(0xd8, 0x34, 0x3a),
     QColor(0xff, 0xf3, 0xc4), QColor(0xe4, 0xf2, 0xff), QColor(0xec, 0xef, 0xf4), QStringLiteral("おいしい のみもの"), 2,
     {Drink::Water, Drink::Sports, Drink::Cola, Drink::Soda, Drink::Orange, Drink::Coffee, Drink::GreenTea,
      Drink::Water, Drink::Sports, Drink::Cola},
     Ornament::Stars, SignShape::Arch},
    {QColor(0x3b, 0x9a, 0x5a), QColor(0x2a, 0x74, 0x42), Qt::white, QColor(0x2a, 0x6e, 0x3c), Qt::white,
     QColor(0xe8, 0xf6, 0xe6), QColor(0xef, 0xf2, 0xee), QStringLiteral("おちゃ と コーヒー"), 1,
     {Drink::GreenTea, Drink::GreenTea, Drink::Coffee, Drink::Water, Drink::Coffee, Drink::GreenTea, Drink::Water},
     Ornament::Leaves, SignShape::Pill},
    {QColor(0xf0, 0x8a, 0x24), QColor(0xc8, 0x68, 0x12), QColor(0xff, 0xf8, 0xe6), QColor(0xe0, 0x5a, 0x10),
     QColor(0xff, 0xf8, 0xe6), QColor(0xff, 0xf4, 0xde), QColor(0xf3, 0xf1, 0xee), QStringLiteral("フルーツ ジュース"), 2,
     {Drink::Orange, Drink::Soda, Drink::Orange, Drink::Cola, Drink::Water, Drink::Orange, Drink::Sports,
      Drink::Soda, Drink::Orange, Drink::Cola},
     Ornament::Fruit, SignShape::Arch},
    {QColor(0xf2, 0xf3, 0xf5), QColor(0x2b, 0x3a, 0x67), QColor(0x2b, 0x3a, 0x67), Qt::white, QColor(0x2b, 0x3a, 0x67),
     QColor(0xe2, 0xe9, 0xf5), QColor(0xe6, 0xe9, 0xef), QStringLiteral("ジハンコウボウ"), 1,
     {Drink::Coffee, Drink::Sports, Drink::Cola, Drink::GreenTea, Drink::Orange, Drink::Soda, Drink::Water},
     Ornament::Sparkles, SignShape::Framed},
};

constexpr int Prices[] = {120, 100, 150, 130, 110, 160, 140, 120, 100, 130};

void drawOrnament(QPainter &p, Ornament ornament, QPointF at, const MachineLook &look)
{
    switch (ornament) {
    case Ornament::Stars:
        drawStar(p, at, 10, QColor(0xff, 0xd5, 0x3d));
        break;
    case Ornament::Sparkles:
        drawStar(p, at, 9, QColor(0xff, 0xd5, 0x3d));
        drawStar(p, at + QPointF(12, -8), 5, Qt::white);
        break;
    case Ornament::Bubbles:
        for (const QPointF d : {QPointF(-5, 4), QPointF(5, -4), QPointF(8, 8)})
            outlinedEllipse(p, QRectF(at + d - QPointF(4.5, 4.5), QSizeF(9, 9)), QColor(0xbf, 0xe6, 0xff));
        break;
    case Ornament::Leaves: {
        for (int side : {-1, 1}) {
            p.save();
            p.translate(at);
            p.rotate(side * 35 - 90);
            QPainterPath leaf;
            leaf.moveTo(0, 0);
            leaf.quadTo(8, -7, 18, 0);
            leaf.quadTo(8, 7, 0, 0);
            p.setPen(inkPen(1.0));
            p.setBrush(QColor(0x7c, 0xc1, 0x5a));
            p.drawPath(leaf);
            p.restore();
        }
        break;
    }
    case Ornament::Fruit:
        outlinedEllipse(p, QRectF(at - QPointF(9, 8), QSizeF(18, 18)), QColor(0xff, 0xa5, 0x2a));
        outlinedEllipse(p, QRectF(at - QPointF(5, 4), QSizeF(10, 10)), QColor(0xff, 0xd2, 0x6e), 0);
        p.save();
        p.setPen(inkPen(1.0));
        p.setBrush(QColor(0x4c, 0xa3, 0x3c));
        p.drawEllipse(QRectF(at + QPointF(-1, -13), QSizeF(9, 5)));
        p.restore();
        break;
    }
    (void)look;
}

void drawPriceTag(QPainter &p, QPointF centre, int price)
{
    const QRectF tag(centre.x() - 14, centre.y() - 6, 28, 13);
    outlinedRect(p, tag, 2, Qt::white, 0.9);
    drawText(p, tag.adjusted(0, 0, 0, 1), QString::number(price), QColor(0xd0, 0x20, 0x20), 10, true);
}

// The display window: drinks on one or two shelves behind glass, each with its price tag.
void drawDisplayWindow(QPainter &p, const MachineLook &look)
{
    const QRectF frame = crisp(14, 62, 380, 170);
    outlinedRect(p, frame, 8, QColor(0x3a, 0x40, 0x4c), 2.0);
    const QRectF glass(22, 68, 364, 158);
    outlinedRect(p, glass, 5, look.glass, 1.0);
    // light from the top of the window
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 160));
    p.drawRoundedRect(QRectF(28, 71, 352, 6), 3, 3);
    p.restore();

    const int rows = look.shelves;
    const int perRow = int(look.drinks.size()) / rows;
    const qreal scale = rows == 1 ? 1.2 : 0.6;
    const qreal drinkW = 34 * scale, drinkH = 67 * scale;
    const qreal rowHeight = glass.height() / rows;
    int index = 0;
    for (int row = 0; row < rows; ++row) {
        const qreal shelfY = glass.top() + rowHeight * (row + 1) - (rows == 1 ? 36 : 22);
        const qreal step = glass.width() / perRow;
        for (int i = 0; i < perRow; ++i, ++index) {
            const qreal cx = glass.left() + step * (i + 0.5);
            p.save();
            p.translate(cx - drinkW / 2, shelfY - drinkH);
            p.scale(scale, scale);
            drawDrink(p, look.drinks[index]);
            p.restore();
        }
        outlinedRect(p, QRectF(glass.left() + 0.5, shelfY, glass.width() - 1, 5), 0, QColor(0xb8, 0xbf, 0xc9), 1.0);
        for (int i = 0; i < perRow; ++i)
            drawPriceTag(p, QPointF(glass.left() + step * (i + 0.5), shelfY + 13),
                         Prices[(row * perRow + i) % std::size(Prices)]);
    }
    // reflections on the glass
    p.save();
    p.setClipRect(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 55));
    p.drawPolygon(QPolygonF({QPointF(250, 68), QPointF(290, 68), QPointF(210, 226), QPointF(170, 226)}));
    p.drawPolygon(QPolygonF({QPointF(305, 68), QPointF(318, 68), QPointF(238, 226), QPointF(225, 226)}));
    p.restore();
}

void drawSign(QPainter &p, const QRectF &sign, const MachineLook &look)
{
    switch (look.signShape) {
    case SignShape::Rounded:
        outlinedRect(p, sign, 10, look.sign, 1.6);
        break;
    case SignShape::Pill:
        outlinedRect(p, sign, sign.height() / 2, look.sign, 1.6);
        break;
    case SignShape::Arch: {
        QPainterPath arch;
        arch.moveTo(sign.left(), sign.bottom() - 6);
        arch.lineTo(sign.left(), sign.top() + 10);
        arch.quadTo(sign.center().x(), sign.top() - 10, sign.right(), sign.top() + 10);
        arch.lineTo(sign.right(), sign.bottom() - 6);
        arch.quadTo(sign.right(), sign.bottom(), sign.right() - 6, sign.bottom());
        arch.lineTo(sign.left() + 6, sign.bottom());
        arch.quadTo(sign.left(), sign.bottom(), sign.left(), sign.bottom() - 6);
        p.setPen(inkPen(1.6));
        p.setBrush(look.sign);
        p.drawPath(arch);
        break;
    }
    case SignShape::Framed:
        outlinedRect(p, sign, 3, look.sign, 1.6);
        p.setPen(inkPen(1.0, look.title));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(sign.adjusted(4, 4, -4, -4), 2, 2);
        break;
    }
}

void drawScrew(QPainter &p, QPointF c)
{
    outlinedEllipse(p, QRectF(c - QPointF(3, 3), QSizeF(6, 6)), QColor(0xc2, 0xc8, 0xd0), 0.8);
    p.setPen(inkPen(0.8, QColor(0x7a, 0x80, 0x8a)));
    p.drawLine(c + QPointF(-1.6, 1.6), c + QPointF(1.6, -1.6));
}

QImage drawMachine(const MachineLook &look)
{
    return picture(StageWidth, StageHeight, look.cabinet, [&](QPainter &p) {
        // side pillars and the kick plate of the cabinet
        p.setPen(Qt::NoPen);
        p.setBrush(look.pillar);
        p.drawRect(QRectF(0, 0, 8, StageHeight));
        p.drawRect(QRectF(StageWidth - 8, 0, 8, StageHeight));
        p.drawRect(QRectF(0, 488, StageWidth, 12));
        p.setPen(inkPen(1.0, look.pillar.darker(130)));
        for (int x = 40; x < StageWidth - 40; x += 16)
            p.drawLine(QPointF(x, 492.5), QPointF(x + 8, 492.5));
        p.setPen(inkPen(2.0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1, 1, StageWidth - 2, StageHeight - 2));

        // the sign on top
        const QRectF sign = crisp(14, 10, 380, 44);
        drawSign(p, sign, look);
        drawRimmedText(p, sign, look.text, look.title, look.titleRim, 24, 4);
        drawOrnament(p, look.ornament, QPointF(42, 32), look);
        drawOrnament(p, look.ornament, QPointF(366, 32), look);

        drawDisplayWindow(p, look);

        // the control panel: left plain, for the parts the pupil places
        const QRectF panel = crisp(14, 240, 380, 242);
        outlinedRect(p, panel, 8, look.panel, 1.6);
        p.setPen(inkPen(1.0, look.panel.darker(112)));
        p.drawLine(QPointF(24, 477.5), QPointF(384, 477.5));
        for (const QPointF c : {QPointF(22, 248), QPointF(386, 248), QPointF(22, 473), QPointF(386, 473)})
            drawScrew(p, c);
    });
}

// Thumbnails keep the picture's proportions and centre it on a soft backdrop.
QImage thumbnail(const QImage &stage, QSize size)
{
    return picture(size.width(), size.height(), QColor(0xf4, 0xf1, 0xea), [&](QPainter &p) {
        const qreal factor = std::min((size.width() - 6.0) / stage.width(), (size.height() - 6.0) / stage.height());
        const QSize fitted(qRound(stage.width() * factor), qRound(stage.height() * factor));
        const QRectF target((size.width() - fitted.width()) / 2.0, (size.height() - fitted.height()) / 2.0,
                            fitted.width(), fitted.height());
        p.drawImage(target, stage.scaledToWidth(fitted.width(), Qt::SmoothTransformation));
        p.setPen(inkPen(1.0, QColor(0x8a, 0x84, 0x78)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(crisp(0, 0, size.width(), size.height()));
    });
}

} // namespace

QImage machineFront(int n)
{
    return drawMachine(Looks[n]);
}

void writeBackgrounds(AssetWriter &out)
{
    for (int n = 0; n < 5; ++n) {
        const QImage stage = machineFront(n);
        out.bmp(QStringLiteral("bg/BG%1.bmp").arg(n), stage);
        const QSize thumbSize = n == 4 ? QSize(123, 150) : QSize(105, 119);
        out.png(QStringLiteral("builtin/thumbs/bg_%1.png").arg(n), thumbnail(stage, thumbSize));
    }
}

} // namespace assetgen
