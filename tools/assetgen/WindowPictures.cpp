#include "Pictures.h"

#include "AssetWriter.h"
#include "Drawing.h"
#include "Shapes.h"

#include <QPainterPath>

namespace assetgen {

namespace {

// ---- pointing hand (hot spot at the fingertip, 11 pixels from the left on the top row) ----

QImage pointingHand()
{
    return picture(32, 32, Qt::transparent, [](QPainter &p) {
        QPainterPath hand;
        hand.moveTo(9, 15);
        hand.lineTo(9, 3);
        hand.arcTo(QRectF(9, 0.5, 5, 5), 180, -180);
        hand.lineTo(14, 12);
        hand.arcTo(QRectF(14, 10, 4, 4), 180, -180);
        hand.arcTo(QRectF(18, 11, 4, 4), 180, -180);
        hand.arcTo(QRectF(22, 12.5, 4, 4), 180, -180);
        hand.lineTo(26, 22);
        hand.quadTo(26, 28.5, 20.5, 29.5);
        hand.lineTo(12, 29.5);
        hand.quadTo(7.5, 28.5, 6.5, 24.5);
        hand.lineTo(2.5, 18.5);
        hand.quadTo(1.2, 15.2, 4.2, 15.2);
        hand.lineTo(9, 19);
        hand.closeSubpath();
        p.setPen(inkPen(1.1, Qt::black));
        p.setBrush(Qt::white);
        p.drawPath(hand);
        p.setPen(inkPen(0.9, Qt::black));
        p.drawLine(QPointF(14, 12), QPointF(14, 16.5));
        p.drawLine(QPointF(18, 13), QPointF(18, 17));
        p.drawLine(QPointF(22, 14), QPointF(22, 17.5));
    });
}

// ---- branch markers: the decision diamond behind a conditional branch's box ----------------

QImage branchMarker(bool complete)
{
    return picture(73, 25, Qt::transparent, [complete](QPainter &p) {
        const QPolygonF diamond({QPointF(0.8, 12.5), QPointF(36.5, 0.8), QPointF(72.2, 12.5), QPointF(36.5, 24.2)});
        p.setPen(inkPen(1.2));
        p.setBrush(complete ? QColor(0x2e, 0x8b, 0x4a) : QColor(0xb0, 0x3a, 0x6c));
        p.drawPolygon(diamond);
        const QPolygonF inner({QPointF(6, 12.5), QPointF(36.5, 2.8), QPointF(67, 12.5), QPointF(36.5, 22.2)});
        QPen rim(QColor(255, 255, 255, 150), 1.0, complete ? Qt::SolidLine : Qt::DashLine);
        p.setPen(rim);
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(inner);
    });
}

// ---- paint tools --------------------------------------------------------------------------

void selectTool(QPainter &p)
{
    QPen dashed(Ink, 1.0, Qt::DashLine);
    p.setPen(dashed);
    p.setBrush(Qt::NoBrush);
    p.drawRect(crisp(2, 2, 15, 15));
    // the four-way move arrow
    p.setPen(inkPen(1.2));
    const QPointF c(17, 17);
    p.drawLine(c + QPointF(-5, 0), c + QPointF(5, 0));
    p.drawLine(c + QPointF(0, -5), c + QPointF(0, 5));
    p.setBrush(Ink);
    for (int r = 0; r < 4; ++r) {
        p.save();
        p.translate(c);
        p.rotate(90 * r);
        p.drawPolygon(QPolygonF({QPointF(6.5, 0), QPointF(4, -2.5), QPointF(4, 2.5)}));
        p.restore();
    }
}

void penTool(QPainter &p)
{
    p.translate(12, 12);
    p.rotate(-45);
    outlinedRect(p, QRectF(-6, -2.8, 13, 5.6), 0.5, QColor(0xff, 0xc8, 0x3d));
    outlinedRect(p, QRectF(7, -2.8, 3.5, 5.6), 1, QColor(0xf4, 0x8f, 0xa8));
    p.setPen(inkPen(1.0));
    p.setBrush(QColor(0xf3, 0xd9, 0xb1));
    p.drawPolygon(QPolygonF({QPointF(-6, -2.8), QPointF(-11, 0), QPointF(-6, 2.8)}));
    p.setBrush(Ink);
    p.drawPolygon(QPolygonF({QPointF(-9, -1), QPointF(-11, 0), QPointF(-9, 1)}));
}

void eraserTool(QPainter &p)
{
    p.translate(12, 13);
    p.rotate(-35);
    outlinedRect(p, QRectF(-9, -4.5, 9, 9), 1.5, QColor(0xf4, 0x8f, 0xa8));
    outlinedRect(p, QRectF(0, -4.5, 9, 9), 1.5, QColor(0x7f, 0xb2, 0xe8));
}

void fillTool(QPainter &p)
{
    p.save();
    p.translate(10, 13);
    p.rotate(-30);
    outlinedRect(p, QRectF(-6, -5, 12, 12), 1.5, QColor(0xc9, 0xd0, 0xd9));
    outlinedEllipse(p, QRectF(-6, -7, 12, 4), QColor(0x2f, 0x7d, 0xe0));
    p.setPen(inkPen(1.0));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-4, -12, 8, 9), 0, 180 * 16);
    p.restore();
    // paint running off the rim
    p.setPen(inkPen(0.9));
    p.setBrush(QColor(0x2f, 0x7d, 0xe0));
    p.drawPath(dropShape(QRectF(14, 9, 8, 12)));
}

