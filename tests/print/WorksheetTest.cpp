#include "PrintTestSupport.h"
#include "SampleMachine.h"

#include "document/JhkDocument.h"
#include "model/Catalogue.h"
#include "print/PrintCommand.h"
#include "model/Kinds.h"
#include "ui/Worksheet.h"
#include "print/PaperPainter.h"
#include "rules/WorksheetLayout.h"

#include <QFile>
#include <QFileInfo>

namespace jhk {
namespace {

using namespace printtest;

constexpr double PointsPerMm = 72 / 25.4;

// A part crowded with every kind of block in every column and row the canvas has, the start
// and the end cell included, each linked to the next; branches fail to the end box.
PartsRecord crowdedPart()
{
    const int kinds[] = {BlockSubtract, BlockMove, BlockBranch, BlockDischarge, BlockAddMoney, BlockPayChange,
                         BlockReduceStock, BlockBuyLampOn, BlockBuyLampOff, BlockSoldOutLampOn};
    PartsRecord p;
    p.Used = -1;
    p.Kind = KindButton;
    constexpr int MostBlocks = 30; // a part takes no more
    for (int slot = 0; slot < MostBlocks; ++slot) {
        BlockRecord &b = p.Blocks[static_cast<std::size_t>(slot)];
        b.Used = -1;
        b.Kind = static_cast<std::int16_t>(kinds[slot % 10]);
        // Down the first column's twelve rows, then across the others.
        const int column = slot < 12 ? 0 : 1 + (slot - 12) / 6;
        const int row = slot < 12 ? slot : (slot - 12) % 6 * 2;
        b.X = static_cast<std::int16_t>(column * 1323);
        b.Y = static_cast<std::int16_t>(row * 551);
        b.NextBlock = static_cast<std::int16_t>(slot + 1 < MostBlocks ? slot + 1 : LinkEnd);
        b.NextBlock2 = b.Kind == BlockBranch ? LinkEnd : LinkNone;
        for (int n = 1; n <= 5; ++n)
            b.Param[static_cast<std::size_t>(n)] = n;
    }
    p.BlockCount = MostBlocks;
    p.FirstBlock = 0;
    return p;
}

// A part whose only block a pupil dropped onto the start box.
PartsRecord blockOnTheStartBox()
{
    PartsRecord p;
    p.Used = -1;
    p.Kind = KindButton;
    BlockRecord &b = p.Blocks[0];
    b.Used = -1;
    b.Kind = BlockBranch;
    b.NextBlock = LinkEnd;
    b.NextBlock2 = LinkEnd;
    p.BlockCount = 1;
    p.FirstBlock = 0;
    return p;
}

// What a box says, a blank read as "（　）".
std::string boxText(const WorksheetBox &box)
{
    std::string text;
    for (const WorksheetRun &r : box.runs)
        text += r.blank ? BlankOperand : r.text;
    return withoutSpaces(QString::fromStdString(text)).toStdString();
}

// The words of one page of a PDF with their boxes, points.
std::vector<Word> pageWords(const QString &pdf, int page)
{
    const QString out = popplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                                                                   QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    static const QRegularExpression re(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    std::vector<Word> words;
    for (auto it = re.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                         m.captured(4).toDouble()});
    }
    return words;
}

class Worksheet : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(saveDocument(m_jhk.toStdString(), *sampleMachine()).ok); }
    // The worksheet as the program writes it, with the catalogue of the program's folder.
    QString run(bool blank)
    {
        const QString pdf = m_dir.filePath(blank ? QStringLiteral("blank.pdf") : QStringLiteral("sheet.pdf"));
        Machine m;
        applyStartupValues(m.app, 15, 15);
        EXPECT_TRUE(loadDocument(m_jhk.toStdString(), m).ok);
        const QString failure = writeWorksheet(m, Catalogue(JHK_APP_DIR), pdf, blank ? OperandStyle::Blank : OperandStyle::Filled,
                                               QStringLiteral("sample.jhk"));
        EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
        return pdf;
    }
    QTemporaryDir m_dir;
    QString m_jhk = m_dir.filePath(QStringLiteral("sample.jhk"));
};

