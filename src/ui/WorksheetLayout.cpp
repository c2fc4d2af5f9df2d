#include "ui/WorksheetLayout.h"

#include "model/Kinds.h"
#include "model/Records.h"
#include "rules/CanvasGeometry.h"
#include "rules/Connectors.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace jhk {

using namespace worksheet;

namespace {

constexpr double ColumnGap = 12 * PixelsPerMm; // room for a branch's side exit and its caption
constexpr double RowGap = 9 * PixelsPerMm;     // room for an arrow and its caption
constexpr double PadX = 2 * PixelsPerMm;
constexpr double PadY = 1.5 * PixelsPerMm;
constexpr double BranchTip = 3 * PixelsPerMm;
constexpr double WidestBox = 70 * PixelsPerMm;
constexpr double OvalWidth = 30 * PixelsPerMm;
constexpr double OvalHeight = 10 * PixelsPerMm;
constexpr double LineSpacing = 1.3;
constexpr double CaptionGap = 1 * PixelsPerMm;
// The links are worked out by the canvas's rules in whole units, a quarter pixel each here.
constexpr int Units = 4;
constexpr double SideExitPixels = 1.25; // the side exit is 20 of these: 25 px, under 7 mm
constexpr double ArrowWingMm = 3;

QFont fontOfPixels(int pixels)
{
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(pixels);
    return font;
}

// A character of a box's words, or a whole blank; a line may break before it when
// `breakBefore` (before a blank, after a particle or a space).
struct Atom {
    QString text;
    bool blank = false;
    double width = 0;
    bool breakBefore = false;
};

using AtomLine = std::vector<Atom>;

// Measures and breaks the words of the boxes.
class Typesetter {
public:
    Typesetter()
        : m_font(fontOfPixels(TextPixels)), m_fm(m_font), m_open(m_fm.boundingRect(QChar(0xFF08))),
          m_close(m_fm.boundingRect(QChar(0xFF09)))
    {
    }

    double lineStep() const { return m_fm.height() * LineSpacing; }
    // A blank: "（" and "）" whole on either side of the room, without their outer margins.
    double openWidth() const { return m_fm.horizontalAdvance(QChar(0xFF08)) - m_open.left(); }
    double blankWidth() const { return openWidth() + BlankMm * PixelsPerMm + m_close.right(); }
    const QFontMetricsF &metrics() const { return m_fm; }

    std::vector<Atom> atoms(const QString &words) const
    {
        const QString blank = QString::fromUtf8(BlankOperand);
        std::vector<Atom> out;
        for (qsizetype i = 0; i < words.size();) {
            if (words.mid(i, blank.size()) == blank) {
                // A blank stays with an opening bracket before it.
                out.push_back({blank, true, blankWidth(), out.empty() || out.back().text != QLatin1String("(")});
                i += blank.size();
                continue;
            }
            const QString c = words.mid(i, words[i].isHighSurrogate() ? 2 : 1);
            const bool afterParticle = !out.empty() && !out.back().blank
                && QStringLiteral("をにのへら、 ").contains(out.back().text);
            out.push_back({c, false, m_fm.horizontalAdvance(c), afterParticle});
            i += c.size();
        }
        return out;
    }

    // Lines no wider than `width`: whole pieces between two places a line may break where
    // they fit, a piece wider than a line broken between any two characters.
    static std::vector<AtomLine> wrap(const std::vector<Atom> &atoms, double width)
    {
        std::vector<AtomLine> pieces;
        for (const Atom &a : atoms) {
            if (pieces.empty() || a.breakBefore)
                pieces.emplace_back();
            pieces.back().push_back(a);
        }
        std::vector<AtomLine> lines;
        AtomLine line;
        double used = 0;
        const auto add = [&](const Atom &a) {
            if (line.empty() && a.text == QLatin1String(" "))
                return;
            line.push_back(a);
            used += a.width;
        };
        const auto flush = [&] {
            while (!line.empty() && line.back().text == QLatin1String(" "))
                line.pop_back();
            if (!line.empty())
                lines.push_back(line);
            line.clear();
            used = 0;
        };
        for (const AtomLine &piece : pieces) {
            double w = 0;
            for (const Atom &a : piece)
                w += a.width;
            if (!line.empty() && used + w > width)
                flush();
            for (const Atom &a : piece) {
                if (!line.empty() && used + a.width > width)
                    flush();
                add(a);
            }
        }
        flush();
        return lines;
    }

