#include "rules/MachinePrintLayout.h"

#include "engine/Stage.h"
#include "model/AppState.h"

#include <algorithm>
#include <cmath>

namespace jhk {

namespace {

constexpr double TwipsPerInch = 1440.0;
// Parts and the background sit this far in from the corner of the printable area, twips.
constexpr int PageInset = 5;
constexpr int NumberPixels = 12;
constexpr int TitlePixels = 18;
constexpr int HeaderPixels = 16;
// The header starts this far right of the stage: the title in twips, the lines in pixels.
constexpr int TitleGapTwips = 10;
constexpr int HeaderIndentPixels = 80;
constexpr int HeaderGapPixels = 15;
constexpr std::uint32_t Black = 0x000000;

// A page written the way a printer object is: one font, colour and text background in force
// at a time, and a text position that each printed line moves to the start of the next line.
class Page {
public:
    Page(int dpiX, int dpiY, const PaperMeasure &measure, std::vector<PaperItem> &items)
        : m_dpiX(dpiX), m_dpiY(dpiY), m_measure(measure), m_items(items)
    {
    }

    double x(double twips) const { return twips * m_dpiX / TwipsPerInch; }
    double y(double twips) const { return twips * m_dpiY / TwipsPerInch; }

    // A picture at its size on the screen: each of its pixels covers twipsX × twipsY.
    void picture(const std::string &name, int slot, int left, int top, int twipsX, int twipsY)
    {
        PaperItem item;
        item.kind = PaperItem::Kind::Picture;
        item.picture = name;
        item.slot = slot;
        item.rect = {x(left), y(top), x(twipsX), y(twipsY)};
        m_items.push_back(std::move(item));
    }
    void fill(const StageRect &r, std::uint32_t colour)
    {
        PaperItem item;
        item.kind = PaperItem::Kind::Fill;
        item.rect = {x(r.left), y(r.top), x(r.width), y(r.height)};
        item.colour = colour;
        m_items.push_back(std::move(item));
    }

    void setFace(const std::string &family) { m_font.family = family; }
    void setFontPoints(int points) { m_font.pixels = std::max(1, static_cast<int>(std::lround(points * m_dpiY / 72.0))); }
    void setBold(bool bold) { m_font.bold = bold; }
    void setColour(std::uint32_t c) { m_colour = c; }
    void setOpaque(bool opaque) { m_opaque = opaque; }
    void moveTo(double left, double top) { m_cursor = {left, top}; }
    double cursorY() const { return m_cursor.y; }

    void printLine(const std::string &text)
    {
        const PaperMeasure::Metrics fm = m_measure.metrics(m_font);
        PaperItem item;
        item.kind = PaperItem::Kind::Text;
        item.text = text;
        item.font = m_font;
        item.colour = m_colour;
        item.opaque = m_opaque;
        item.rect = {x(m_cursor.x), y(m_cursor.y), m_measure.advance(text, m_font), fm.height};
        item.at = {item.rect.x, item.rect.y + fm.ascent};
        m_items.push_back(std::move(item));
        m_cursor = {0, m_cursor.y + fm.height * TwipsPerInch / m_dpiY};
    }

    // Prints `text` from the text position so that it ends left of `right` (twips from the
    // printable area's left edge): a font down to two thirds of its size first, then as many
    // lines as it needs, broken between any two characters.
    void printFitted(const std::string &text, double right)
    {
        const double width = x(right - m_cursor.x);
        const int size = m_font.pixels;
        for (int pixels = size; pixels >= size * 2 / 3 && pixels > 0; --pixels) {
            m_font.pixels = pixels;
            if (m_measure.advance(text, m_font) <= width)
                break;
        }
        const double left = m_cursor.x;
        std::string line;
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t n = std::min(utf8Length(text[i]), text.size() - i);
            const std::string_view c(text.data() + i, n);
            if (!line.empty() && m_measure.advance(line + std::string(c), m_font) > width) {
                printLine(line);
                m_cursor.x = left;
                line.clear();
            }
            line += c;
            i += n;
        }
        printLine(line);
        m_font.pixels = size;
    }

private:
    int m_dpiX;
    int m_dpiY;
    const PaperMeasure &m_measure;
    std::vector<PaperItem> &m_items;
    PaperFont m_font;
    std::uint32_t m_colour = Black;
    bool m_opaque = false;
    PaperPoint m_cursor;
};

// A font size given as a pixel height, in whole points for a screen of `twipsPerPixel`.
int pointsFromPixels(int pixels, int twipsPerPixel) { return twipsPerPixel * pixels / 20; }

} // namespace

