#include "ui/FlowchartPainter.h"

#include "print/OutputFile.h"
#include "ui/CaptionFit.h"
#include "ui/StagePictures.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QBuffer>

#include <algorithm>
#include <vector>

namespace jhk {

namespace {

constexpr int ScreenDpi = 96;
constexpr double CaptionIndent = 2;
QColor colourOf(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

const QColor PathColour = colourOf(RunPathColour);
const QColor NextColour = colourOf(NextBlockColour);
const QColor StoppedColour = colourOf(StoppedBlockColour);

// A font given as a pixel height h is h × TwipsY ÷ 20 points.
QFont fontOfPixels(int pixels, int twipsY)
{
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSize(std::max(1, pixels * twipsY / 20));
    return font;
}

struct Scale {
    double tx;
    double ty;
    QPointF point(int x, int y) const { return {x / tx, y / ty}; }
    QRectF rect(const TwipsRect &r) const { return {r.left / tx, r.top / ty, r.width / tx, r.height / ty}; }
};

QPixmap branchMarker(bool complete, QSize size)
{
    const QString name = complete ? QStringLiteral(":/builtin/branch_complete.png")
                                  : QStringLiteral(":/builtin/branch_incomplete.png");
    QPixmap picture = StagePictures::builtIn(name);
    if (!picture.isNull())
        return picture.size() == size ? picture : picture.scaled(size);
    // Without the built-in picture: a diamond in the block's state colour.
    QPixmap drawn(size);
    drawn.fill(Qt::transparent);
    QPainter p(&drawn);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255), 1));
    p.setBrush(complete ? QColor(0, 128, 64) : QColor(160, 40, 120));
    const double w = size.width() - 1;
    const double h = size.height() - 1;
    const QPointF diamond[] = {{w / 2, 0}, {w, h / 2}, {w / 2, h}, {0, h / 2}};
    p.drawPolygon(diamond, 4);
    return drawn;
}

// Whether a branch caption at its place would lie over a box.
bool coversABox(const QRectF &r, const FlowchartScene &scene, const Scale &s)
{
    const auto over = [&](const TwipsRect &box) { return s.rect(box).intersects(r); };
    return std::any_of(scene.boxes.begin(), scene.boxes.end(), [&](const BlockBox &b) { return over(b.rect); })
        || (scene.startBoxVisible && over(scene.geometry.startBox())) || over(scene.geometry.endBox());
}

// On paper the connectors keep their two colours, darkened so that they print clearly.
QColor paperLineColour(std::uint32_t colour)
{
    return colour == ConnectorOlive ? QColor(120, 80, 0) : QColor(0, 100, 0);
}

void paintConnectorLines(QPainter &painter, const FlowchartScene &scene, const Scale &s, FlowchartStyle style)
{
    const bool paper = style == FlowchartStyle::Paper;
    for (const ConnectorItem &item : scene.connectors) {
        if (item.type != ConnectorItem::Type::Line)
            continue;
        painter.setPen(QPen(paper ? paperLineColour(item.colour) : colourOf(item.colour), paper ? 1 : 0));
        painter.drawLine(s.point(item.x1, item.y1), s.point(item.x2, item.y2));
    }
}

