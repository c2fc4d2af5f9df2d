#include "print/MachinePrintout.h"

#include "engine/Stage.h"
#include "model/AppPaths.h"
#include "model/AppState.h"
#include "print/PaperText.h"
#include "print/Printer.h"
#include "ui/Colours.h"
#include "ui/StagePictures.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>

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

// A page written the way a printer object is: one font, colour and text background in force
// at a time, and a text position that each printed line moves to the start of the next line.
class Page {
public:
    Page(QPainter &painter, int dpiX, int dpiY)
        : m_painter(painter), m_dpiX(dpiX), m_dpiY(dpiY), m_font(QGuiApplication::font())
    {
        setFontPoints(m_font.pointSize() > 0 ? m_font.pointSize() : 9);
    }

    double x(double twips) const { return twips * m_dpiX / TwipsPerInch; }
    double y(double twips) const { return twips * m_dpiY / TwipsPerInch; }
    QRectF rect(double left, double top, double width, double height) const
    {
        return {x(left), y(top), x(width), y(height)};
    }

    // A picture at its size on the screen: each of its pixels covers twipsX × twipsY.
    void picture(const QPixmap &pix, int left, int top, int twipsX, int twipsY)
    {
        if (!pix.isNull())
            m_painter.drawPixmap(rect(left, top, pix.width() * twipsX, pix.height() * twipsY), pix, pix.rect());
    }
    void fill(const QRectF &twipsRect, const QColor &colour)
    {
        m_painter.fillRect(rect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height()), colour);
    }

    void setFace(const QString &family) { m_font.setFamily(family); }
    void setFontPoints(int points) { m_font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * m_dpiY / 72.0)))); }
    void setBold(bool bold) { m_font.setBold(bold); }
    void setColour(const QColor &c) { m_colour = c; }
    void setOpaque(bool opaque) { m_opaque = opaque; }
    void moveTo(double left, double top) { m_cursor = {left, top}; }
    double cursorY() const { return m_cursor.y(); }

    void printLine(const QString &text)
    {
        const QFontMetricsF fm(m_font, m_painter.device());
        const QPointF topLeft(x(m_cursor.x()), y(m_cursor.y()));
        if (m_opaque)
            m_painter.fillRect(QRectF(topLeft, QSizeF(fm.horizontalAdvance(text), fm.height())), Qt::white);
        drawPaperText(m_painter, QPointF(topLeft.x(), topLeft.y() + fm.ascent()), text, m_font, m_colour);
        m_cursor = {0, m_cursor.y() + fm.height() * TwipsPerInch / m_dpiY};
    }

    // Prints `text` from the text position so that it ends left of `right` (twips from the
    // printable area's left edge): a font down to two thirds of its size first, then as many
    // lines as it needs, broken between any two characters.
    void printFitted(const QString &text, double right)
    {
        const double width = x(right - m_cursor.x());
        const int size = m_font.pixelSize();
        for (int pixels = size; pixels >= size * 2 / 3 && pixels > 0; --pixels) {
            m_font.setPixelSize(pixels);
            if (QFontMetricsF(m_font, m_painter.device()).horizontalAdvance(text) <= width)
                break;
        }
        const QFontMetricsF fm(m_font, m_painter.device());
        const double left = m_cursor.x();
        QString line;
        for (const QChar c : text) {
            if (!line.isEmpty() && !c.isLowSurrogate() && fm.horizontalAdvance(line + c) > width) {
                printLine(line);
                m_cursor.setX(left);
                line.clear();
            }
            line += c;
        }
        printLine(line);
        m_font.setPixelSize(size);
    }

private:
    QPainter &m_painter;
    int m_dpiX;
    int m_dpiY;
    QFont m_font;
    QColor m_colour = Qt::black;
    bool m_opaque = false;
    QPointF m_cursor;
};

// A font size given as a pixel height, in whole points for a screen of `twipsPerPixel`.
int pointsFromPixels(int pixels, int twipsPerPixel) { return twipsPerPixel * pixels / 20; }

QString text(const std::string &s) { return QString::fromStdString(s); }

// The picture part i shows: from the application folder, or else painted and kept beside
// the document.
QPixmap partPicture(const PrintSource &source, int i)
{
    const int kind = source.machine.part(i).Kind;
    const std::string &picture = source.stage.part(i).picture;
    const std::string appFolder = source.pictures.appFolder().toStdString();
    if (!source.documentPath.empty() && picture != "dummy" && resolveInFolder(appFolder, picture).empty()) {
        const QPixmap painted(text(findPartPicture(appFolder, source.documentPath, picture)));
        if (!painted.isNull())
            return painted;
    }
    return source.pictures.partPicture(kind, picture);
}

} // namespace