    // The runs of one line centred on `centreX`, its top at `top`.
    void place(const AtomLine &line, double centreX, double top, std::vector<WorksheetRun> &out) const
    {
        std::vector<WorksheetRun> runs;
        for (const Atom &a : line) {
            if (!a.blank && !runs.empty() && runs.back().room.isNull())
                runs.back().text += a.text;
            else
                runs.push_back({a.text, {}, a.blank ? QRectF(0, 0, 1, 1) : QRectF()});
        }
        double width = 0;
        for (WorksheetRun &r : runs) {
            r.rect.setWidth(r.room.isNull() ? m_fm.horizontalAdvance(r.text) : blankWidth());
            width += r.rect.width();
        }
        double x = centreX - width / 2;
        for (WorksheetRun &r : runs) {
            r.rect = QRectF(x, top, r.rect.width(), lineStep());
            if (!r.room.isNull())
                r.room = QRectF(x + openWidth(), top, BlankMm * PixelsPerMm, lineStep());
            x += r.rect.width();
            out.push_back(r);
        }
    }

private:
    QFont m_font;
    QFontMetricsF m_fm;
    QRectF m_open;  // the ink of "（"
    QRectF m_close; // the ink of "）"
};

struct Cell {
    int column = 0;
    int row = 0;
};

TwipsRect units(const QRectF &r)
{
    return {static_cast<int>(std::lround(r.left() * Units)), static_cast<int>(std::lround(r.top() * Units)),
            static_cast<int>(std::lround(r.width() * Units)), static_cast<int>(std::lround(r.height() * Units))};
}

QColor paperLineColour(std::uint32_t colour)
{
    return colour == ConnectorOlive ? QColor(120, 80, 0) : QColor(0, 100, 0);
}

bool crosses(const QLineF &line, const QRectF &r)
{
    if (r.contains(line.p1()) || r.contains(line.p2()))
        return true;
    const QLineF edges[] = {{r.topLeft(), r.topRight()}, {r.topRight(), r.bottomRight()},
                            {r.bottomRight(), r.bottomLeft()}, {r.bottomLeft(), r.topLeft()}};
    return std::any_of(std::begin(edges), std::end(edges),
                       [&](const QLineF &e) { return line.intersects(e, nullptr) == QLineF::BoundedIntersection; });
}

// Places each exit's caption beside its own line: the first place along it, near its branch
// first, that covers no box, no other caption, no cut between pages and, where there is
// one, no other line.
void placeCaptions(WorksheetFlowchart &f, const std::vector<std::pair<QString, std::size_t>> &captions)
{
    const QFontMetricsF fm(fontOfPixels(CaptionPixels));
    std::vector<QRectF> solid{f.start, f.end};
    for (const WorksheetBox &b : f.boxes)
        solid.push_back(b.rect);
    const auto freeOf = [&](const QRectF &r, std::size_t own, bool linesToo) {
        const QRectF around = r.adjusted(-1, -1, 1, 1);
        if (r.left() < 0 || r.top() < 0 || r.right() > f.size.width() || r.bottom() > f.size.height())
            return false;
        if (std::any_of(solid.begin(), solid.end(), [&](const QRectF &s) { return s.intersects(around); }))
            return false;
        if (std::any_of(f.captions.begin(), f.captions.end(), [&](const WorksheetLabel &c) { return c.rect.intersects(around); }))
            return false;
        if (std::any_of(f.cuts.begin(), f.cuts.end(), [&](double y) { return around.top() < y && y < around.bottom(); }))
            return false;
        if (!linesToo)
            return true;
        for (std::size_t i = 0; i < f.lines.size(); ++i)
            if (i != own && crosses(f.lines[i].line, around))
                return false;
        return true;
    };
    for (const auto &[text, own] : captions) {
        const QLineF line = f.lines[own].line;
        const QSizeF size(fm.horizontalAdvance(text), fm.height());
        const bool across = std::abs(line.dx()) > std::abs(line.dy());
        std::vector<QRectF> candidates;
        for (const double t : {0.25, 0.5, 0.15, 0.4, 0.65, 0.8, 0.1, 0.9}) {
            const QPointF p = line.pointAt(t);
            if (across) {
                candidates.emplace_back(QPointF(p.x() - size.width() / 2, p.y() - CaptionGap - size.height()), size);
                candidates.emplace_back(QPointF(p.x() - size.width() / 2, p.y() + CaptionGap), size);
            }
            candidates.emplace_back(QPointF(p.x() + CaptionGap, p.y() - size.height() / 2), size);
            candidates.emplace_back(QPointF(p.x() - CaptionGap - size.width(), p.y() - size.height() / 2), size);
        }
        QRectF chosen = candidates.front();
        bool found = false;
        for (const bool linesToo : {true, false}) {
            for (const QRectF &c : candidates)
                if (!found && freeOf(c, own, linesToo)) {
                    chosen = c;
                    found = true;
                }
        }
        f.captions.push_back({text, chosen});
    }
}

// Cuts a flowchart taller than a page between two rows, and marks each line across a cut.
void cutIntoPages(WorksheetFlowchart &f, const std::vector<std::pair<double, double>> &rows, double pageHeight,
                  const std::vector<bool> &wing)
{
    double pageTop = 0;
    double previousBottom = 0;
    for (const auto &[top, bottom] : rows) {
        if (bottom - pageTop > pageHeight && top > pageTop) {
            const double cut = (previousBottom + top) / 2;
            f.cuts.push_back(cut);
            pageTop = cut;
        }
        previousBottom = bottom;
    }
    int letter = 0;
    for (std::size_t i = 0; i < f.lines.size(); ++i) {
        const QLineF &l = f.lines[i].line;
        for (std::size_t c = 0; c < f.cuts.size() && !wing[i]; ++c) {
            const double y = f.cuts[c];
            if (std::min(l.y1(), l.y2()) < y && y < std::max(l.y1(), l.y2())) {
                const double x = l.x1() + (l.x2() - l.x1()) * (y - l.y1()) / (l.y2() - l.y1());
                QString name(QChar(u'Ａ' + letter % 26));
                if (letter >= 26)
                    name += QString::number(letter / 26 + 1);
                f.marks.push_back({name, QPointF(x, y), static_cast<int>(c)});
                ++letter;
            }
        }
    }
}

} // namespace