void textTool(QPainter &p)
{
    drawText(p, QRectF(0, 0, 24, 23), QStringLiteral("あ"), Ink, 19, true);
}

void dropperTool(QPainter &p)
{
    p.save();
    p.translate(12, 12);
    p.rotate(45);
    outlinedRect(p, QRectF(-2.5, -6, 5, 12), 1, QColor(0xdf, 0xf1, 0xfb));
    outlinedRect(p, QRectF(-2.5, 0, 5, 6), 1, QColor(0x2f, 0x7d, 0xe0), 0);
    p.setPen(inkPen(1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(-2.5, -6, 5, 12), 1, 1);
    p.drawLine(QPointF(0, 6), QPointF(0, 9.5));
    outlinedRect(p, QRectF(-3.5, -11, 7, 6), 3, QColor(0x44, 0x44, 0x4c));
    p.restore();
}

void zoomTool(QPainter &p)
{
    p.setPen(inkPen(3.2));
    p.drawLine(QPointF(15, 15), QPointF(21, 21));
    outlinedEllipse(p, QRectF(2.5, 2.5, 14, 14), QColor(0xdf, 0xf1, 0xfb), 1.5);
    p.setPen(inkPen(1.6));
    p.drawLine(QPointF(6.5, 9.5), QPointF(12.5, 9.5));
    p.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
}

void lineTool(QPainter &p)
{
    p.setPen(inkPen(2.0));
    p.drawLine(QPointF(4, 20), QPointF(20, 4));
    outlinedEllipse(p, QRectF(2, 18, 4, 4), QColor(0x2f, 0x7d, 0xe0), 0.8);
    outlinedEllipse(p, QRectF(18, 2, 4, 4), QColor(0x2f, 0x7d, 0xe0), 0.8);
}

void rectangleTool(QPainter &p)
{
    p.setPen(inkPen(2.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(3, 5, 18, 14));
}

void ellipseTool(QPainter &p)
{
    p.setPen(inkPen(2.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(2.5, 5, 19, 14));
}

// The two 9 × 9 colour buttons are drawn pixel by pixel: at this size every pixel counts.
QImage pixelArt(const char *const rows[9])
{
    QImage image(9, 9, QImage::Format_ARGB32);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            const char c = rows[y][x];
            image.setPixelColor(x, y, c == '#' ? QColor(Qt::black) : c == 'o' ? QColor(Qt::white) : QColor(Qt::transparent));
        }
    return image;
}

// Black over white: the default drawing and background colours.
const char *const ResetColours[9] = {
    "#####....",
    "#####....",
    "#####....",
    "#########",
    "####oooo#",
    "...#oooo#",
    "...#oooo#",
    "...#oooo#",
    "...######",
};

// A bent double arrow: swap the two colours.
const char *const SwapColours[9] = {
    ".#.......",
    "###......",
    ".#######.",
    ".#.....#.",
    ".#.....#.",
    ".#.....#.",
    ".......#.",
    "......###",
    ".......#.",
};

// ---- splash -------------------------------------------------------------------------------

QImage splash()
{
    return picture(436, 286, QColor(0xdd, 0xf0, 0xff), [](QPainter &p) {
        // clouds and the floor
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        for (const QRectF r : {QRectF(20, 18, 70, 22), QRectF(45, 8, 40, 26), QRectF(170, 30, 60, 18),
                               QRectF(188, 22, 34, 20)})
            p.drawEllipse(r);
        p.setBrush(QColor(0xf6, 0xe3, 0xb8));
        p.drawRect(QRectF(0, 238, 436, 48));
        p.setPen(inkPen(1.5));
        p.drawLine(QPointF(0, 238), QPointF(436, 238));

        // a little machine, with a few parts already placed
        const QRectF machine(256, 39, 163.2, 200);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 40));
        p.drawEllipse(QRectF(machine.left() - 6, machine.bottom() - 5, machine.width() + 12, 12));
        p.drawImage(machine, machineFront(0));
        p.save();
        p.translate(machine.topLeft());
        p.scale(0.4, 0.4);
        for (int i = 0; i < 3; ++i) {
            p.save();
            p.translate(60 + 110 * i, 262);
            p.scale(1.4, 1.4);
            drawSelectButton(p, i == 0 ? LampState::Buy : (i == 2 ? LampState::SoldOut : LampState::Off));
            p.restore();
        }
        p.save();
        p.translate(60, 318);
        drawAmountDisplay(p);
        p.restore();
        p.save();
        p.translate(300, 316);
        p.scale(1.4, 1.4);
        drawCoinSlot(p, SlotStyle::Plate);
        p.restore();
        p.save();
        p.translate(110, 396);
        drawProductOutlet(p, OutletStyle::Labelled);
        p.restore();
        p.restore();

        // a coin on its way into the machine
        p.save();
        p.translate(220, 158);
        p.rotate(-15);
        drawMoney(p, 2);
        p.restore();
        p.setPen(QPen(QColor(0x4a, 0x90, 0xd9), 2.0, Qt::DotLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath trail;
        trail.moveTo(178, 214);
        trail.quadTo(186, 182, 214, 176);
        p.drawPath(trail);

        drawRimmedText(p, QRectF(8, 70, 244, 50), QStringLiteral("ジハン・コウボウ"), QColor(0xe0, 0x3a, 0x3a),
                       Qt::white, 28, 7);
        drawText(p, QRectF(8, 122, 244, 22), QStringLiteral("じはんきを つくって うごかそう！"),
                 QColor(0x2a, 0x4a, 0x7a), 13, true);
        drawStar(p, QPointF(30, 176), 9, QColor(0xff, 0xd5, 0x3d));
        drawStar(p, QPointF(54, 192), 6, QColor(0xff, 0xd5, 0x3d));
        drawStar(p, QPointF(236, 66), 7, QColor(0xff, 0xd5, 0x3d));
    });
}

} // namespace

void writeWindowPictures(AssetWriter &out)
{
    // Drawn at the window's 436 × 286 design and stored at the size of its inside (the frame
    // and caption taken off) as a BMP in the layout of the program's own pixels: it is shown
    // straight from the program's memory, with no scaling, decompressing or converting at
    // every start.
    out.bmpInPlace(QStringLiteral("builtin/splash.bmp"),
            splash().scaled(428, 256, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    out.png(QStringLiteral("builtin/cursor_hand.png"), pointingHand());
    out.png(QStringLiteral("builtin/branch_incomplete.png"), branchMarker(false));
    out.png(QStringLiteral("builtin/branch_complete.png"), branchMarker(true));

    void (*const tools[10])(QPainter &) = {selectTool, penTool,    eraserTool, fillTool,      textTool,
                                           dropperTool, zoomTool, lineTool,   rectangleTool, ellipseTool};
    for (int i = 0; i < 10; ++i)
        out.png(QStringLiteral("builtin/paint/tool_%1.png").arg(i), picture(24, 24, Qt::transparent, tools[i]));
    out.png(QStringLiteral("builtin/paint/reset_colors.png"), pixelArt(ResetColours));
    out.png(QStringLiteral("builtin/paint/swap_colors.png"), pixelArt(SwapColours));
}

} // namespace assetgen