bool printRequested(const Machine &m, const PrintContents &contents)
{
    return m.app.RunMode == ModeEditing && contents.picture;
}

std::vector<PaperItem> layoutMachinePrint(const MachinePrint &print, int dpiX, int dpiY, double pageWidth,
                                          const PaperMeasure &measure)
{
    std::vector<PaperItem> items;
    const Machine &m = print.machine;
    const AppState &app = m.app;
    if (app.RunMode != ModeEditing)
        return items;
    const int tx = std::max<int>(1, app.TwipsX);
    const int ty = std::max<int>(1, app.TwipsY);
    Page page(dpiX, dpiY, measure, items);

    // The stage shows the chosen background until a document names its own.
    const std::string &background = print.stage.background.empty() ? app.BackPictName : print.stage.background;
    if (!background.empty())
        page.picture(background, -1, PageInset, PageInset, tx, ty);

    for (int i = 0; i < PartSlots; ++i) {
        if (!m.part(i).isUsed())
            continue;
        const PartControl &c = print.stage.part(i);
        page.picture(c.picture, i, c.rect.left + PageInset, c.rect.top + PageInset, tx, ty);
    }

    if (print.numbers) {
        for (int i = 0; i < PartSlots; ++i) {
            if (!m.part(i).isUsed())
                continue;
            const PartControl &c = print.stage.part(i);
            page.setBold(true);
            page.setColour(Black);
            page.setFontPoints(pointsFromPixels(NumberPixels, tx));
            page.moveTo(c.rect.left, c.rect.top);
            page.setOpaque(true);
            page.printLine("No." + std::to_string(i));
        }
    }

    // The header keeps whatever face, weight, colour and background the numbers left.
    const int stageWidth = Stage::widthTwips(m);
    page.moveTo(stageWidth + TitleGapTwips, PageInset);
    page.setFontPoints(pointsFromPixels(TitlePixels, ty));
    page.printLine(PrintTitle);
    page.setFontPoints(pointsFromPixels(HeaderPixels, ty));
    const double headerX = stageWidth + HeaderIndentPixels * tx;
    page.moveTo(headerX, page.cursorY() + HeaderGapPixels * ty);
    page.printLine(PrintLevelPrefix + std::to_string(app.Level));
    page.moveTo(headerX, page.cursorY());
    page.printLine(PrintPartsCountPrefix + std::to_string(app.PartsCount));
    page.moveTo(headerX, page.cursorY());
    page.printLine(PrintMoneyPrefix + std::to_string(app.MoneyInHand));
    if (!print.headerNote.empty()) {
        // The file name says whose page it is: it is shrunk or wrapped to fit, never cut off.
        const double pageRight = pageWidth * TwipsPerInch / dpiX;
        page.moveTo(headerX, page.cursorY());
        page.printFitted("  " + print.headerNote, pageRight - PageInset);
    }

    if (app.LabelCount <= 0)
        return items;
    for (int j = 0; j < LabelSlots; ++j) {
        if (!m.label(j).isUsed())
            continue;
        const LabelControl &c = print.stage.labels[static_cast<std::size_t>(j)];
        page.fill(c.rect, rgbFromTable(c.backColor));
        page.setFace(print.labelFonts[static_cast<std::size_t>(j)]);
        page.setFontPoints(std::max(1, c.fontSize));
        page.setBold(c.bold);
        page.setColour(rgbFromTable(c.foreColor));
        page.moveTo(c.rect.left, c.rect.top);
        page.setOpaque(false);
        page.printLine(c.caption);
    }
    return items;
}

} // namespace jhk