WorksheetFlowchart layoutWorksheetFlowchart(const PartsRecord &part, OperandStyle style, double width,
                                            double pageHeight)
{
    const Typesetter type;
    const CanvasGeometry canvas;
    WorksheetFlowchart f;

    // The cell each block stands in on the canvas (a block off a cell's corner: the nearest).
    std::map<int, Cell> cells;
    for (int i = 0; i < BlockSlots; ++i) {
        const BlockRecord &b = part.Blocks[static_cast<std::size_t>(i)];
        if (b.isUsed())
            cells[i] = {static_cast<int>(std::lround(static_cast<double>(b.X) / canvas.columnWidth())),
                        static_cast<int>(std::lround(static_cast<double>(b.Y) / canvas.rowHeight()))};
    }
    const auto occupied = [&](int column, int row) {
        return std::any_of(cells.begin(), cells.end(), [&](const auto &c) { return c.second.column == column && c.second.row == row; });
    };
    // The start box stays in the top-left cell and the end box in the last row's, unless a
    // block stands there: then they get a row of their own above or below it.
    int startRow = 0;
    while (occupied(0, startRow))
        --startRow;
    int endRow = canvas.rowOf(canvas.endBox().top);
    while (occupied(0, endRow))
        ++endRow;

    std::set<int> columns{0};
    std::set<int> rows{startRow, endRow};
    for (const auto &[slot, cell] : cells) {
        columns.insert(cell.column);
        rows.insert(cell.row);
    }
    const double pitch = std::min(width / static_cast<double>(columns.size()), WidestBox + ColumnGap);
    const double boxWidth = pitch - ColumnGap;
    std::map<int, double> left;
    for (const int c : columns)
        left[c] = static_cast<double>(left.size()) * pitch;

    // Each box's words in lines: the block's name, then its operands.
    std::map<int, std::vector<AtomLine>> words;
    std::map<int, double> rowHeight;
    for (const int r : rows)
        rowHeight[r] = OvalHeight;
    for (const auto &[slot, cell] : cells) {
        const BlockRecord &b = part.Blocks[static_cast<std::size_t>(slot)];
        const double inner = boxWidth - 2 * PadX - (b.Kind == BlockBranch ? 2 * BranchTip : 0);
        const QString all = QString::fromStdString(blockInWords(b, style));
        const qsizetype space = all.indexOf(QLatin1Char(' '));
        std::vector<AtomLine> lines = Typesetter::wrap(type.atoms(space < 0 ? all : all.left(space)), inner);
        if (space >= 0)
            for (AtomLine &l : Typesetter::wrap(type.atoms(all.mid(space + 1)), inner))
                lines.push_back(std::move(l));
        rowHeight[cell.row] = std::max(rowHeight[cell.row], static_cast<double>(lines.size()) * type.lineStep() + 2 * PadY);
        words[slot] = std::move(lines);
    }
    std::map<int, double> top;
    std::vector<std::pair<double, double>> rowSpans;
    double y = 0;
    for (const int r : rows) {
        top[r] = y;
        rowSpans.emplace_back(y, y + rowHeight[r]);
        y += rowHeight[r] + RowGap;
    }
    f.size = QSizeF(left[*columns.rbegin()] + pitch, y - RowGap + 1);

    const auto oval = [&](int row) {
        const double w = std::min(OvalWidth, boxWidth);
        return QRectF((boxWidth - w) / 2, top[row] + (rowHeight[row] - OvalHeight) / 2, w, OvalHeight);
    };
    f.start = oval(startRow);
    f.end = oval(endRow);
    BoxPlaces places{units(f.start), units(f.end), std::vector<TwipsRect>(BlockSlots),
                     static_cast<int>(std::lround(SideExitPixels * Units)),
                     static_cast<int>(std::lround(ArrowWingMm * PixelsPerMm * Units))};
    for (const auto &[slot, cell] : cells) {
        WorksheetBox box;
        box.slot = slot;
        box.branch = part.Blocks[static_cast<std::size_t>(slot)].Kind == BlockBranch;
        box.rect = QRectF(left[cell.column], top[cell.row], boxWidth, rowHeight[cell.row]);
        const std::vector<AtomLine> &lines = words[slot];
        const double first = box.rect.center().y() - static_cast<double>(lines.size()) * type.lineStep() / 2;
        for (std::size_t i = 0; i < lines.size(); ++i)
            type.place(lines[i], box.rect.center().x(), first + static_cast<double>(i) * type.lineStep(), box.runs);
        places.blocks[static_cast<std::size_t>(slot)] = units(box.rect);
        f.boxes.push_back(std::move(box));
    }

    // The links as the canvas draws them, between the boxes' places on paper. Arrowheads come
    // as two wings from the same tip.
    std::vector<std::pair<QString, std::size_t>> captions;
    std::vector<bool> wing;
    const std::vector<ConnectorItem> items = connectorDrawing(part, places);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ConnectorItem &item = items[i];
        if (item.type == ConnectorItem::Type::Text) {
            if (!f.lines.empty())
                captions.emplace_back(QString::fromStdString(item.text), f.lines.size() - 1);
            continue;
        }
        const auto sameStart = [&](std::size_t j) {
            return j < items.size() && items[j].type == ConnectorItem::Type::Line && items[j].x1 == item.x1
                && items[j].y1 == item.y1;
        };
        wing.push_back(sameStart(i + 1) || (i > 0 && sameStart(i - 1) && wing.back()));
        const QLineF line(QPointF(item.x1, item.y1) / Units, QPointF(item.x2, item.y2) / Units);
        f.lines.push_back({line, paperLineColour(item.colour)});
    }
    cutIntoPages(f, rowSpans, pageHeight, wing);
    placeCaptions(f, captions);
    return f;
}