TEST_F(Worksheet, OnePagePerProgrammedPartWithItsNumberKindVariablesAndEveryOperandInWords)
{
    const QString pdf = run(false);
    ASSERT_EQ(pdfPageCount(pdf), 3); // the button, the coin slot and the lever
    QString all;
    const int parts[] = {SampleButton, SampleCoinSlot, SampleLever};
    const Catalogue catalogue(JHK_APP_DIR);
    for (int page = 1; page <= 3; ++page) {
        const QString text = pdfPageText(pdf, page);
        const int part = parts[page - 1];
        EXPECT_TRUE(text.contains(QStringLiteral("パーツ番号%1").arg(part))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromStdString(catalogue.kindName(part == SampleButton ? KindButton
                                                                             : part == SampleCoinSlot ? KindCoinSlot
                                                                                                       : KindLever))));
        for (const char *exit : {"開始", "終了"})
            EXPECT_TRUE(text.contains(QString::fromUtf8(exit))) << page;
        all += text;
    }
    for (const char *words : SampleOperandWords)
        EXPECT_TRUE(all.contains(withoutSpaces(QString::fromUtf8(words)))) << words;
    for (const char *name : {"商品排出", "カウンター減算", "在庫減数", "購買可ランプ消灯", "売切ランプ点灯", "条件分岐",
                             "投入金加算", "購買可ランプ点灯", "釣銭排出", "成立", "不成立"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(name))) << name;
    // The button's page: its variables are listed with the catalogue's names.
    EXPECT_TRUE(pdfPageText(pdf, 1).contains(QStringLiteral("変数A"))) << pdfPageText(pdf, 1).toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("sample.jhk")));
}

TEST_F(Worksheet, TheBlankVariantLeavesEveryOperandEmpty)
{
    const QString pdf = run(true);
    ASSERT_EQ(pdfPageCount(pdf), 3);
    QString all;
    for (int page = 1; page <= 3; ++page)
        all += pdfPageText(pdf, page);
    for (const char *words : SampleOperandWords)
        EXPECT_FALSE(all.contains(withoutSpaces(QString::fromUtf8(words)))) << words;
    EXPECT_TRUE(all.contains(withoutSpaces(QStringLiteral("商品排出（　）番の商品を（　）番の出口へ")))) << all.toStdString();
    EXPECT_TRUE(all.contains(withoutSpaces(QStringLiteral("条件分岐（　）番の（　）＝（　）"))));
}

TEST_F(Worksheet, AMachineWithoutProgramsOrAnUnwritableFileIsRefusedAndNothingIsLeftBehind)
{
    Machine empty;
    applyStartupValues(empty.app, 15, 15);
    const Catalogue catalogue(JHK_APP_DIR);
    const QString pdf = m_dir.filePath(QStringLiteral("empty.pdf"));
    EXPECT_FALSE(writeWorksheet(empty, catalogue, pdf, OperandStyle::Filled).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(pdf));

    const QString failure = writeWorksheet(*sampleMachine(), catalogue, m_dir.filePath(QStringLiteral("no/such/x.pdf")),
                                           OperandStyle::Filled);
    EXPECT_TRUE(failure.contains(QStringLiteral("x.pdf"))) << failure.toStdString();
    EXPECT_EQ(runPrintCommand({QStringLiteral("--worksheet"), m_dir.filePath(QStringLiteral("missing.jhk")), pdf}), 1);
    EXPECT_FALSE(QFileInfo::exists(pdf));

    // The command line writes the same pages.
    EXPECT_EQ(runPrintCommand({QStringLiteral("--worksheet"), QStringLiteral("--blank"), m_jhk, pdf}), 0);
    EXPECT_EQ(pdfPageCount(pdf), 3);
}

// The flowchart on paper, for the sample's programs, a crowded part and a block dropped onto
// the start box, filled in and blank: every box says its block and operands in full; a blank
// leaves 15 mm to write in; no box covers another or the start or end box; each exit's
// caption covers no box and no other caption; a flowchart too tall for a page goes on over
// more, its lines marked with the same letter on both sides of the cut.
TEST_F(Worksheet, TheFlowchartIsLaidOutLargeEnoughToReadAndWriteInWithNothingCovered)
{
    const std::unique_ptr<Machine> sample = sampleMachine();
    struct Case {
        const char *name;
        PartsRecord part;
        int pages;
    };
    const Case cases[] = {{"button", sample->part(SampleButton), 1},
                          {"coin slot", sample->part(SampleCoinSlot), 1},
                          {"lever", sample->part(SampleLever), 1},
                          {"crowded", crowdedPart(), 0},
                          {"on the start box", blockOnTheStartBox(), 1}};
    const double width = 180 * worksheet::PixelsPerMm;
    const double height = 240 * worksheet::PixelsPerMm;
    for (const Case &c : cases) {
        for (const OperandStyle style : {OperandStyle::Filled, OperandStyle::Blank}) {
            SCOPED_TRACE(std::string(c.name) + (style == OperandStyle::Blank ? " blank" : " filled"));
            const WorksheetFlowchart f = layoutWorksheetFlowchart(c.part, style, width, height, QtPaperMeasure());
            EXPECT_LE(f.width, width + 0.5);
            if (c.pages > 0)
                EXPECT_EQ(f.pages(), c.pages);
            else
                EXPECT_GT(f.pages(), 1);
            for (int page = 0; page < f.pages(); ++page)
                EXPECT_LE(f.sliceBottom(page) - f.sliceTop(page), height + 0.5) << page;

            int blocks = 0;
            for (const BlockRecord &b : c.part.Blocks)
                blocks += b.isUsed() ? 1 : 0;
            ASSERT_EQ(static_cast<int>(f.boxes.size()), blocks);
            EXPECT_FALSE(f.start.intersects(f.end));
            std::vector<PaperRect> solid{f.start, f.end};
            for (const WorksheetBox &box : f.boxes) {
                const BlockRecord &b = c.part.Blocks[static_cast<std::size_t>(box.slot)];
                EXPECT_EQ(boxText(box), withoutSpaces(QString::fromStdString(blockInWords(b, style))).toStdString());
                for (const PaperRect &other : solid)
                    EXPECT_FALSE(box.rect.intersects(other)) << box.slot;
                solid.push_back(box.rect);
                for (const WorksheetRun &r : box.runs) {
                    EXPECT_TRUE(box.rect.contains(r.rect)) << box.slot << " " << r.text;
                    if (r.blank)
                        EXPECT_GE(r.room.w / worksheet::PixelsPerMm, worksheet::BlankMm - 1e-9);
                }
                // Nothing is split between two pages.
                for (const double cut : f.cuts)
                    EXPECT_FALSE(box.rect.y < cut && cut < box.rect.bottom()) << box.slot;
            }
            const bool branches = std::any_of(c.part.Blocks.begin(), c.part.Blocks.end(),
                                              [](const BlockRecord &b) { return b.isUsed() && b.Kind == BlockBranch; });
            EXPECT_EQ(f.captions.empty(), !branches);
            for (std::size_t i = 0; i < f.captions.size(); ++i) {
                const PaperRect r = f.captions[i].rect;
                for (const PaperRect &s : solid)
                    EXPECT_FALSE(r.intersects(s)) << f.captions[i].text;
                for (std::size_t j = 0; j < i; ++j)
                    EXPECT_FALSE(r.intersects(f.captions[j].rect)) << f.captions[i].text;
            }
            if (f.pages() > 1) {
                EXPECT_FALSE(f.marks.empty());
                for (const WorksheetCutMark &m : f.marks)
                    EXPECT_DOUBLE_EQ(m.at.y, f.cuts[static_cast<std::size_t>(m.cut)]);
            }
        }
    }
}

