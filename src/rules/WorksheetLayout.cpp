#include "rules/WorksheetLayout.h"

#include "document/Utf8.h"
#include "model/Kinds.h"
#include "model/Records.h"
#include "rules/CanvasGeometry.h"
#include "rules/Connectors.h"

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
constexpr double LinePen = 1.2;
constexpr std::uint32_t Black = 0x000000;
constexpr const char *OpenBracket = "（";
constexpr const char *CloseBracket = "）";

PaperFont fontOfPixels(int pixels)
{
    return {Face, pixels, false};
}

// A character of a box's words, or a whole blank; a line may break before it when
// `breakBefore` (before a blank, after a particle or a space).
struct Atom {
    std::string text;
    bool blank = false;
    double width = 0;
    bool breakBefore = false;
};

using AtomLine = std::vector<Atom>;

// Measures and breaks the words of the boxes.
class Typesetter {
public:
    explicit Typesetter(const PaperMeasure &measure)
        : m_measure(measure), m_font(fontOfPixels(TextPixels)), m_fm(measure.metrics(m_font)),
          m_open(measure.ink(OpenBracket, m_font)), m_close(measure.ink(CloseBracket, m_font))
    {
    }

    double lineStep() const { return m_fm.height * LineSpacing; }
    // A blank: "（" and "）" whole on either side of the room, without their outer margins.
    double openWidth() const { return advance(OpenBracket) - m_open.left; }
    double blankWidth() const { return openWidth() + BlankMm * PixelsPerMm + m_close.right; }
    double advance(std::string_view text) const { return m_measure.advance(text, m_font); }

    std::vector<Atom> atoms(std::string_view words) const
    {
        const std::string_view blank = BlankOperand;
        std::vector<Atom> out;
        for (std::size_t i = 0; i < words.size();) {
            if (words.substr(i, blank.size()) == blank) {
                // A blank stays with an opening bracket before it.
                out.push_back({std::string(blank), true, blankWidth(), out.empty() || out.back().text != "("});
                i += blank.size();
                continue;
            }
            const std::string c(words.substr(i, utf8Length(words[i])));
            const bool afterParticle = !out.empty() && !out.back().blank
                && std::string_view("をにのへら、 ").find(out.back().text) != std::string_view::npos;
            out.push_back({c, false, advance(c), afterParticle});
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
            if (line.empty() && a.text == " ")
                return;
            line.push_back(a);
            used += a.width;
        };
        const auto flush = [&] {
            while (!line.empty() && line.back().text == " ")
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
            if (!a.blank && !runs.empty() && !runs.back().blank)
                runs.back().text += a.text;
            else
                runs.push_back({a.text, {}, a.blank, {}});
        }
        double width = 0;
        for (WorksheetRun &r : runs) {
            r.rect.w = r.blank ? blankWidth() : advance(r.text);
            width += r.rect.w;
        }
        double x = centreX - width / 2;
        for (WorksheetRun &r : runs) {
            r.rect = {x, top, r.rect.w, lineStep()};
            if (r.blank)
                r.room = {x + openWidth(), top, BlankMm * PixelsPerMm, lineStep()};
            x += r.rect.w;
            out.push_back(r);
        }
    }

private:
    const PaperMeasure &m_measure;
    PaperFont m_font;
    PaperMeasure::Metrics m_fm;
    PaperMeasure::Ink m_open;  // the ink of "（"
    PaperMeasure::Ink m_close; // the ink of "）"
};

struct Cell {
    int column = 0;
    int row = 0;
};

TwipsRect units(const PaperRect &r)
{
    return {static_cast<int>(std::lround(r.x * Units)), static_cast<int>(std::lround(r.y * Units)),
            static_cast<int>(std::lround(r.w * Units)), static_cast<int>(std::lround(r.h * Units))};
}

std::uint32_t paperLineColour(std::uint32_t colour)
{
    return colour == ConnectorOlive ? 0x785000 : 0x006400;
}

bool crosses(const PaperSegment &line, const PaperRect &r)
{
    if (r.contains(line.p1) || r.contains(line.p2))
        return true;
    const PaperPoint topLeft{r.x, r.y};
    const PaperPoint topRight{r.right(), r.y};
    const PaperPoint bottomRight{r.right(), r.bottom()};
    const PaperPoint bottomLeft{r.x, r.bottom()};
    const PaperSegment edges[] = {{topLeft, topRight}, {topRight, bottomRight}, {bottomRight, bottomLeft}, {bottomLeft, topLeft}};
    return std::any_of(std::begin(edges), std::end(edges), [&](const PaperSegment &e) { return line.crosses(e); });
}

