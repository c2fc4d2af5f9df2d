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

void paintConnectorLines(QPainter &painter, const FlowchartScene &scene, const Scale &s)
{
    for (const ConnectorItem &item : scene.connectors) {
        if (item.type != ConnectorItem::Type::Line)
            continue;
        painter.setPen(QPen(colourOf(item.colour), 0));
        painter.drawLine(s.point(item.x1, item.y1), s.point(item.x2, item.y2));
    }
}

// The branch captions stay where their lines put them, beside the line they name. One that
// would lie over a box is drawn in front of it on a patch of the ground's colour, so that it
// is read with its own line and never taken for a caption of that box.
void paintBranchCaptions(QPainter &painter, const FlowchartScene &scene, const Scale &s)
{
    painter.setFont(fontOfPixels(12, scene.geometry.twipsY));
    const QFontMetricsF fm(painter.font());
    painter.setPen(Qt::white);
    for (const ConnectorItem &item : scene.connectors) {
        if (item.type == ConnectorItem::Type::Line)
            continue;
        const QString text = QString::fromStdString(item.text);
        const QRectF placed(s.point(item.x1, item.y1), QSizeF(fm.horizontalAdvance(text), fm.height()));
        if (coversABox(placed, scene, s))
            painter.fillRect(placed.adjusted(-1, 0, 1, 0), Qt::black);
        painter.drawText(placed, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    }
}

void paintEndBoxes(QPainter &painter, const FlowchartScene &scene, const Scale &s)
{
    const CanvasGeometry &g = scene.geometry;
    painter.setFont(fontOfPixels(15, g.twipsY));
    auto paintBox = [&](const TwipsRect &box, const QString &caption) {
        const QRectF r = s.rect(box);
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

void paintFlowchart(QPainter &painter, const FlowchartScene &scene, const FlowchartMarks &marks)
{
    const CanvasGeometry &g = scene.geometry;
    const Scale s{static_cast<double>(g.twipsX), static_cast<double>(g.twipsY)};
    painter.save();
    painter.fillRect(QRectF(0, 0, CanvasGeometry::WidthPx, CanvasGeometry::HeightPx), Qt::black);
    if (!scene.notice.empty()) {
        painter.setFont(fontOfPixels(15, g.twipsY));
        painter.setPen(Qt::white);
        // The notice is wider than the canvas in its font: it wraps rather than being cut off.
        painter.drawText(QRectF(5, 5, CanvasGeometry::WidthPx - 10, 120), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         QString::fromStdString(scene.notice));
    }
    paintConnectorLines(painter, scene, s);
    paintPath(painter, marks.path, s);
    paintEndBoxes(painter, scene, s);
    paintBlockBoxes(painter, scene, s);
    paintBranchCaptions(painter, scene, s);
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
