#pragma once

#include "paint/PaintSession.h"

#include <QImage>
#include <QPoint>
#include <QRect>

#include <ostream>
#include <vector>

// Readable points and rectangles in test failures.
inline void PrintTo(const QPoint &p, std::ostream *os) { *os << "(" << p.x() << ", " << p.y() << ")"; }
inline void PrintTo(const QRect &r, std::ostream *os)
{
    *os << "(" << r.left() << ", " << r.top() << ")-(" << r.right() << ", " << r.bottom() << ")";
}

namespace jhk::test {

inline constexpr QRgb White = 0xFFFFFFFF;
inline constexpr QRgb Black = 0xFF000000;

// The pixels of `image` that differ from white.
inline std::vector<QPoint> inkedPixels(const QImage &image)
{
    std::vector<QPoint> points;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != White)
                points.emplace_back(x, y);
    return points;
}

// The smallest rectangle holding every inked pixel.
inline QRect inkedBounds(const QImage &image)
{
    QRect bounds;
    for (QPoint p : inkedPixels(image))
        bounds |= QRect(p, QSize(1, 1));
    return bounds;
}

// A press, moves through the points and a release with one button, as the window sends them.
inline void drag(PaintSession &session, PaintButton button, std::vector<QPoint> points)
{
    session.press(button, points.front());
    for (std::size_t i = 1; i < points.size(); ++i)
        session.move(button, points[i]);
    session.release(button, points.back());
}

inline void click(PaintSession &session, PaintButton button, QPoint p)
{
    drag(session, button, {p});
}

} // namespace jhk::test
