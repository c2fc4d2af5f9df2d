#include "PrintTestSupport.h"
#include "SampleMachine.h"

#include "document/JhkDocument.h"
#include "print/PrintCommand.h"

#include <QFile>
#include <QFileInfo>

namespace jhk {
namespace {

using namespace printtest;

QStringList args(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *a : list)
        out << QString::fromUtf8(a);
    return out;
}

// A class's folder: three machines whose names differ in letter case and in number length,
// a damaged one, and files that are not machines.
class ClassFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *name : {"pupil10.JHK", "pupil2.jhk", "Pupil1.Jhk"}) {
            auto m = sampleMachine();
            m->app.MoneyInHand = static_cast<std::int16_t>(QString::fromLatin1(name).size() * 100);
            ASSERT_TRUE(saveDocument(path(name).toStdString(), *m).ok);
        }
        write("pupil3.jhk", "JIHANKOBO Ver 1.damaged beyond repair");
        write("notes.txt", "not a machine");
        QDir(m_dir.path()).mkpath(QStringLiteral("old.jhk")); // a folder named like a machine
    }
    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    void write(const char *name, const QByteArray &bytes)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir m_dir;
    QTemporaryDir m_out;
};

TEST_F(ClassFolder, AFolderBecomesOnePageForEachMachineInNameOrderAndADamagedOneMakesTheStatusOne)
{
    const QString pdf = m_out.filePath(QStringLiteral("class.pdf"));
    EXPECT_EQ(runPrintCommand({QStringLiteral("--print-pdf"), pdf, m_dir.path()}), 1);
    ASSERT_EQ(pdfPageCount(pdf), 3);
    const char *order[] = {"Pupil1.Jhk", "pupil2.jhk", "pupil10.JHK"};
    for (int page = 1; page <= 3; ++page) {
        const QString text = pdfPageText(pdf, page);
        EXPECT_TRUE(text.contains(QString::fromUtf8(order[page - 1]))) << page << ": " << text.toStdString();
        for (const char *expected : {"ジハンコウボウ", "No.0", "No.5"})
            EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << page << " " << expected;
    }
}

TEST_F(ClassFolder, MachinesAndFoldersMixAndAllReadableGivesStatusZero)
{
    const QString pdf = m_out.filePath(QStringLiteral("two.pdf"));
    EXPECT_EQ(runPrintCommand({QStringLiteral("--print-pdf"), pdf, path("pupil2.jhk"), path("Pupil1.Jhk")}), 0);
    ASSERT_EQ(pdfPageCount(pdf), 2);
    EXPECT_TRUE(pdfPageText(pdf, 1).contains(QStringLiteral("pupil2.jhk"))); // files keep the order given
    EXPECT_TRUE(pdfPageText(pdf, 2).contains(QStringLiteral("Pupil1.Jhk")));

    // Nothing readable at all: no file is written.
    const QString none = m_out.filePath(QStringLiteral("none.pdf"));
    EXPECT_EQ(runPrintCommand({QStringLiteral("--print-pdf"), none, path("pupil3.jhk"), path("missing.jhk")}), 1);
    EXPECT_FALSE(QFileInfo::exists(none));
}

TEST_F(ClassFolder, TheOneMachineFormOfPrintPdfStaysAsItWas)
{
    const QString pdf = m_out.filePath(QStringLiteral("one.pdf"));
    EXPECT_EQ(runPrintCommand({QStringLiteral("--print-pdf"), path("pupil2.jhk"), pdf}), 0);
    ASSERT_EQ(pdfPageCount(pdf), 1);
    EXPECT_FALSE(pdfPageText(pdf, 1).contains(QStringLiteral("pupil2.jhk"))); // no file name in its header
}

// The file name says whose page it is: a long one is shrunk or wrapped, all of it on the page.
TEST_F(ClassFolder, ALongFileNameIsPrintedWholeWithinThePage)
{
    const QString name = QStringLiteral("6年2組_出席番号12_たなかはなこ_じどうはんばいき_さいごのていしゅつばん_そのに.jhk");
    const QString jhk = m_dir.filePath(name);
    ASSERT_TRUE(QFile::copy(path("pupil2.jhk"), jhk));
    const QString pdf = m_out.filePath(QStringLiteral("long.pdf"));
    ASSERT_EQ(runPrintCommand({QStringLiteral("--print-pdf"), pdf, jhk}), 0);
    EXPECT_TRUE(pdfPageText(pdf, 1).contains(name)) << pdfPageText(pdf, 1).toStdString();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const double right = printer.pageLayout().paintRect(QPageLayout::Point).width();
    for (const Word &w : PrintedPage(pdf, pdfPrintableTopLeft()).words())
        EXPECT_LE(w.right, right + 0.5) << w.text.toStdString();
}

TEST(PrintCommandLine, BadCommandLinesAreStatusTwoAndOtherArgumentsAreNotPrintCommands)
{
    const QStringList bad[] = {
        args({"--print"}),
        args({"--print", "--copies", "0", "a.jhk"}),
        args({"--print", "--copies", "x", "a.jhk"}),
        args({"--print", "--printer"}),
        args({"--print", "--printer", "q"}),
        args({"--print", "--colour", "a.jhk"}),
        args({"--print-pdf", "out.pdf"}),
        args({"--worksheet", "a.jhk"}),
        args({"--worksheet", "--blank", "a.jhk", "b.pdf", "c"}),
        args({"--worksheet", "--wide", "a.jhk", "b.pdf"}),
    };
    for (const QStringList &a : bad)
        EXPECT_EQ(runPrintCommand(a), 2) << a.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(runPrintCommand(args({"machine.jhk"})), std::nullopt);
    EXPECT_EQ(runPrintCommand(args({"--export-flowchart", "a.jhk", "0", "b.png"})), std::nullopt);
}

} // namespace
} // namespace jhk
