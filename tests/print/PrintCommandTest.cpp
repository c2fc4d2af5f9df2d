#include "PrintTestSupport.h"

#include "document/JhkDocument.h"
#include "print/PrintCommand.h"

#include <QFileInfo>

namespace jhk {
namespace {

using namespace printtest;

TEST(PrintCommand, PrintsADocumentsPageToPdfWithNumbers)
{
    QTemporaryDir dir;
    const PrintedMachine pm;
    const QString jhk = dir.filePath(QStringLiteral("machine.jhk"));
    ASSERT_TRUE(saveDocument(jhk.toStdString(), *pm.machine).ok);
    const QString pdf = dir.filePath(QStringLiteral("machine.pdf"));
    ASSERT_EQ(printMachineToPdf(jhk, pdf), 0);

    QPrinter printer(QPrinter::HighResolution);
    const PrintedPage page(pdf, printer.pageLayout().paintRect(QPageLayout::Point).topLeft());
    for (const char *text : {"No.0", "No.2", "No.5", "ジハンコウボウ", "2670", "ラベルA", "ラベルB"})
        EXPECT_TRUE(page.find(QString::fromUtf8(text))) << text;
    const auto no2 = page.find(QStringLiteral("No.2"));
    ASSERT_TRUE(no2);
    EXPECT_NEAR(no2->left, 150, 2);
}

TEST(PrintCommand, ADocumentThatCannotBeReadOrAPdfThatCannotBeWrittenFails)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    EXPECT_EQ(printMachineToPdf(dir.filePath(QStringLiteral("missing.jhk")), pdf), 1);
    EXPECT_FALSE(QFileInfo::exists(pdf));

    const QString jhk = dir.filePath(QStringLiteral("machine.jhk"));
    ASSERT_TRUE(saveDocument(jhk.toStdString(), *PrintedMachine().machine).ok);
    EXPECT_EQ(printMachineToPdf(jhk, dir.filePath(QStringLiteral("no-folder/out.pdf"))), 1);
}

} // namespace
} // namespace jhk
