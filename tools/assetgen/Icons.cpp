// The program's icon: a vending machine. The small sizes (16 to 64 pixels) are drawn on a
// 16 × 16 grid, so that they have crisp edges and the machine still reads at 16 pixels: the
// red body, the lit window with three drinks, the buttons, the coin slot and the outlet. The
// large sizes (128 and 256) and the scalable SVG are drawn with their own detail from one list
// of shapes on a 256-unit square: rounded corners, a sign, bottles with caps and highlights,
// price tags, lit buttons, a coin slot with its return lever, a product and a change outlet.
#include "AssetWriter.h"
#include "Pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <vector>

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

constexpr std::array<int, 4> GridSizes{16, 32, 48, 64};
constexpr std::array<int, 2> DetailedSizes{128, 256};

// A shape of the detailed drawing, in units of a 256-unit square: a rectangle with rounded
// corners (radius 0: square), an ellipse or a polygon, filled and outlined.
struct Shape {
    enum class Kind { Rect, Ellipse, Polygon };
    Kind kind = Kind::Rect;
    QRectF rect;
    double radius = 0;
    std::vector<QPointF> points;
    QRgb fill = 0;    // 0: none
    QRgb outline = 0; // 0: none
    double width = 0;
};

Shape rect(double x, double y, double w, double h, double radius, QRgb fill, QRgb outline = 0, double width = 0)
{
    return {Shape::Kind::Rect, QRectF(x, y, w, h), radius, {}, fill, outline, width};
}

Shape ellipse(double x, double y, double w, double h, QRgb fill, QRgb outline = 0, double width = 0)
{
    return {Shape::Kind::Ellipse, QRectF(x, y, w, h), 0, {}, fill, outline, width};
}

Shape polygon(std::vector<QPointF> points, QRgb fill)
{
    return {Shape::Kind::Polygon, {}, 0, std::move(points), fill, 0, 0};
}

// A bottle standing on the shelf at `x` (its left edge), 22 units wide: body, shoulder, neck,
// cap, label and a highlight.
void addBottle(std::vector<Shape> &out, double x, QRgb body, QRgb cap, QRgb label)
{
    constexpr double shelf = 138;
    out.push_back(rect(x, shelf - 50, 22, 50, 5, body, 0xFF1E1E1E, 1.5));
    out.push_back(rect(x + 6, shelf - 62, 10, 14, 3, body, 0xFF1E1E1E, 1.5));
    out.push_back(rect(x + 5, shelf - 68, 12, 7, 2, cap, 0xFF1E1E1E, 1.5));
    out.push_back(rect(x + 1, shelf - 34, 20, 14, 0, label));
    out.push_back(rect(x + 4, shelf - 46, 4, 38, 2, 0x99FFFFFF));
    // The price tag under it.
    out.push_back(rect(x + 1, shelf + 6, 20, 9, 2, 0xFFFFFFFF, 0xFFB02020, 1.5));
    out.push_back(rect(x + 5, shelf + 9.5, 12, 2, 0, 0xFFB02020));
}

std::vector<Shape> detailedShapes()
{
    std::vector<Shape> s;
    // The shadow on the floor and the machine's body with a lighter left edge.
    s.push_back(ellipse(36, 234, 184, 18, 0x33000000));
    s.push_back(rect(32, 6, 192, 236, 22, 0xFFD6302B, 0xFF6E1410, 8));
    s.push_back(rect(42, 16, 14, 216, 7, 0x40FFFFFF));
    // The sign at the top with its lights.
    s.push_back(rect(54, 20, 148, 30, 10, 0xFFFFF4D6, 0xFF6E1410, 3));
    s.push_back(rect(80, 31, 96, 8, 4, 0xFFD6302B));
    for (const double x : {62.0, 182.0})
        s.push_back(ellipse(x, 29, 12, 12, 0xFF6FB7FF, 0xFF2E6FD8, 2));
    // The lit window, its shelf and three bottles.
    s.push_back(rect(54, 58, 148, 104, 10, 0xFFE8F4FF, 0xFF2B2B2B, 5));
    s.push_back(polygon({{150, 64}, {176, 64}, {128, 156}, {102, 156}}, 0x55FFFFFF));
    s.push_back(rect(60, 138, 136, 4, 1, 0xFF9AA7B4));
    addBottle(s, 70, 0xFF2E6FD8, 0xFFE8F4FF, 0xFFFFFFFF);
    addBottle(s, 117, 0xFF2EA043, 0xFFFFE08A, 0xFFE8FFE8);
    addBottle(s, 164, 0xFFF2B705, 0xFFD6302B, 0xFFFFFFFF);
    // The three lit buttons under the drinks.
    for (const double x : {71.0, 118.0, 165.0}) {
        s.push_back(rect(x, 170, 20, 12, 5, 0xFFFFE08A, 0xFF8A5A00, 2.5));
        s.push_back(rect(x + 4, 172.5, 12, 3, 1.5, 0xCCFFFFFF));
    }
    // The coin slot and its return lever on a panel at the right.
    s.push_back(rect(170, 190, 30, 44, 6, 0xFF3A3A3A, 0xFF1E1E1E, 2));
    s.push_back(rect(182, 196, 6, 16, 2, 0xFF111111, 0xFFB0B0B0, 1.5));
    s.push_back(ellipse(178, 216, 14, 14, 0xFFB0B0B0, 0xFF1E1E1E, 2));
    s.push_back(rect(184, 218, 3, 10, 1.5, 0xFFD6302B));
    // The product outlet with its flap, and the change cup.
    s.push_back(rect(56, 192, 102, 40, 8, 0xFF2B2B2B, 0xFF111111, 2));
    s.push_back(rect(64, 199, 86, 26, 5, 0xFF555555));
    s.push_back(rect(64, 199, 86, 7, 3, 0xFF777777));
    s.push_back(ellipse(96, 210, 22, 8, 0xFFFFE08A));
    return s;
}