void paintWorksheetFlowchart(QPainter &painter, const WorksheetFlowchart &f, int page)
{
    const double top = f.sliceTop(page);
    const double bottom = f.sliceBottom(page);
    const QFont text = fontOfPixels(TextPixels);
    const QFontMetricsF fm(text);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0, -top);
    painter.save();
    painter.setClipRect(QRectF(-PixelsPerMm, top, f.size.width() + 2 * PixelsPerMm, bottom - top));
    for (const WorksheetLine &l : f.lines) {
        painter.setPen(QPen(l.colour, 1.2));
        painter.drawLine(l.line);
    }
    // Only what stands on this page is drawn: text cut away by the clip would still be read
    // out of the file.
    const auto onPage = [&](const QRectF &r) { return r.bottom() > top && r.top() < bottom; };
    painter.setFont(text);
    for (const auto &[box, caption] : {std::pair{f.start, "開始"}, std::pair{f.end, "終了"}}) {
        if (!onPage(box))
            continue;
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        painter.drawEllipse(box);
        painter.drawText(box, Qt::AlignCenter, QString::fromUtf8(caption));
    }
    for (const WorksheetBox &box : f.boxes) {
        const QRectF r = box.rect;
        if (!onPage(r))
            continue;
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        if (box.branch) {
            // A decision: a box with pointed ends.
            const double tip = BranchTip;
            const QPointF shape[] = {{r.left() + tip, r.top()}, {r.right() - tip, r.top()}, {r.right(), r.center().y()},
                                     {r.right() - tip, r.bottom()}, {r.left() + tip, r.bottom()}, {r.left(), r.center().y()}};
            painter.drawPolygon(shape, 6);
        } else {
            painter.drawRect(r);
        }
        for (const WorksheetRun &run : box.runs) {
            const double baseline = run.rect.top() + (run.rect.height() - fm.height()) / 2 + fm.ascent();
            if (run.room.isNull()) {
                painter.drawText(QPointF(run.rect.left(), baseline), run.text);
                continue;
            }
            // The brackets just outside the room a pupil writes in.
            painter.drawText(QPointF(run.room.left() - fm.horizontalAdvance(QChar(0xFF08)), baseline), QString(QChar(0xFF08)));
            painter.drawText(QPointF(run.room.right(), baseline), QString(QChar(0xFF09)));
        }
    }
    painter.setFont(fontOfPixels(CaptionPixels));
    painter.setPen(Qt::black);
    for (const WorksheetLabel &c : f.captions)
        if (onPage(c.rect))
            painter.drawText(c.rect, Qt::AlignCenter | Qt::TextDontClip, c.text);
    painter.restore();

    // The letters where lines go on to the page before or after this one.
    const double radius = CutMarkRadiusMm * PixelsPerMm;
    painter.setFont(fontOfPixels(CaptionPixels));
    for (const WorksheetCutMark &m : f.marks) {
        if (m.cut != page && m.cut != page - 1)
            continue;
        const QRectF circle(m.at - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius));
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        painter.drawEllipse(circle);
        painter.drawText(circle, Qt::AlignCenter, m.letter);
    }
    painter.restore();
}

} // namespace jhk