// The branch captions stay where their lines put them, beside the line they name. One that
// would lie over a box is drawn in front of it on a patch of the ground's colour, so that it
// is read with its own line and never taken for a caption of that box. On paper they are
// small, and one that would cover a box or an earlier caption moves along its line, a line's
// height at a time, to the nearest free place.
void paintBranchCaptions(QPainter &painter, const FlowchartScene &scene, const Scale &s, FlowchartStyle style)
{
    const bool paper = style == FlowchartStyle::Paper;
    painter.setFont(fontOfPixels(paper ? 10 : 12, scene.geometry.twipsY));
    const QFontMetricsF fm(painter.font());
    painter.setPen(paper ? Qt::black : Qt::white);
    std::vector<QRectF> captions;
    const auto free = [&](const QRectF &r) {
        return !coversABox(r, scene, s)
            && std::none_of(captions.begin(), captions.end(), [&](const QRectF &c) { return c.intersects(r); });
    };
    for (const ConnectorItem &item : scene.connectors) {
        if (item.type == ConnectorItem::Type::Line)
            continue;
        const QString text = QString::fromStdString(item.text);
        QRectF placed(s.point(item.x1, item.y1), QSizeF(fm.horizontalAdvance(text), fm.height()));
        if (paper && !free(placed)) {
            for (int step = 1; step <= 6; ++step) {
                const double dy = fm.height() * ((step + 1) / 2) * (step % 2 ? 1 : -1);
                if (const QRectF moved = placed.translated(0, dy); free(moved)) {
                    placed = moved;
                    break;
                }
            }
        }
        if (coversABox(placed, scene, s))
            painter.fillRect(placed.adjusted(-1, 0, 1, 0), paper ? Qt::white : Qt::black);
        painter.drawText(placed, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
        captions.push_back(placed);
    }
}

void paintEndBoxes(QPainter &painter, const FlowchartScene &scene, const Scale &s, FlowchartStyle style)
{
    const CanvasGeometry &g = scene.geometry;
    painter.setFont(fontOfPixels(15, g.twipsY));
    auto paintBox = [&](const TwipsRect &box, const QString &caption) {
        const QRectF r = s.rect(box);
        if (style == FlowchartStyle::Paper) {
            painter.setPen(QPen(Qt::black, 1));
            painter.setBrush(Qt::white);
            painter.drawEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawText(r, Qt::AlignCenter, caption);
            return;
        }
        if (scene.ovalsVisible) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(colourOf(StartEndColour));
            painter.drawEllipse(r.adjusted(0, 0, -1, -1));
            painter.setBrush(Qt::NoBrush);
        }
        painter.setPen(scene.ovalsVisible ? Qt::black : Qt::white);
        painter.drawText(r, Qt::AlignCenter, caption);
    };
    if (scene.startBoxVisible)
        paintBox(g.startBox(), QStringLiteral("開始"));
    paintBox(g.endBox(), QStringLiteral("終了"));
}

// The lines of a block in words inside a box on paper: the name on the first line and the
// operands below it, broken once more where they do not fit, in the largest font that fits.
FittedCaption fitWords(const QString &words, const QSizeF &box, const QFont &base, int largestPixels)
{
    const qsizetype space = words.indexOf(QLatin1Char(' '));
    const QString name = space < 0 ? words : words.left(space);
    const QString operands = space < 0 ? QString() : words.mid(space + 1);
    QFont font = base;
    FittedCaption fitted;
    for (int pixels = largestPixels; pixels >= 4; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetricsF fm(font);
        QStringList lines{name};
        if (!operands.isEmpty())
            lines << operands;
        auto fits = [&](const QStringList &ls) {
            return ls.size() * fm.height() <= box.height()
                && std::all_of(ls.begin(), ls.end(), [&](const QString &l) { return fm.horizontalAdvance(l) <= box.width(); });
        };
        if (!fits(lines) && !operands.isEmpty()) {
            // The operands on two lines, broken after a particle where both halves fit best.
            qsizetype best = -1;
            double bestWidest = box.width() + 1;
            for (qsizetype i = 1; i < operands.size(); ++i) {
                const double widest = std::max(fm.horizontalAdvance(operands.left(i)), fm.horizontalAdvance(operands.mid(i)));
                const bool afterParticle = QStringLiteral("をにのへら ").contains(operands[i - 1]);
                if (widest <= box.width() && (afterParticle ? widest - 3 : widest) < bestWidest) {
                    best = i;
                    bestWidest = afterParticle ? widest - 3 : widest;
                }
            }
            if (best > 0)
                lines = QStringList{name, operands.left(best).trimmed(), operands.mid(best).trimmed()};
        }
        fitted = {font, lines};
        if (fits(lines))
            break;
    }
    return fitted;
}

