#include "PrintTestSupport.h"
#include "SampleMachine.h"

#include "document/JhkDocument.h"
#include "model/Catalogue.h"
#include "print/PrintCommand.h"
#include "ui/Worksheet.h"

#include <QFile>
#include <QFileInfo>

namespace jhk {
namespace {

using namespace printtest;

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

} // namespace
} // namespace jhk
