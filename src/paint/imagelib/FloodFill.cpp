#include "paint/imagelib/FloodFill.h"

#include <vector>

namespace jhk::pixels {

long floodFill(QImage &image, QPoint seed, QRgb colour)
{
    if (!image.rect().contains(seed))
        return 0;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const QRgb target = image.pixel(seed) | 0xFF000000u;
    const QRgb paint = colour | 0xFF000000u;
    if (target == paint)
        return 0;

    auto row = [&image](int y) { return reinterpret_cast<QRgb *>(image.scanLine(y)); };
    long painted = 0;
    // Scanline fill: each stacked point starts a run that is widened to both sides, and the
    // rows above and below are searched for new runs of the target colour.
    std::vector<QPoint> stack{seed};
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        QRgb *line = row(p.y());
        if ((line[p.x()] | 0xFF000000u) != target)
            continue;
        int left = p.x();
        while (left > 0 && (line[left - 1] | 0xFF000000u) == target)
            --left;
        int right = p.x();
        while (right + 1 < width && (line[right + 1] | 0xFF000000u) == target)
            ++right;
        for (int x = left; x <= right; ++x)
            line[x] = paint;
        painted += right - left + 1;
        for (int ny : {p.y() - 1, p.y() + 1}) {
            if (ny < 0 || ny >= height)
                continue;
            const QRgb *next = row(ny);
            bool inRun = false;
            for (int x = left; x <= right; ++x) {
                const bool matches = (next[x] | 0xFF000000u) == target;
                if (matches && !inRun)
                    stack.emplace_back(x, ny);
                inRun = matches;
            }
        }
    }
    return painted;
}

} // namespace jhk::pixels