QPainterPath pathOf(const Shape &shape)
{
    QPainterPath path;
    switch (shape.kind) {
    case Shape::Kind::Rect:
        path.addRoundedRect(shape.rect, shape.radius, shape.radius);
        break;
    case Shape::Kind::Ellipse:
        path.addEllipse(shape.rect);
        break;
    case Shape::Kind::Polygon:
        path.addPolygon(QPolygonF(QList<QPointF>(shape.points.begin(), shape.points.end())));
        path.closeSubpath();
        break;
    }
    return path;
}

QImage drawDetailedIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    for (const Shape &shape : detailedShapes()) {
        const QPainterPath path = pathOf(shape);
        if (shape.fill)
            p.fillPath(path, QColor::fromRgba(shape.fill));
        if (shape.outline)
            p.strokePath(path, QPen(QColor::fromRgba(shape.outline), shape.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    return image;
}

QString svgColour(QRgb colour)
{
    return QStringLiteral("#%1").arg(colour & 0xFFFFFF, 6, 16, QLatin1Char('0'));
}

QString svgPaint(const char *what, QRgb colour)
{
    QString out = QStringLiteral(" %1=\"%2\"").arg(QLatin1String(what), svgColour(colour));
    if (qAlpha(colour) != 255)
        out += QStringLiteral(" %1-opacity=\"%2\"").arg(QLatin1String(what)).arg(qAlpha(colour) / 255.0, 0, 'g', 3);
    return out;
}

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
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                                 "viewBox=\"0 0 256 256\">\n");
    const auto number = [](double v) { return QString::number(v, 'g', 6); };
    for (const Shape &shape : detailedShapes()) {
        QString paint = shape.fill ? svgPaint("fill", shape.fill) : QStringLiteral(" fill=\"none\"");
        if (shape.outline)
            paint += svgPaint("stroke", shape.outline)
                + QStringLiteral(" stroke-width=\"%1\" stroke-linejoin=\"round\"").arg(number(shape.width));
        const QRectF &r = shape.rect;
        switch (shape.kind) {
        case Shape::Kind::Rect:
            svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"")
                       .arg(number(r.x()), number(r.y()), number(r.width()), number(r.height()));
            if (shape.radius > 0)
                svg += QStringLiteral(" rx=\"%1\"").arg(number(shape.radius));
            break;
        case Shape::Kind::Ellipse:
            svg += QStringLiteral("  <ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\"")
                       .arg(number(r.center().x()), number(r.center().y()), number(r.width() / 2), number(r.height() / 2));
            break;
        case Shape::Kind::Polygon: {
            QStringList points;
            for (const QPointF &pt : shape.points)
                points << number(pt.x()) + QLatin1Char(',') + number(pt.y());
            svg += QStringLiteral("  <polygon points=\"%1\"").arg(points.join(QLatin1Char(' ')));
            break;
        }
        }
        svg += paint + QStringLiteral("/>\n");
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

} // namespace

void writeIcons(AssetWriter &out)
{
    for (int size : GridSizes)
        out.png(QStringLiteral("jihankobo-%1.png").arg(size), drawIcon(size));
    for (int size : DetailedSizes)
        out.png(QStringLiteral("jihankobo-%1.png").arg(size), drawDetailedIcon(size));
    out.file(QStringLiteral("jihankobo.svg"), iconSvg());
}

} // namespace assetgen
