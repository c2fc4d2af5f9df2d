#include "PrintTestSupport.h"

#include <QGuiApplication>
#include <QPainter>
#include <QtMath>

namespace jhk {
namespace {

using namespace printtest;

class Printout : public ::testing::Test {
protected:
    // Prints `pm` to a PDF file and returns the page.
    PrintedPage print(const PrintedMachine &pm, bool numbers)
    {
        StagePictures pictures(m_folder.path());
        QString error;
        const auto printer = createPrinter(PrinterOutput::Pdf, &error);
        EXPECT_TRUE(printer) << error.toStdString();
        const QString pdf = m_out.filePath(QStringLiteral("page%1.pdf").arg(m_count++));
        printer->setOutputFileName(pdf);
        const QString failure = printMachine(*printer, {*pm.machine, pm.stage, pictures}, numbers);
        EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
        return PrintedPage(pdf, pdfPrintableTopLeft());
    }

    // Dark pixels of the header's title, right of the stage.
    static int titleInk(const PrintedPage &page, const QImage &image)
    {
        int ink = 0;
        for (int y = 0; y < 30 * 15; y += 15)
            for (int x = StageWidthPixels * 15; x < (StageWidthPixels + 300) * 15; x += 15)
                ink += page.colourAt(image, x, y).lightness() < 100;
        return ink;
    }

