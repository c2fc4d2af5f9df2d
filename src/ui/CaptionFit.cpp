#include "ui/CaptionFit.h"

#include "rules/CaptionLines.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRectF>

#include <algorithm>
#include <optional>
#include <string_view>

namespace jhk {

namespace {

// The caption's font at each pixel size the fitting asks about.
class FontMeasure : public TextMeasure {
public:
    explicit FontMeasure(const QFont &base) : m_font(base) {}

    double width(std::string_view text, int pixels) const override
    {
        if (!m_metrics || m_pixels != pixels) {
            m_font.setPixelSize(std::max(1, pixels));
            m_metrics.emplace(m_font);
            m_pixels = pixels;
        }
        return m_metrics->horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }

private:
    mutable QFont m_font;
    mutable std::optional<QFontMetricsF> m_metrics;
    mutable int m_pixels = 0;
};

} // namespace

FittedCaption fitCaption(const QString &caption, const QSizeF &box, const QFont &base, int largestPixels)
{
    const FontMeasure measure(base);
    const CaptionLines fitted =
        fitCaptionLines(caption.toStdString(), box.width(), box.height(), largestPixels, measure);
    QFont font = base;
    font.setPixelSize(std::max(1, fitted.pixels));
    QStringList lines;
    for (const std::string &line : fitted.lines)
        lines << QString::fromStdString(line);
    return {font, lines};
}

void drawFittedCaption(QPainter &painter, const QRectF &box, const FittedCaption &fitted, double indent)
{
    painter.setFont(fitted.font);
    const QRectF area = box.adjusted(indent, 0, 0, 0);
    if (fitted.lines.size() < 2) {
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, fitted.lines.value(0));
        return;
    }
    // Two lines one pixel size apart, as a pair centred in the box.
    const double pitch = fitted.font.pixelSize();
    const double top = area.top() + (area.height() - 2 * pitch) / 2;
    for (int i = 0; i < 2; ++i)
        painter.drawText(QRectF(area.left(), top + i * pitch, area.width(), pitch), Qt::AlignLeft | Qt::AlignVCenter,
                         fitted.lines[i]);
}

QFont fontFittingWidth(const QFont &base, const QStringList &texts, double width, double smallestPoints)
{
    QFont font = base;
    double points = base.pointSizeF() > 0 ? base.pointSizeF() : 9.0;
    for (;; points -= 0.5) {
        font.setPointSizeF(std::max(points, smallestPoints));
        const QFontMetricsF fm(font);
        const bool fits = std::all_of(texts.begin(), texts.end(),
                                      [&](const QString &t) { return fm.horizontalAdvance(t) <= width; });
        if (fits || points <= smallestPoints)
            return font;
    }
}

} // namespace jhk