void paintPaperBlockBoxes(QPainter &painter, const FlowchartScene &scene, const Scale &s)
{
    const QFont font = fontOfPixels(12, scene.geometry.twipsY);
    auto textOf = [](const BlockBox &box) { return QString::fromStdString(box.words.empty() ? box.caption : box.words); };
    auto areaOf = [&](const BlockBox &box) {
        const QRectF r = s.rect(box.rect).adjusted(0.5, 0.5, -0.5, -0.5);
        const double indent = box.branch ? 5 : CaptionIndent;
        return r.adjusted(indent, 0, -indent, 0);
    };
    // Every box in the same size of type: the largest that lets the longest text fit.
    int pixels = 11;
    for (const BlockBox &box : scene.boxes)
        pixels = std::min(pixels, fitWords(textOf(box), areaOf(box).size(), font, pixels).font.pixelSize());
    for (const BlockBox &box : scene.boxes) {
        const QRectF r = s.rect(box.rect).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        if (box.branch) {
            // A decision: a box with pointed ends.
            const double tip = std::min(6.0, r.width() / 4);
            const QPointF shape[] = {{r.left() + tip, r.top()}, {r.right() - tip, r.top()}, {r.right(), r.center().y()},
                                     {r.right() - tip, r.bottom()}, {r.left() + tip, r.bottom()}, {r.left(), r.center().y()}};
            painter.drawPolygon(shape, 6);
        } else {
            painter.drawRect(r);
        }
        painter.setBrush(Qt::NoBrush);
        const QRectF area = areaOf(box);
        const FittedCaption fitted = fitWords(textOf(box), area.size(), font, pixels);
        painter.setFont(fitted.font);
        const QFontMetricsF fm(fitted.font);
        const double top = r.center().y() - fitted.lines.size() * fm.height() / 2;
        for (qsizetype i = 0; i < fitted.lines.size(); ++i)
            painter.drawText(QRectF(area.left(), top + i * fm.height(), area.width(), fm.height()),
                             Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, fitted.lines[i]);
    }
}

void paintBlockBoxes(QPainter &painter, const FlowchartScene &scene, const Scale &s)
{
    const QFont font = fontOfPixels(12, scene.geometry.twipsY);
    const int pixels = 12;
    for (const BlockBox &box : scene.boxes) {
        const QRectF r = s.rect(box.rect);
        if (box.branch) {
            painter.drawPixmap(r.topLeft(), branchMarker(box.complete, r.size().toSize()));
            painter.setPen(colourOf(BranchTextColour));
        } else {
            painter.fillRect(r, colourOf(box.complete ? CompleteBoxColour : IncompleteBoxColour));
            painter.setPen(Qt::black);
        }
        // The whole caption stays readable inside the box: a smaller font or two lines where needed.
        const QRectF area = r.adjusted(CaptionIndent, 0, -1, 0);
        drawFittedCaption(painter, r, fitCaption(QString::fromStdString(box.caption), area.size(), font, pixels), CaptionIndent);
    }
}

// The run view's path: the links just taken, broad and bright under the boxes.
void paintPath(QPainter &painter, const std::vector<ConnectorItem> &path, const Scale &s)
{
    painter.setPen(QPen(PathColour, 3, Qt::SolidLine, Qt::RoundCap));
    for (const ConnectorItem &item : path)
        if (item.type == ConnectorItem::Type::Line)
            painter.drawLine(s.point(item.x1, item.y1), s.point(item.x2, item.y2));
}

// A frame a few pixels outside a box, so the box's caption stays readable.
void paintBoxFrame(QPainter &painter, const QRectF &box, const QPen &pen)
{
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(-3, -3, 2, 2));
}