// Places each exit's caption beside its own line: the first place along it, near its branch
// first, that covers no box, no other caption, no cut between pages and, where there is
// one, no other line.
void placeCaptions(WorksheetFlowchart &f, const std::vector<std::pair<std::string, std::size_t>> &captions,
                   const PaperMeasure &measure)
{
    const PaperFont font = fontOfPixels(CaptionPixels);
    const double height = measure.metrics(font).height;
    std::vector<PaperRect> solid{f.start, f.end};
    for (const WorksheetBox &b : f.boxes)
        solid.push_back(b.rect);
    const auto freeOf = [&](const PaperRect &r, std::size_t own, bool linesToo) {
        const PaperRect around = r.adjusted(-1, -1, 1, 1);
        if (r.x < 0 || r.y < 0 || r.right() > f.width || r.bottom() > f.height)
            return false;
        if (std::any_of(solid.begin(), solid.end(), [&](const PaperRect &s) { return s.intersects(around); }))
            return false;
        if (std::any_of(f.captions.begin(), f.captions.end(), [&](const WorksheetLabel &c) { return c.rect.intersects(around); }))
            return false;
        if (std::any_of(f.cuts.begin(), f.cuts.end(), [&](double y) { return around.y < y && y < around.bottom(); }))
            return false;
        if (!linesToo)
            return true;
        for (std::size_t i = 0; i < f.lines.size(); ++i)
            if (i != own && crosses(f.lines[i].line, around))
                return false;
        return true;
    };
    for (const auto &[text, own] : captions) {
        const PaperSegment line = f.lines[own].line;
        const double width = measure.advance(text, font);
        const bool across = std::abs(line.dx()) > std::abs(line.dy());
        std::vector<PaperRect> candidates;
        for (const double t : {0.25, 0.5, 0.15, 0.4, 0.65, 0.8, 0.1, 0.9}) {
            const PaperPoint p = line.pointAt(t);
            if (across) {
                candidates.push_back({p.x - width / 2, p.y - CaptionGap - height, width, height});
                candidates.push_back({p.x - width / 2, p.y + CaptionGap, width, height});
            }
            candidates.push_back({p.x + CaptionGap, p.y - height / 2, width, height});
            candidates.push_back({p.x - CaptionGap - width, p.y - height / 2, width, height});
        }
        PaperRect chosen = candidates.front();
        bool found = false;
        for (const bool linesToo : {true, false}) {
            for (const PaperRect &c : candidates)
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
        const PaperSegment &l = f.lines[i].line;
        for (std::size_t c = 0; c < f.cuts.size() && !wing[i]; ++c) {
            const double y = f.cuts[c];
            if (std::min(l.p1.y, l.p2.y) < y && y < std::max(l.p1.y, l.p2.y)) {
                const double x = l.p1.x + (l.p2.x - l.p1.x) * (y - l.p1.y) / (l.p2.y - l.p1.y);
                std::string name = utf8Of(0xFF21 + static_cast<std::uint32_t>(letter % 26)); // Ａ, Ｂ, ...
                if (letter >= 26)
                    name += std::to_string(letter / 26 + 1);
                f.marks.push_back({name, {x, y}, static_cast<int>(c)});
                ++letter;
            }
        }
    }
}

// A text centred in `r` on its line.
PaperItem centredText(const std::string &text, const PaperRect &r, const PaperFont &font, const PaperMeasure &measure)
{
    const PaperMeasure::Metrics fm = measure.metrics(font);
    PaperItem item;
    item.kind = PaperItem::Kind::Text;
    item.text = text;
    item.font = font;
    item.at = {r.x + (r.w - measure.advance(text, font)) / 2, r.y + (r.h - fm.height) / 2 + fm.ascent};
    return item;
}

PaperItem shape(PaperItem::Kind kind, const PaperRect &r)
{
    PaperItem item;
    item.kind = kind;
    item.rect = r;
    item.colour = Black;
    return item;
}

} // namespace

WorksheetFlowchart layoutWorksheetFlowchart(const PartsRecord &part, OperandStyle style, double width,
                                            double pageHeight, const PaperMeasure &measure)
{
    const Typesetter type(measure);
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
        const std::string all = blockInWords(b, style);
        const std::size_t space = all.find(' ');
        std::vector<AtomLine> lines = Typesetter::wrap(type.atoms(std::string_view(all).substr(0, space)), inner);
        if (space != std::string::npos)
            for (AtomLine &l : Typesetter::wrap(type.atoms(std::string_view(all).substr(space + 1)), inner))
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
    f.width = left[*columns.rbegin()] + pitch;
    f.height = y - RowGap + 1;

    const auto oval = [&](int row) {
        const double w = std::min(OvalWidth, boxWidth);
        return PaperRect{(boxWidth - w) / 2, top[row] + (rowHeight[row] - OvalHeight) / 2, w, OvalHeight};
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
        box.rect = {left[cell.column], top[cell.row], boxWidth, rowHeight[cell.row]};
        const std::vector<AtomLine> &lines = words[slot];
        const double first = box.rect.centre().y - static_cast<double>(lines.size()) * type.lineStep() / 2;
        for (std::size_t i = 0; i < lines.size(); ++i)
            type.place(lines[i], box.rect.centre().x, first + static_cast<double>(i) * type.lineStep(), box.runs);
        places.blocks[static_cast<std::size_t>(slot)] = units(box.rect);
        f.boxes.push_back(std::move(box));
    }

    // The links as the canvas draws them, between the boxes' places on paper. Arrowheads come
    // as two wings from the same tip.
    std::vector<std::pair<std::string, std::size_t>> captions;
    std::vector<bool> wing;
    const std::vector<ConnectorItem> items = connectorDrawing(part, places);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ConnectorItem &item = items[i];
        if (item.type == ConnectorItem::Type::Text) {
            if (!f.lines.empty())
                captions.emplace_back(item.text, f.lines.size() - 1);
            continue;
        }
        const auto sameStart = [&](std::size_t j) {
            return j < items.size() && items[j].type == ConnectorItem::Type::Line && items[j].x1 == item.x1
                && items[j].y1 == item.y1;
        };
        wing.push_back(sameStart(i + 1) || (i > 0 && sameStart(i - 1) && wing.back()));
        const PaperSegment line{{static_cast<double>(item.x1) / Units, static_cast<double>(item.y1) / Units},
                                {static_cast<double>(item.x2) / Units, static_cast<double>(item.y2) / Units}};
        f.lines.push_back({line, paperLineColour(item.colour)});
    }
    cutIntoPages(f, rowSpans, pageHeight, wing);
    placeCaptions(f, captions, measure);
    return f;
}