bool printRequested(const Machine &m, const PrintContents &contents)
{
    return m.app.RunMode == ModeEditing && contents.picture;
}

void paintMachinePicture(QPainter &painter, int dpiX, int dpiY, const PrintSource &source, bool numbers)
{
    const Machine &m = source.machine;
    const AppState &app = m.app;
    if (app.RunMode != ModeEditing)
        return;
    const int tx = std::max<int>(1, app.TwipsX);
    const int ty = std::max<int>(1, app.TwipsY);
    Page page(painter, dpiX, dpiY);

    // The stage shows the chosen background until a document names its own.
    const std::string &background = source.stage.background.empty() ? app.BackPictName : source.stage.background;
    if (!background.empty())
        page.picture(source.pictures.file(background, QSize(StageWidthPixels, StageHeightPixels)), PageInset,
                     PageInset, tx, ty);

    for (int i = 0; i < PartSlots; ++i) {
        if (!m.part(i).isUsed())
            continue;
        const PartControl &c = source.stage.part(i);
        page.picture(partPicture(source, i), c.rect.left + PageInset, c.rect.top + PageInset, tx, ty);
    }

    if (numbers) {
        for (int i = 0; i < PartSlots; ++i) {
            if (!m.part(i).isUsed())
                continue;
            const PartControl &c = source.stage.part(i);
            page.setBold(true);
            page.setColour(Qt::black);
            page.setFontPoints(pointsFromPixels(NumberPixels, tx));
            page.moveTo(c.rect.left, c.rect.top);
            page.setOpaque(true);
            page.printLine(QStringLiteral("No.") + QString::number(i));
        }
    }

    // The header keeps whatever face, weight, colour and background the numbers left.
    const int stageWidth = Stage::widthTwips(m);
    page.moveTo(stageWidth + TitleGapTwips, PageInset);
    page.setFontPoints(pointsFromPixels(TitlePixels, ty));
    page.printLine(QString::fromUtf8(PrintTitle));
    page.setFontPoints(pointsFromPixels(HeaderPixels, ty));
    const double headerX = stageWidth + HeaderIndentPixels * tx;
    page.moveTo(headerX, page.cursorY() + HeaderGapPixels * ty);
    page.printLine(QString::fromUtf8(PrintLevelPrefix) + QString::number(app.Level));
    page.moveTo(headerX, page.cursorY());
    page.printLine(QString::fromUtf8(PrintPartsCountPrefix) + QString::number(app.PartsCount));
    page.moveTo(headerX, page.cursorY());
    page.printLine(QString::fromUtf8(PrintMoneyPrefix) + QString::number(app.MoneyInHand));
    if (!source.headerNote.empty()) {
        // The file name says whose page it is: it is shrunk or wrapped to fit, never cut off.
        const double pageRight = painter.device()->width() * TwipsPerInch / dpiX;
        page.moveTo(headerX, page.cursorY());
        page.printFitted(QStringLiteral("  ") + text(source.headerNote), pageRight - PageInset);
    }

    if (app.LabelCount <= 0)
        return;
    for (int j = 0; j < LabelSlots; ++j) {
        if (!m.label(j).isUsed())
            continue;
        const LabelControl &c = source.stage.labels[static_cast<std::size_t>(j)];
        page.fill(QRectF(c.rect.left, c.rect.top, c.rect.width, c.rect.height),
                  colorFromTable(c.backColor));
        const std::string &face = source.labelFonts[static_cast<std::size_t>(j)];
        page.setFace(face.empty() ? QGuiApplication::font().family() : text(face));
        page.setFontPoints(std::max(1, c.fontSize));
        page.setBold(c.bold);
        page.setColour(colorFromTable(c.foreColor));
        page.moveTo(c.rect.left, c.rect.top);
        page.setOpaque(false);
        page.printLine(text(c.caption));
    }
}

QString printMachine(Printer &printer, const PrintSource &source, bool numbers)
{
    return printer.print(1, [&](QPainter &painter, int, int dpiX, int dpiY) {
        paintMachinePicture(painter, dpiX, dpiY, source, numbers);
    });
}

} // namespace jhk
