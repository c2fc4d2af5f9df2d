#pragma once

#include <QFont>
#include <QSizeF>
#include <QStringList>

class QPainter;
class QRectF;

namespace jhk {

// A caption laid out to fit a box: the font to draw it with and its one or two lines.
struct FittedCaption {
    QFont font;
    QStringList lines;
};

// Fits a caption into a box of the given size without cutting any of it off (the caption rules'
// fitCaptionLines, measured in `base`): on one line at the
// largest pixel size that fits (down to a little smaller than `largestPixels`), else broken into
// two lines (preferably where the kind of characters changes, as between "購買可" and "ランプ点灯"),
// else on one line in the smallest font.
FittedCaption fitCaption(const QString &caption, const QSizeF &box, const QFont &base, int largestPixels);

// Draws a fitted caption into the box: the lines centred vertically, left-aligned `indent` pixels in.
void drawFittedCaption(QPainter &painter, const QRectF &box, const FittedCaption &fitted, double indent);

// The largest font no larger than `base` (in steps of half a point, no smaller than `smallestPoints`)
// in which every one of the texts is at most `width` pixels wide.
QFont fontFittingWidth(const QFont &base, const QStringList &texts, double width, double smallestPoints = 7.0);

} // namespace jhk