// On the written pages: the boxes' words in 10.5 pt, each blank's brackets 15 mm apart, the
// start and end boxes on the page, and a crowded part on as many pages as it needs, each page
// saying which part it is and which of its pages.
TEST_F(Worksheet, PrintedWordsAreLargeAndBlanksWideOnEveryPage)
{
    const QString pdf = run(true);
    for (int page = 1; page <= 3; ++page) {
        const std::vector<Word> words = pageWords(pdf, page);
        int brackets = 0;
        bool start = false;
        bool end = false;
        for (std::size_t i = 0; i < words.size(); ++i) {
            const Word &w = words[i];
            start = start || w.text == QStringLiteral("開始");
            end = end || w.text == QStringLiteral("終了");
            if (w.text == QStringLiteral("商品排出") || w.text == QStringLiteral("条件分岐") || w.text == QStringLiteral("開始"))
                EXPECT_GE(w.bottom - w.top, 10.5 - 0.01) << w.text.toStdString();
            // A blank's "（" in a box (the header's name line has one too) and the nearest
            // "）" right of it on its line.
            if (w.text != QStringLiteral("（") || w.top < 100)
                continue;
            ++brackets;
            double closing = 1e9;
            for (const Word &v : words)
                if (v.text.startsWith(QStringLiteral("）")) && std::abs(v.top - w.top) < 1 && v.left > w.right)
                    closing = std::min(closing, v.left);
            EXPECT_GE(closing - w.right, worksheet::BlankMm * PointsPerMm - 0.01);
            EXPECT_LT(closing - w.right, 2 * worksheet::BlankMm * PointsPerMm);
            EXPECT_GE(w.bottom - w.top, 10.5 - 0.01);
        }
        EXPECT_GT(brackets, 0) << page;
        EXPECT_TRUE(start && end) << page;
    }

    Machine m;
    applyStartupValues(m.app, 15, 15);
    m.part(7) = crowdedPart();
    const QString crowded = m_dir.filePath(QStringLiteral("crowded.pdf"));
    const QString failure = writeWorksheet(m, Catalogue(JHK_APP_DIR), crowded, OperandStyle::Blank);
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
    const int pages = pdfPageCount(crowded);
    ASSERT_GT(pages, 1);
    QString all;
    for (int page = 1; page <= pages; ++page) {
        const QString text = pdfPageText(crowded, page);
        EXPECT_TRUE(text.contains(QStringLiteral("パーツ番号7"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("（%1/%2）").arg(page).arg(pages))) << text.toStdString();
        all += text;
    }
    EXPECT_TRUE(all.startsWith(QStringLiteral("パーツ番号7")));
    EXPECT_TRUE(all.contains(QStringLiteral("開始")));
    EXPECT_TRUE(all.contains(QStringLiteral("終了")));
    EXPECT_EQ(all.count(QStringLiteral("カウンター減算")), 3);
}

} // namespace
} // namespace jhk