void drawWorksheetFlowchart(const WorksheetFlowchart &f, int page, double left, double top,
                            const PaperMeasure &measure, std::vector<PaperItem> &out)
{
    const double sliceTop = f.sliceTop(page);
    const double sliceBottom = f.sliceBottom(page);
    // Flowchart positions to the page's.
    const auto onPaper = [&](const PaperRect &r) { return PaperRect{r.x + left, r.y + top - sliceTop, r.w, r.h}; };
    const auto pointOnPaper = [&](const PaperPoint &p) { return PaperPoint{p.x + left, p.y + top - sliceTop}; };
    const PaperFont text = fontOfPixels(TextPixels);
    const PaperFont caption = fontOfPixels(CaptionPixels);
    const PaperMeasure::Metrics fm = measure.metrics(text);

    out.push_back(shape(PaperItem::Kind::Clip, onPaper({-PixelsPerMm, sliceTop, f.width + 2 * PixelsPerMm, sliceBottom - sliceTop})));
    for (const WorksheetLine &l : f.lines) {
        PaperItem line;
        line.kind = PaperItem::Kind::Line;
        line.at = pointOnPaper(l.line.p1);
        line.to = pointOnPaper(l.line.p2);
        line.colour = l.colour;
        line.pen = LinePen;
        out.push_back(std::move(line));
    }
    // Only what stands on this page is drawn: text cut away by the clip would still be read
    // out of the file.
    const auto onPage = [&](const PaperRect &r) { return r.bottom() > sliceTop && r.y < sliceBottom; };
    for (const auto &[box, words] : {std::pair{f.start, "開始"}, std::pair{f.end, "終了"}}) {
        if (!onPage(box))
            continue;
        out.push_back(shape(PaperItem::Kind::Oval, onPaper(box)));
        out.push_back(centredText(words, onPaper(box), text, measure));
    }
    for (const WorksheetBox &box : f.boxes) {
        if (!onPage(box.rect))
            continue;
        // A decision: a box with pointed ends.
        PaperItem outline = shape(box.branch ? PaperItem::Kind::Decision : PaperItem::Kind::Box, onPaper(box.rect));
        outline.tip = box.branch ? BranchTip : 0;
        out.push_back(std::move(outline));
        for (const WorksheetRun &run : box.runs) {
            const double baseline = run.rect.y + (run.rect.h - fm.height) / 2 + fm.ascent;
            PaperItem words;
            words.kind = PaperItem::Kind::Text;
            words.font = text;
            if (!run.blank) {
                words.text = run.text;
                words.at = pointOnPaper({run.rect.x, baseline});
                out.push_back(std::move(words));
                continue;
            }
            // The brackets just outside the room a pupil writes in.
            words.text = OpenBracket;
            words.at = pointOnPaper({run.room.x - measure.advance(OpenBracket, text), baseline});
            out.push_back(words);
            words.text = CloseBracket;
            words.at = pointOnPaper({run.room.right(), baseline});
            out.push_back(std::move(words));
        }
    }
    for (const WorksheetLabel &c : f.captions)
        if (onPage(c.rect))
            out.push_back(centredText(c.text, onPaper(c.rect), caption, measure));
    out.push_back(shape(PaperItem::Kind::Unclip, {}));

    // The letters where lines go on to the page before or after this one.
    const double radius = CutMarkRadiusMm * PixelsPerMm;
    for (const WorksheetCutMark &m : f.marks) {
        if (m.cut != page && m.cut != page - 1)
            continue;
        const PaperRect circle = onPaper({m.at.x - radius, m.at.y - radius, 2 * radius, 2 * radius});
        out.push_back(shape(PaperItem::Kind::Oval, circle));
        out.push_back(centredText(m.letter, circle, caption, measure));
    }
}

} // namespace jhk
