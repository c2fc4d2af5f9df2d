#include "ui/CaptionFit.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRectF>

#include <algorithm>
#include <limits>

namespace jhk {

namespace {

constexpr int SmallestPixels = 7;
// A single line may shrink this many pixels below the largest size before two lines are tried.
constexpr int SingleLineShrink = 2;

enum class CharClass { Digit, Latin, Hiragana, Katakana, Kanji, Other };

CharClass classOf(QChar c)
{
    const char16_t u = c.unicode();
    if (c.isDigit())
        return CharClass::Digit;
    if (u < 0x80 || (u >= 0xFF21 && u <= 0xFF5A))
        return CharClass::Latin;
    if (u >= 0x3041 && u <= 0x309F)
        return CharClass::Hiragana;
    if ((u >= 0x30A0 && u <= 0x30FF) || (u >= 0xFF66 && u <= 0xFF9F))
        return CharClass::Katakana;
    if ((u >= 0x4E00 && u <= 0x9FFF) || u == 0x3005)
        return CharClass::Kanji;
    return CharClass::Other;
}

// Characters that never start a line: the long-vowel mark, small kana, closing brackets and stops.
bool cannotStartLine(QChar c)
{
    static const QString closing = QStringLiteral("ーァィゥェォッャュョヮぁぃぅぇぉっゃゅょゎ）)」』】、。，．・");
    return closing.contains(c);
}

// Characters that never end a line: opening brackets.
bool cannotEndLine(QChar c)
{
    static const QString opening = QStringLiteral("（(「『【");
    return opening.contains(c);
}

// The best place to break the caption into two lines of at most `width` pixels, or -1. Breaks
// where the kind of characters changes come first, then the most even pair of lines.
qsizetype bestBreak(const QString &caption, const QFontMetricsF &fm, double width)
{
    qsizetype best = -1;
    bool bestAtBoundary = false;
    double bestWidest = std::numeric_limits<double>::max();
    for (qsizetype i = 1; i < caption.size(); ++i) {
        if (caption[i].isLowSurrogate() || cannotStartLine(caption[i]) || cannotEndLine(caption[i - 1]))
            continue;
        const double widest = std::max(fm.horizontalAdvance(caption.left(i)), fm.horizontalAdvance(caption.mid(i)));
        if (widest > width)
            continue;
        const bool atBoundary = classOf(caption[i - 1]) != classOf(caption[i]);
        if ((atBoundary && !bestAtBoundary) || (atBoundary == bestAtBoundary && widest < bestWidest)) {
            best = i;
            bestAtBoundary = atBoundary;
            bestWidest = widest;
        }
    }
    return best;
}

} // namespace

FittedCaption fitCaption(const QString &caption, const QSizeF &box, const QFont &base, int largestPixels)
{
    QFont font = base;
    auto atPixels = [&](int pixels) {
        font.setPixelSize(std::max(1, pixels));
        return QFontMetricsF(font);
    };
    const int largest = std::max(SmallestPixels, largestPixels);
    for (int px = largest; px >= std::max(SmallestPixels, largest - SingleLineShrink); --px) {
        if (atPixels(px).horizontalAdvance(caption) <= box.width())
            return {font, {caption}};
    }
    for (int px = largest; px >= SmallestPixels; --px) {
        if (2 * px > box.height())
            continue;
        const QFontMetricsF fm = atPixels(px);
        const qsizetype at = bestBreak(caption, fm, box.width());
        if (at > 0)
            return {font, {caption.left(at), caption.mid(at)}};
    }
    for (int px = largest; px > SmallestPixels; --px) {
        if (atPixels(px).horizontalAdvance(caption) <= box.width())
            return {font, {caption}};
    }
    atPixels(SmallestPixels);
    return {font, {caption}};
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
