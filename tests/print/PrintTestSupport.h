#pragma once

#include "engine/Stage.h"
#include "model/AppState.h"
#include "print/MachinePrintout.h"
#include "print/Printer.h"
#include "ui/StagePictures.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace jhk::printtest {

// Colours of the test pictures.
inline const QColor Background(200, 200, 200);
inline const QColor Red(255, 0, 0);
inline const QColor Blue(0, 0, 255);
inline const QColor Green(0, 160, 0);

// A word of a PDF page as pdftotext finds it; positions in points from the page's corner.
struct Word {
    QString text;
    double left, top, right, bottom;
};

// An application folder with a grey background and three plain part pictures.
class AppFolder {
public:
    AppFolder()
    {
        QDir(path()).mkpath(QStringLiteral("BG"));
        QDir(path()).mkpath(QStringLiteral("bg"));
        write(QStringLiteral("BG/BG0.bmp"), QSize(StageWidthPixels, StageHeightPixels), Background);
        write(QStringLiteral("bg/red.bmp"), QSize(40, 30), Red);
        write(QStringLiteral("bg/blue.bmp"), QSize(30, 40), Blue);
        write(QStringLiteral("bg/green.bmp"), QSize(50, 20), Green);
    }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    void write(const QString &name, QSize size, const QColor &colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(m_dir.filePath(name), "BMP"));
    }
    QTemporaryDir m_dir;
};

// A machine with parts in slots 0, 2 and 5 and labels in slots 1 and 3, and the stage that
// shows it: the same positions in the tables and on the stage.
struct PrintedMachine {
    std::unique_ptr<Machine> machine = std::make_unique<Machine>();
    Stage stage;

    PrintedMachine()
    {
        AppState &app = machine->app;
        applyStartupValues(app, 15, 15);
        app.Level = 2;
        app.MoneyInHand = 2670;
        app.BackPictName = "\\BG\\BG0.BMP";
        stage.background = app.BackPictName;
        addPart(0, "\\bg\\red.bmp", 1500, 1500, 40, 30);
        addPart(2, "\\bg\\blue.bmp", 3000, 1500, 30, 40);
        addPart(5, "\\bg\\green.bmp", 1500, 4500, 50, 20);
        addLabel(1, "ラベルA", 1500, 6000, 4, 8);  // yellow, black text
        addLabel(3, "ラベルB", 3750, 6000, 3, 0);  // blue, white text
    }

    void addPart(int i, const char *picture, int left, int top, int w, int h)
    {
        PartsRecord &p = machine->part(i);
        p.Used = -1;
        p.Kind = KindProduct;
        p.PictName = picture;
        p.Left = static_cast<std::int16_t>(left);
        p.Top = static_cast<std::int16_t>(top);
        p.Width = static_cast<std::int16_t>(w);
        p.Height = static_cast<std::int16_t>(h);
        ++machine->app.PartsCount;
        PartControl &c = stage.part(i);
        c.visible = true;
        c.picture = picture;
        c.rect = {left, top, w * 15, h * 15};
        c.numberShown = true;
    }

    void addLabel(int j, const char *caption, int left, int top, int back, int fore)
    {
        LabelRecord &l = machine->label(j);
        l.Used = -1;
        l.LabelNo = static_cast<std::uint8_t>(j);
        l.Caption = caption;
        l.Left = static_cast<std::int16_t>(left);
        l.Top = static_cast<std::int16_t>(top);
        l.Width = 1500;
        l.Height = 450;
        l.BackColor = back;
        l.ForeColor = fore;
        l.FontSize = 12;
        ++machine->app.LabelCount;
        LabelControl &c = stage.labels[static_cast<std::size_t>(j)];
        c.visible = true;
        c.rect = {left, top, 1500, 450};
        c.caption = caption;
        c.fontSize = 12;
        c.backColor = machine->app.ColorTable[static_cast<std::size_t>(back)];
        c.foreColor = machine->app.ColorTable[static_cast<std::size_t>(fore)];
    }
};

// A printed page read back.
class PrintedPage {
public:
    // `printableTopLeft`: the corner of the printable area on the page, points.
    PrintedPage(const QString &pdf, QPointF printableTopLeft) : m_pdf(pdf), m_origin(printableTopLeft) {}

    // The page at 96 dpi, where one pixel is 15 twips.
    QImage image() const
    {
        const QString prefix = m_pdf + QStringLiteral("-page");
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-singlefile"),
                                         QStringLiteral("-png"), m_pdf, prefix});
        return QImage(prefix + QStringLiteral(".png"));
    }
    // The colour at a page point given in twips from the printable area's corner.
    QColor colourAt(const QImage &image, int xTwips, int yTwips) const
    {
        return image.pixelColor(static_cast<int>(m_origin.x() * 96 / 72 + xTwips / 15.0),
                                static_cast<int>(m_origin.y() * 96 / 72 + yTwips / 15.0));
    }
    std::vector<Word> words() const
    {
        const QString out = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), m_pdf, QStringLiteral("-")});
        static const QRegularExpression re(QStringLiteral(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
        std::vector<Word> words;
        for (auto it = re.globalMatch(out); it.hasNext();) {
            const auto m = it.next();
            words.push_back({m.captured(5), m.captured(1).toDouble() - m_origin.x(), m.captured(2).toDouble() - m_origin.y(),
                             m.captured(3).toDouble() - m_origin.x(), m.captured(4).toDouble() - m_origin.y()});
        }
        return words;
    }
    std::optional<Word> find(const QString &text) const
    {
        for (const Word &w : words())
            if (w.text == text)
                return w;
        return std::nullopt;
    }

private:
    static QString run(const QString &program, const QStringList &args)
    {
        QProcess p;
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(30000)) << program.toStdString();
        EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << ": " << p.readAllStandardError().toStdString();
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    QString m_pdf;
    QPointF m_origin;
};

// Output of one of poppler's tools.
inline QString popplerOutput(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(30000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline int pdfPageCount(const QString &pdf)
{
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto m = pages.match(popplerOutput(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The text of one page (from 1) in the order it was drawn, without any white space (ideographic
// spaces included, which pdftotext does not always keep), so that words broken over two lines
// in a box read as one.
inline QString pdfPageText(const QString &pdf, int page)
{
    QString text = popplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), QStringLiteral("-f"), QString::number(page),
                                                               QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    text.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}]")));
    return text;
}

inline QString withoutSpaces(QString s)
{
    s.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}]")));
    return s;
}

// The corner of the printable area of the PDF pages the program writes, points.
inline QPointF pdfPrintableTopLeft()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    return printer.pageLayout().paintRect(QPageLayout::Point).topLeft();
}

// Two colours are the same within what anti-aliasing and the PDF round trip change.
inline bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 && std::abs(a.blue() - b.blue()) < 24;
}

} // namespace jhk::printtest
