#include "Pictures.h"

#include "AssetWriter.h"
#include "Drawing.h"
#include "Shapes.h"

#include <QPainterPath>

namespace assetgen {

namespace {

// Built-in size of each part kind, index = kind.
constexpr QSize KindSize[8] = {{34, 67}, {43, 19}, {30, 30}, {121, 44}, {45, 39}, {112, 129}, {188, 70}, {40, 40}};

template<typename Draw>
QImage part(int kind, const QColor &fill, Draw draw)
{
    return picture(KindSize[kind].width(), KindSize[kind].height(), fill, draw);
}

void applicationFolderParts(AssetWriter &out)
{
    const Drink drinks[5] = {Drink::Cola, Drink::GreenTea, Drink::Orange, Drink::Coffee, Drink::Plain};
    for (int i = 0; i < 5; ++i) {
        // the last product is a plain can on white, a starting point for the paint tool
        const QColor back = i == 4 ? QColor(Qt::white) : PanelGrey;
        out.bmp(QStringLiteral("bg/kan_%1.bmp").arg(i + 1),
                part(0, back, [&](QPainter &p) { drawDrink(p, drinks[i]); }), back);
    }
    const LampState lamps[3] = {LampState::Off, LampState::Buy, LampState::SoldOut};
    for (int i = 0; i < 3; ++i)
        out.bmp(QStringLiteral("bg/button_%1.bmp").arg(i + 1),
                part(1, PanelGrey, [&](QPainter &p) { drawSelectButton(p, lamps[i]); }), PanelGrey);

    const SlotStyle slotStyles[3] = {SlotStyle::Plate, SlotStyle::RoundBezel, SlotStyle::Plain};
    const OutletStyle outlets[3] = {OutletStyle::Labelled, OutletStyle::RoundCup, OutletStyle::Plain};
    for (int i = 0; i < 3; ++i) {
        const QColor back = i == 2 ? QColor(Qt::white) : PanelGrey;
        out.bmp(QStringLiteral("bg/tonyu_%1.bmp").arg(i + 1),
                part(2, back, [&](QPainter &p) { drawCoinSlot(p, slotStyles[i]); }), back);
        out.bmp(QStringLiteral("bg/turi_%1.bmp").arg(i + 1),
                part(4, back, [&](QPainter &p) { drawChangeOutlet(p, outlets[i]); }), back);
        out.bmp(QStringLiteral("bg/tori_%1.bmp").arg(i + 1),
                part(6, back, [&](QPainter &p) { drawProductOutlet(p, outlets[i]); }), back);
    }
    for (int i = 0; i < 2; ++i)
        out.bmp(QStringLiteral("bg/rebaa_%1.bmp").arg(i + 1),
                part(7, PanelGrey, [&](QPainter &p) { drawLever(p, i == 1); }), PanelGrey);
}

// The built-in pictures of the part kinds. The button and the lever match their lamp-off and
// at-rest files, which the program switches back to when a run stops or the lever is let go.
void builtinParts(AssetWriter &out)
{
    const std::function<void(QPainter &)> draw[8] = {
        [](QPainter &p) { drawDrink(p, Drink::Soda); },
        [](QPainter &p) { drawSelectButton(p, LampState::Off); },
        [](QPainter &p) { drawCoinSlot(p, SlotStyle::Panel); },
        [](QPainter &p) { drawAmountDisplay(p); },
        [](QPainter &p) { drawChangeOutlet(p, OutletStyle::Wide); },
        [](QPainter &p) { drawPurse(p); },
        [](QPainter &p) { drawProductOutlet(p, OutletStyle::Wide); },
        [](QPainter &p) { drawLever(p, false); },
    };
    for (int kind = 0; kind < 8; ++kind)
        out.png(QStringLiteral("builtin/kinds/kind_%1.png").arg(kind), part(kind, PanelGrey, draw[kind]));
}

// ---- palette buttons ----------------------------------------------------------------------

void paletteTile(QPainter &p, const QColor &tint)
{
    outlinedRect(p, crisp(2, 2, 60, 60), 10, tint, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawRoundedRect(QRectF(5, 5, 54, 20), 7, 7);
}

// Draws `draw` (a drawing of size `size`) scaled by `scale` and centred on (cx, cy).
void placed(QPainter &p, QSizeF size, qreal scale, QPointF centre, const std::function<void(QPainter &)> &draw)
{
    p.save();
    p.translate(centre.x() - size.width() * scale / 2, centre.y() - size.height() * scale / 2);
    p.scale(scale, scale);
    draw(p);
    p.restore();
}

void paletteButtons(AssetWriter &out)
{
    const QColor tints[8] = {QColor(0xff, 0xd6, 0xd6), QColor(0xd6, 0xf2, 0xdc), QColor(0xdb, 0xe7, 0xff),
                             QColor(0xff, 0xea, 0xc2), QColor(0xff, 0xf4, 0xb8), QColor(0xf9, 0xd9, 0xec),
                             QColor(0xd9, 0xf1, 0xf7), QColor(0xe9, 0xe1, 0xfb)};
    const std::function<void(QPainter &)> draw[8] = {
        [](QPainter &p) {
            placed(p, {34, 67}, 0.62, {23, 33}, [](QPainter &q) { drawDrink(q, Drink::Cola); });
            placed(p, {34, 67}, 0.62, {41, 33}, [](QPainter &q) { drawDrink(q, Drink::GreenTea); });
        },
        [](QPainter &p) {
            placed(p, {43, 19}, 1.2, {32, 24}, [](QPainter &q) { drawSelectButton(q, LampState::Buy); });
            placed(p, {43, 19}, 1.2, {32, 44}, [](QPainter &q) { drawSelectButton(q, LampState::SoldOut); });
        },
        [](QPainter &p) {
            placed(p, {30, 30}, 1.45, {30, 34}, [](QPainter &q) { drawCoinSlot(q, SlotStyle::Panel); });
            placed(p, {30, 30}, 0.7, {47, 15}, [](QPainter &q) { drawMoney(q, 2); });
        },
        [](QPainter &p) {
            outlinedRect(p, crisp(6, 17, 52, 30), 4, QColor(0x4a, 0x55, 0x63));
            outlinedRect(p, crisp(9, 20, 46, 24), 2, LedBack);
            const int digits[3] = {1, 2, 0};
            for (int i = 0; i < 3; ++i)
                placed(p, {17, 26}, 0.8, {19.0 + 13 * i, 32}, [&](QPainter &q) { drawLedDigit(q, digits[i]); });
        },
        [](QPainter &p) {
            placed(p, {45, 39}, 1.05, {32, 36}, [](QPainter &q) { drawChangeOutlet(q, OutletStyle::Labelled); });
            placed(p, {30, 30}, 0.55, {27, 45}, [](QPainter &q) { drawMoney(q, 4); });
            placed(p, {30, 30}, 0.55, {38, 44}, [](QPainter &q) { drawMoney(q, 2); });
        },
        [](QPainter &p) {
            // the purse without its caption, which would be too small to read here
            placed(p, {112, 104}, 0.49, {32, 33}, [](QPainter &q) {
                q.setClipRect(QRectF(0, 0, 112, 104));
                drawPurse(q);
            });
        },
        [](QPainter &p) {
            placed(p, {188, 70}, 0.29, {32, 40}, [](QPainter &q) { drawProductOutlet(q, OutletStyle::Plain); });
            placed(p, {34, 67}, 0.55, {30, 30}, [](QPainter &q) { drawDrink(q, Drink::Orange); });
            p.save();
            p.setPen(inkPen(1.6));
            p.setBrush(QColor(0xff, 0xd5, 0x3d));
            p.drawPolygon(QPolygonF({QPointF(44, 14), QPointF(54, 14), QPointF(54, 22), QPointF(58, 22),
                                     QPointF(49, 31), QPointF(40, 22), QPointF(44, 22)}));
            p.restore();
        },
        [](QPainter &p) { placed(p, {40, 40}, 1.2, {32, 33}, [](QPainter &q) { drawLever(q, false); }); },
    };
    for (int kind = 0; kind < 8; ++kind)
        out.bmpInPlace(QStringLiteral("builtin/palette/palette_%1.bmp").arg(kind), picture(64, 64, Qt::transparent, [&](QPainter &p) {
                    paletteTile(p, tints[kind]);
                    draw[kind](p);
                }));
}

// ---- money, wallet and digits -------------------------------------------------------------

// The wallet sits behind the coins of a run: its five pockets hold the coin rows that the
// stage lays out at top 300 + 40 × d, left 10, with their count labels to the right.
constexpr int WalletWidth = 100;
constexpr int WalletHeight = 204;

void drawWallet(QPainter &p)
{
    outlinedRect(p, QRectF(1, 1, WalletWidth - 2, WalletHeight - 2), 12, QColor(0x9a, 0x5b, 0x32), 1.6);
    p.save();
    QPen stitch(QColor(0xf1, 0xd0, 0x9a), 1.0, Qt::DashLine);
    p.setPen(stitch);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(4.5, 4.5, WalletWidth - 9, WalletHeight - 9), 9, 9);
    p.restore();
    for (int d = 0; d < 5; ++d)
        outlinedRect(p, QRectF(7.5, 7.5 + 40 * d, WalletWidth - 15, 36), 6, QColor(0xe9, 0xc9, 0x96), 1.0);
}

void walletPictures(AssetWriter &out)
{
    const QImage shape = picture(WalletWidth, WalletHeight, Qt::transparent, drawWallet);
    // Painted with a bitwise AND of the mask and then an OR of the picture: the mask is black
    // exactly where the picture is not black-backed, so the two must agree pixel for pixel.
    QImage wallet(shape.size(), QImage::Format_RGB32);
    QImage mask(shape.size(), QImage::Format_RGB32);
    for (int y = 0; y < shape.height(); ++y)
        for (int x = 0; x < shape.width(); ++x) {
            const QColor c = shape.pixelColor(x, y);
            const bool inside = c.alpha() >= 128;
            QColor over = Ink;
            if (inside) {
                const qreal a = c.alphaF();
                over = QColor::fromRgbF(c.redF() * a + Ink.redF() * (1 - a), c.greenF() * a + Ink.greenF() * (1 - a),
                                        c.blueF() * a + Ink.blueF() * (1 - a));
            }
            wallet.setPixelColor(x, y, inside ? over : QColor(Qt::black));
            mask.setPixelColor(x, y, inside ? QColor(Qt::black) : QColor(Qt::white));
        }
    out.png(QStringLiteral("builtin/wallet.png"), wallet);
    out.png(QStringLiteral("builtin/wallet_mask.png"), mask);
}

void moneyPictures(AssetWriter &out)
{
    for (int d = 0; d < 5; ++d)
        out.png(QStringLiteral("builtin/coins/coin_%1.png").arg(d),
                picture(30, 30, Qt::transparent, [d](QPainter &p) { drawMoney(p, d); }));
    walletPictures(out);
    out.png(QStringLiteral("builtin/digits.png"), picture(170, 26, LedBack, [](QPainter &p) {
                for (int digit = 0; digit < 10; ++digit) {
                    p.save();
                    p.translate(17 * digit, 0);
                    drawLedDigit(p, digit);
                    p.restore();
                }
            }));
}

} // namespace

void writePartPictures(AssetWriter &out)
{
    applicationFolderParts(out);
    builtinParts(out);
    paletteButtons(out);
    moneyPictures(out);
}

} // namespace assetgen
