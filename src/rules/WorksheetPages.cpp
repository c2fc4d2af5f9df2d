#include "rules/WorksheetPages.h"

#include "model/AppState.h"
#include "model/Catalogue.h"
#include "rules/WorksheetLayout.h"

#include <cmath>

namespace jhk {

namespace {

constexpr double Dpi = WorksheetDpi;
constexpr double MmPerInch = 25.4;
constexpr double Margin = 15 / MmPerInch * Dpi; // 15 mm
constexpr int TitlePixels = 22;
constexpr int TextPixels = 15;
constexpr int CornerPixels = 11;
constexpr const char *VariableGap = "　　";

bool hasProgram(const PartsRecord &p)
{
    return p.isUsed() && p.BlockCount > 0;
}

PaperFont pageFont(int pixels, bool bold = false)
{
    return {worksheet::Face, pixels, bold};
}

PaperItem text(std::string words, const PaperFont &font, double x, double baseline)
{
    PaperItem item;
    item.kind = PaperItem::Kind::Text;
    item.text = std::move(words);
    item.font = font;
    item.at = {x, baseline};
    return item;
}

// The header of a part's pages: its number and kind, a line for the pupil's name, and its
// variables with their values.
struct Header {
    std::string heading;
    std::string variables;
};

Header headerOf(const Machine &m, const Catalogue &catalogue, int slot)
{
    const PartsRecord &part = m.part(slot);
    Header h;
    h.heading = "パーツ番号 " + std::to_string(slot) + "　　パーツの種類：" + catalogue.kindName(part.Kind);
    const char *letters[] = {"A", "B", "C"};
    for (int v = 0; v < 3; ++v) {
        const std::string meaning = catalogue.variableLabel(part.Kind, letters[v]);
        if (meaning.empty())
            continue;
        if (!h.variables.empty())
            h.variables += VariableGap;
        // A variable the kind does not use reads like "（使いません）" in the catalogue.
        if (meaning.starts_with("（") && meaning.ends_with("）"))
            h.variables += "変数" + std::string(letters[v]) + meaning;
        else
            h.variables += "変数" + std::string(letters[v]) + "（" + meaning + "）＝ "
                + std::to_string(part.Hensuu[static_cast<std::size_t>(v + 1)]);
    }
    if (h.variables.empty())
        h.variables = "変数：なし";
    return h;
}

// The variables in lines no wider than `width`: broken between two variables where they fit,
// else between any two characters.
std::vector<std::string> variableLines(const std::string &variables, double width, const PaperMeasure &measure)
{
    const PaperFont font = pageFont(TextPixels);
    std::vector<std::string> lines(1);
    const std::string_view gap = VariableGap;
    std::size_t from = 0;
    while (from < variables.size()) {
        std::size_t to = variables.find(gap, from);
        to = to == std::string::npos ? variables.size() : to + gap.size();
        const std::string piece = variables.substr(from, to - from);
        if (!lines.back().empty() && measure.advance(lines.back() + piece, font) > width)
            lines.emplace_back();
        for (std::size_t i = 0; i < piece.size();) {
            const std::string c = piece.substr(i, utf8Length(piece[i]));
            if (!lines.back().empty() && measure.advance(lines.back() + c, font) > width)
                lines.emplace_back();
            lines.back() += c;
            i += c.size();
        }
        from = to;
    }
    return lines;
}

// The variables take a second line where they would not leave room for the page number.
int variableLineCount(const Header &h, double width, const PaperMeasure &measure)
{
    const PaperFont font = pageFont(TextPixels);
    return measure.advance(h.variables, font) + measure.advance("（00/00）", font) + 10 > width ? 2 : 1;
}

// The y below the header.
double headerBottom(const Header &h, double width, const PaperMeasure &measure)
{
    return Margin + measure.metrics(pageFont(TitlePixels, true)).height + 10
        + measure.metrics(pageFont(TextPixels)).height * variableLineCount(h, width, measure) + 8 + 10;
}

// The header; `page` says "2/3" at the end of the variables' line on a part whose flowchart
// takes several pages.
void drawHeader(const Header &h, double width, const std::string &title, const std::string &page,
                const PaperMeasure &measure, std::vector<PaperItem> &out)
{
    double y = Margin;
    const double right = Margin + width;
    if (!title.empty()) {
        // In the corner above the heading, ending 2 pixels above it.
        const PaperFont corner = pageFont(CornerPixels);
        const PaperMeasure::Metrics cm = measure.metrics(corner);
        out.push_back(text(title, corner, right - measure.advance(title, corner), y - 2 - (cm.height - cm.ascent)));
    }
    const PaperFont titleFont = pageFont(TitlePixels, true);
    const PaperMeasure::Metrics tm = measure.metrics(titleFont);
    out.push_back(text(h.heading, titleFont, Margin, y + tm.ascent));
    const PaperFont font = pageFont(TextPixels);
    const PaperMeasure::Metrics fm = measure.metrics(font);
    const std::string name = "名前（　　　　　　　　　　）";
    out.push_back(text(name, font, right - measure.advance(name, font), y + (tm.height - fm.height) / 2 + fm.ascent));
    y += tm.height + 10;
    const std::string pageMark = page.empty() ? "" : "（" + page + "）";
    const double pageWidth = page.empty() ? 0 : measure.advance(pageMark, font) + 10;
    double baseline = y + fm.ascent;
    for (const std::string &line : variableLines(h.variables, width - pageWidth, measure)) {
        out.push_back(text(line, font, Margin, baseline));
        baseline += fm.height;
    }
    if (!page.empty())
        out.push_back(text(pageMark, font, right - measure.advance(pageMark, font), y + fm.ascent));
    y += fm.height * variableLineCount(h, width, measure) + 8;
    PaperItem rule;
    rule.kind = PaperItem::Kind::Line;
    rule.at = {Margin, y};
    rule.to = {right, y};
    out.push_back(std::move(rule));
}

} // namespace

WorksheetPages layoutWorksheet(const Machine &m, const Catalogue &catalogue, OperandStyle style,
                               const std::string &title, const PaperMeasure &measure, int onlyPart)
{
    WorksheetPages sheet;
    // A4 as printers take it: whole points (595 × 842), then whole pixels.
    const auto pixels = [](double mm) { return std::lround(std::lround(mm / MmPerInch * 72) * Dpi / 72); };
    const double pageWidth = static_cast<double>(pixels(210));
    const double pageHeight = static_cast<double>(pixels(297));
    const double width = pageWidth - 2 * Margin;
    const double radius = worksheet::CutMarkRadiusMm * worksheet::PixelsPerMm;
    for (int i = 0; i < PartSlots; ++i) {
        const PartsRecord &part = m.part(i);
        if (!hasProgram(part) || (onlyPart >= 0 && i != onlyPart))
            continue;
        const Header header = headerOf(m, catalogue, i);
        // The flowchart takes the rest of the page, with room for the letters at a cut.
        const double top = headerBottom(header, width, measure) + radius;
        const WorksheetFlowchart flowchart
            = layoutWorksheetFlowchart(part, style, width, pageHeight - Margin - radius - top, measure);
        for (int p = 0; p < flowchart.pages(); ++p) {
            PaperPage page{pageWidth, pageHeight, {}};
            drawHeader(header, width, title,
                       flowchart.pages() > 1 ? std::to_string(p + 1) + "/" + std::to_string(flowchart.pages()) : "",
                       measure, page.items);
            drawWorksheetFlowchart(flowchart, p, Margin + (width - flowchart.width) / 2, top, measure, page.items);
            sheet.pages.push_back(std::move(page));
        }
    }
    if (sheet.pages.empty())
        sheet.refusal = onlyPart >= 0 ? WorksheetPartWithoutProgram : WorksheetNoPrograms;
    return sheet;
}

} // namespace jhk
