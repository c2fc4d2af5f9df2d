// The program's icon: a vending machine drawn on a 16 × 16 grid, so that every size the
// desktop asks for (16 to 256 pixels, all multiples of 16) has crisp edges and the machine
// still reads at 16 pixels: the red body, the lit window with three drinks, the buttons,
// the coin slot and the outlet. The SVG is written from the same rectangles.
#include "AssetWriter.h"
#include "Pictures.h"

#include <QPainter>

#include <array>

namespace assetgen {

namespace {

struct Cell {
    int x, y, w, h;
    QRgb colour;
};

constexpr std::array<Cell, 13> IconCells{{
    {1, 0, 14, 16, 0xFF6E1410},  // outline
    {2, 1, 12, 14, 0xFFD6302B},  // body
    {3, 2, 10, 5, 0xFFE8F4FF},   // window
    {4, 3, 2, 3, 0xFF2E6FD8},    // drinks
    {7, 3, 2, 3, 0xFF2EA043},
    {10, 3, 2, 3, 0xFFF2B705},
    {4, 8, 2, 1, 0xFFFFE08A},    // buttons
    {7, 8, 2, 1, 0xFFFFE08A},
    {10, 8, 2, 1, 0xFFFFE08A},
    {12, 9, 1, 2, 0xFF1E1E1E},   // coin slot
    {3, 11, 8, 3, 0xFF2B2B2B},   // outlet
    {4, 12, 6, 1, 0xFF555555},
    {12, 12, 1, 2, 0xFF1E1E1E},  // change outlet
}};

constexpr std::array<int, 6> IconSizes{16, 32, 48, 64, 128, 256};

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    const int unit = size / 16;
    QPainter p(&image);
    for (const Cell &c : IconCells)
        p.fillRect(c.x * unit, c.y * unit, c.w * unit, c.h * unit, QColor::fromRgba(c.colour));
    return image;
}

QByteArray iconSvg()
{
    QByteArray svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 16 16\" "
                     "shape-rendering=\"crispEdges\">\n";
    for (const Cell &c : IconCells)
        svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"#%5\"/>\n")
                   .arg(c.x)
                   .arg(c.y)
                   .arg(c.w)
                   .arg(c.h)
                   .arg(c.colour & 0xFFFFFF, 6, 16, QLatin1Char('0'))
                   .toUtf8();
    svg += "</svg>\n";
    return svg;
}

} // namespace

void writeIcons(AssetWriter &out)
{
    for (int size : IconSizes)
        out.png(QStringLiteral("jihankobo-%1.png").arg(size), drawIcon(size));
    out.file(QStringLiteral("jihankobo.svg"), iconSvg());
}

} // namespace assetgen