void paintRunMarks(QPainter &painter, const FlowchartScene &scene, const FlowchartMarks &marks, const Scale &s)
{
    if (marks.stopped)
        paintBoxFrame(painter, s.rect(*marks.stopped), QPen(StoppedColour, 3));
    if (marks.running)
        paintBoxFrame(painter, s.rect(*marks.running), QPen(PathColour, 4));
    if (marks.next) {
        const QRectF r = s.rect(*marks.next);
        paintBoxFrame(painter, r, QPen(NextColour, 2, Qt::DashLine));
        // "▼" beside the box: the block the button runs next.
        painter.setPen(NextColour);
        painter.setFont(fontOfPixels(12, scene.geometry.twipsY));
        painter.drawText(QRectF(r.right() + 4, r.top(), 16, r.height()), Qt::AlignCenter, QStringLiteral("▼"));
    }
}

} // namespace

void paintFlowchart(QPainter &painter, const FlowchartScene &scene, const FlowchartMarks &marks, FlowchartStyle style)
{
    const CanvasGeometry &g = scene.geometry;
    const Scale s{static_cast<double>(g.twipsX), static_cast<double>(g.twipsY)};
    const bool paper = style == FlowchartStyle::Paper;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, paper);
    painter.fillRect(QRectF(0, 0, CanvasGeometry::WidthPx, CanvasGeometry::HeightPx), paper ? Qt::white : Qt::black);
    if (!scene.notice.empty()) {
        painter.setFont(fontOfPixels(15, g.twipsY));
        painter.setPen(paper ? Qt::black : Qt::white);
        // The notice is wider than the canvas in its font: it wraps rather than being cut off.
        painter.drawText(QRectF(5, 5, CanvasGeometry::WidthPx - 10, 120), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         QString::fromStdString(scene.notice));
    }
    paintConnectorLines(painter, scene, s, style);
    paintPath(painter, marks.path, s);
    paintEndBoxes(painter, scene, s, style);
    if (paper)
        paintPaperBlockBoxes(painter, scene, s);
    else
        paintBlockBoxes(painter, scene, s);
    paintBranchCaptions(painter, scene, s, style);
    paintRunMarks(painter, scene, marks, s);
    painter.setBrush(Qt::NoBrush);
    if (marks.targetCell) {
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.drawRect(s.rect(*marks.targetCell).adjusted(0, 0, -1, -1));
    }
    if (marks.outline) {
        painter.setPen(QPen(QColor(255, 0, 0), 1));
        painter.drawRect(s.rect(*marks.outline).adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

bool writeFlowchartPicture(const FlowchartScene &scene, const QString &path, QString *error)
{
    const QSize size(CanvasGeometry::WidthPx, CanvasGeometry::HeightPx);
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("%1 に保存できませんでした（%2）").arg(path, why);
        return false;
    };
    // The picture is made in memory and replaces an older file in one step.
    QByteArray bytes;
    QBuffer file(&bytes);
    file.open(QIODevice::WriteOnly);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("pdf")) {
        QPdfWriter pdf(&file);
        pdf.setResolution(ScreenDpi);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / ScreenDpi, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setCreator(QStringLiteral("ジハンコウボウ"));
        QPainter painter;
        if (!painter.begin(&pdf))
            return fail(QStringLiteral("PDF を作れません"));
        paintFlowchart(painter, scene);
        painter.end();
    } else {
        QImage image(size, QImage::Format_RGB32);
        const int dotsPerMeter = qRound(ScreenDpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        {
            QPainter painter(&image);
            paintFlowchart(painter, scene);
        }
        const QByteArray format = suffix.isEmpty() ? QByteArray("png") : suffix.toLatin1();
        QImageWriter writer(&file, format);
        if (!writer.write(image))
            return fail(writer.errorString());
    }
    if (const QString failure = writeOutputFile(path, bytes); !failure.isEmpty())
        return fail(failure);
    return true;
}

} // namespace jhk
