#pragma once

class QColor;
class QFont;
class QPainter;
class QPointF;
class QString;

namespace jhk {

// Writes `text` on paper with its baseline starting at `origin` (`font` sized in pixels).
// Bold prints bold in any face: Japanese faces often come without a bold style, and the weight
// made up for them is too faint to see on paper, so such glyphs of a bold font are also traced
// around their edges.
void drawPaperText(QPainter &painter, const QPointF &origin, const QString &text, const QFont &font,
                   const QColor &colour);

} // namespace jhk
