#include "print/PaperText.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QRegularExpression>
#include <QTextLayout>

namespace jhk {

namespace {

// The width of the trace around a bold glyph, as a part of the type's size.
constexpr double BoldTrace = 1.0 / 16;

// Whether glyphs come from a face's own bold style, rather than from a regular one made bold.
bool ownBoldStyle(const QRawFont &face)
{
    static const QRegularExpression bold(QStringLiteral("bold|black|heavy|demi"),
                                         QRegularExpression::CaseInsensitiveOption);
    return face.styleName().contains(bold);
}

} // namespace

void drawPaperText(QPainter &painter, const QPointF &origin, const QString &text, const QFont &font,
                   const QColor &colour)
{
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(origin, text);
    if (!font.bold() || text.isEmpty())
        return;
    // The glyphs of faces without a bold style, traced around their edges.
    QTextLayout layout(text, font, painter.device());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QPointF topLeft(origin.x(), origin.y() - line.ascent());
    QPainterPath outline;
    for (const QGlyphRun &run : layout.glyphRuns()) {
        const QRawFont face = run.rawFont();
        if (ownBoldStyle(face))
            continue;
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            outline.addPath(face.pathForGlyph(glyphs[i]).translated(topLeft + positions[i]));
    }
    if (outline.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(outline, QPen(colour, font.pixelSize() * BoldTrace, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.restore();
}

} // namespace jhk