    AppFolder m_folder;
    QTemporaryDir m_out;
    int m_count = 0;
};

TEST_F(Printout, PicturesNumbersHeaderAndLabelsStandWhereTheStageHasThem)
{
    const PrintedMachine pm;
    const PrintedPage page = print(pm, true);
    const QImage image = page.image();
    ASSERT_FALSE(image.isNull());

    // The background and each part picture, away from the numbers in their corners.
    EXPECT_TRUE(near(page.colourAt(image, 300 * 15, 50 * 15), Background));
    EXPECT_TRUE(near(page.colourAt(image, 1500 + 35 * 15, 1500 + 25 * 15), Red));
    EXPECT_TRUE(near(page.colourAt(image, 3000 + 25 * 15, 1500 + 35 * 15), Blue));
    EXPECT_TRUE(near(page.colourAt(image, 1500 + 45 * 15, 4500 + 17 * 15), Green));
    // Labels in their background colours.
    EXPECT_TRUE(near(page.colourAt(image, 1500 + 1400, 6000 + 400), QColor(255, 255, 0)));
    EXPECT_TRUE(near(page.colourAt(image, 3750 + 1400, 6000 + 400), QColor(0, 0, 255)));

    // Numbers are the slot numbers, at the parts' corners (twips ÷ 20 = points).
    struct Expected {
        const char *text;
        double left, top;
    };
    const Expected words[] = {
        {"No.0", 75, 75}, {"No.2", 150, 75}, {"No.5", 75, 225}, {"ラベルA", 75, 300}, {"ラベルB", 187.5, 300},
    };
    for (const Expected &e : words) {
        const auto w = page.find(QString::fromUtf8(e.text));
        ASSERT_TRUE(w) << e.text;
        EXPECT_NEAR(w->left, e.left, 2) << e.text;
        EXPECT_NEAR(w->top, e.top, 3) << e.text;
    }
    EXPECT_FALSE(page.find(QStringLiteral("No.1")));

    // The header, right of the stage (408 pixels = 306 points), one line under the other.
    const double stageRight = StageWidthPixels * 15 / 20.0;
    const auto title = page.find(QStringLiteral("ジハンコウボウ"));
    const auto level = page.find(QStringLiteral("レベル："));
    const auto parts = page.find(QStringLiteral("個数："));
    const auto money = page.find(QStringLiteral("所持金："));
    ASSERT_TRUE(title && level && parts && money);
    EXPECT_GT(title->left, stageRight);
    EXPECT_LT(title->top, 5);
    for (const auto &w : {level, money})
        EXPECT_GT(w->left, stageRight + 80 * 15 / 20.0);
    EXPECT_LT(title->bottom, level->top + 1);
    EXPECT_LT(level->bottom, parts->top + 1);
    EXPECT_LT(parts->bottom, money->top + 1);
    // Each line ends with its value.
    for (const auto &[line, value] : {std::pair{level, "2"}, {parts, "3"}, {money, "2670"}}) {
        const auto v = page.find(QString::fromUtf8(value));
        ASSERT_TRUE(v) << value;
        EXPECT_NEAR(v->bottom, line->bottom, 2) << value;
    }
}

TEST_F(Printout, WithoutNumbersThePartCornersShowTheirPictures)
{
    const PrintedMachine pm;
    const PrintedPage withNumbers = print(pm, true);
    const PrintedPage without = print(pm, false);
    const QImage on = withNumbers.image();
    const QImage off = without.image();
    for (const auto &w : without.words())
        EXPECT_FALSE(w.text.startsWith(QStringLiteral("No."))) << w.text.toStdString();
    // The number's opaque box covers the red corner of part 0 only when numbers are printed.
    EXPECT_TRUE(near(without.colourAt(off, 1500 + 3 * 15, 1500 + 4 * 15), Red));
    EXPECT_FALSE(near(withNumbers.colourAt(on, 1500 + 3 * 15, 1500 + 4 * 15), Red));
}

// The header keeps the weight the numbers leave: bold after at least one number, the printer's
// default weight otherwise.
TEST_F(Printout, TheHeaderIsBoldOnlyAfterPartNumbers)
{
    PrintedMachine pm;
    const PrintedPage bold = print(pm, true);
    const PrintedPage plain = print(pm, false);
    PrintedMachine empty;
    for (int i : {0, 2, 5})
        empty.machine->part(i).Used = 0;
    empty.machine->app.PartsCount = 0;
    const PrintedPage noParts = print(empty, true);
    const int boldInk = titleInk(bold, bold.image());
    EXPECT_GT(boldInk, titleInk(plain, plain.image()) * 11 / 10);
    EXPECT_GT(boldInk, titleInk(noParts, noParts.image()) * 11 / 10);
}

// Dark pixels of a word of the page (the one whose left edge lies between `fromLeft` and
// `toLeft` points), the page drawn at 288 dpi.
int wordInk(const QString &pdf, const QString &text, double fromLeft = 0, double toLeft = 1e9)
{
    const PrintedPage page(pdf, QPointF(0, 0));
    std::optional<Word> word;
    for (const Word &w : page.words())
        if (w.text == text && w.left >= fromLeft && w.left < toLeft)
            word = w;
    EXPECT_TRUE(word) << text.toStdString();
    if (!word)
        return 0;
    constexpr double scale = 288 / 72.0;
    const QString prefix = pdf + QStringLiteral("-ink");
    popplerOutput(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("288"), QStringLiteral("-gray"), QStringLiteral("-singlefile"),
                   QStringLiteral("-x"), QString::number(qFloor(word->left * scale)), QStringLiteral("-y"),
                   QString::number(qFloor(word->top * scale)), QStringLiteral("-W"),
                   QString::number(qCeil((word->right - word->left) * scale)), QStringLiteral("-H"),
                   QString::number(qCeil((word->bottom - word->top) * scale)), QStringLiteral("-png"), pdf, prefix});
    const QImage image(prefix + QStringLiteral(".png"));
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += image.pixelColor(x, y).lightness() < 128;
    return ink;
}

// Part numbers and the header print visibly bold in a face with a bold style of its own and in
// a Japanese face without one (as a Japanese desktop's font is): the numbers against the same
// text in a regular label, the header against the header printed without numbers.
TEST_F(Printout, NumbersAndHeaderPrintBoldInAFaceWithoutABoldStyleToo)
{
    const QFont standard = QGuiApplication::font();
    for (const char *face : {"DejaVu Sans", "IPAGothic"}) {
        SCOPED_TRACE(face);
        QGuiApplication::setFont(QFont(QString::fromLatin1(face)));
        PrintedMachine pm;
        pm.addLabel(4, "No.0", 6000, 1500, 0, 8); // white, black text
        pm.machine->label(4).FontSize = 9;        // the numbers' 12 pixels
        pm.stage.labels[4].fontSize = 9;
        const PrintedPage bold = print(pm, true);
        const PrintedPage plain = print(pm, false);
        const QString boldPdf = m_out.filePath(QStringLiteral("page%1.pdf").arg(m_count - 2));
        const QString plainPdf = m_out.filePath(QStringLiteral("page%1.pdf").arg(m_count - 1));
        const int number = wordInk(boldPdf, QStringLiteral("No.0"), 0, 6000 / 20.0 - 10);
        const int label = wordInk(boldPdf, QStringLiteral("No.0"), 6000 / 20.0 - 10);
        EXPECT_GT(number, label * 5 / 4) << number << " " << label;
        const int header = wordInk(boldPdf, QStringLiteral("ジハンコウボウ"));
        const int regular = wordInk(plainPdf, QStringLiteral("ジハンコウボウ"));
        EXPECT_GT(header, regular * 5 / 4) << header << " " << regular;
    }
    QGuiApplication::setFont(standard);
}

TEST_F(Printout, TheChosenBackgroundIsPrintedBeforeTheStageNamesOne)
{
    PrintedMachine pm;
    pm.stage.background.clear();
    const PrintedPage page = print(pm, true);
    EXPECT_TRUE(near(page.colourAt(page.image(), 300 * 15, 50 * 15), Background));
}

TEST_F(Printout, OnlyLabelsInUseArePrintedAndOnlyWhenThereAreAny)
{
    struct Case {
        const char *what;
        int labelCount;
        bool secondUsed;
        bool firstShown, secondShown;
    };
    const Case cases[] = {
        {"both labels", 2, true, true, true},
        {"a free slot among them", 1, false, true, false},
        {"a count of 0", 0, true, false, false},
    };
    for (const Case &c : cases) {
        PrintedMachine pm;
        pm.machine->app.LabelCount = static_cast<std::int16_t>(c.labelCount);
        pm.machine->label(3).Used = c.secondUsed ? -1 : 0;
        const PrintedPage page = print(pm, true);
        const QImage image = page.image();
        EXPECT_EQ(near(page.colourAt(image, 1500 + 1400, 6400), QColor(255, 255, 0)), c.firstShown) << c.what;
        EXPECT_EQ(near(page.colourAt(image, 3750 + 1400, 6400), QColor(0, 0, 255)), c.secondShown) << c.what;
        EXPECT_EQ(page.find(QStringLiteral("ラベルB")).has_value(), c.secondShown) << c.what;
    }
}

} // namespace
} // namespace jhk
