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

    const PrintedPage page(pdf, pdfPrintableTopLeft());
    for (const char *text : {"No.0", "No.2", "No.5", "ジハンコウボウ", "2670", "ラベルA", "ラベルB"})
        EXPECT_TRUE(page.find(QString::fromUtf8(text))) << text;
    const auto no2 = page.find(QStringLiteral("No.2"));
    ASSERT_TRUE(no2);
    EXPECT_NEAR(no2->left, 150, 2);
}

// A picture the pupil painted is kept beside the document, not in the program's folder.
TEST(PrintCommand, PaintedPicturesBesideTheDocumentArePrinted)
{
    QTemporaryDir dir;
    PrintedMachine pm;
    pm.machine->part(0).PictName = "machine_pictures\\part_00.bmp";
    QDir(dir.path()).mkpath(QStringLiteral("machine_pictures"));
    QImage painted(40, 30, QImage::Format_RGB32);
    painted.fill(Red);
    ASSERT_TRUE(painted.save(dir.filePath(QStringLiteral("machine_pictures/part_00.bmp")), "BMP"));
    const QString jhk = dir.filePath(QStringLiteral("machine.jhk"));
    ASSERT_TRUE(saveDocument(jhk.toStdString(), *pm.machine).ok);
    const QString pdf = dir.filePath(QStringLiteral("machine.pdf"));
    ASSERT_EQ(printMachineToPdf(jhk, pdf), 0);

    const PrintedPage page(pdf, pdfPrintableTopLeft());
    EXPECT_TRUE(near(page.colourAt(page.image(), 1500 + 35 * 15, 1500 + 25 * 15), Red));
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
