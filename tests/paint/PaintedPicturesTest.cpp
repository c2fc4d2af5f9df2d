#include "PaintTestSupport.h"
#include "document/JhkDocument.h"
#include "model/AppPaths.h"
#include "model/Catalogue.h"
#include "model/Creation.h"
#include "paint/PaintedPictures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace jhk;
using namespace jhk::test;

namespace {

struct PaintedPicturesTest : testing::Test {
    QTemporaryDir dir;
    QString appFolder = QStringLiteral(JHK_APP_DIR);
    Machine machine;
    QImage drawn = whitePicture(QSize(34, 67));

    void SetUp() override
    {
        applyStartupValues(machine.app, 15, 15);
        machine.app.Level = 3;
        drawn.setPixel(3, 4, 0xFFFF0000);
    }
    int placeProduct()
    {
        const int slot = createPart(machine, KindProduct).slot;
        machine.part(slot).PictName = "\\bg\\kan_5.bmp"; // the property dialog's last picture
        return slot;
    }
    QString document() const { return dir.filePath(QStringLiteral("shop.jhk")); }
};

} // namespace

TEST_F(PaintedPicturesTest, APaintedPictureComesBackAfterSavingAndOpeningTheMachine)
{
    placeProduct();
    const int painted = placeProduct();
    PaintedPictures pictures;
    pictures.set(painted, drawn);

    ASSERT_FALSE(pictures.saveBeside(document(), machine));
    EXPECT_EQ(machine.part(painted).PictName, "shop_pictures\\part_01.bmp");
    EXPECT_EQ(machine.part(0).PictName, "\\bg\\kan_5.bmp");
    const SaveResult saved = saveDocument(document().toStdString(), machine);
    ASSERT_TRUE(saved.ok) << saved.message;

    Machine opened;
    ASSERT_TRUE(loadDocument(document().toStdString(), opened).ok);
    PaintedPictures reopened;
    reopened.set(5, drawn); // left over from the machine before: gone after opening
    reopened.loadBeside(document(), opened, appFolder);
    EXPECT_FALSE(reopened.has(5));
    EXPECT_FALSE(reopened.has(0)); // its picture is one of the application folder
    ASSERT_TRUE(reopened.has(painted));
    EXPECT_EQ(reopened.picture(painted).convertToFormat(QImage::Format_RGB32), drawn);

    // Saved under another name, the pictures follow the document.
    const QString other = dir.filePath(QStringLiteral("copy.jhk"));
    ASSERT_FALSE(reopened.saveBeside(other, opened));
    EXPECT_EQ(opened.part(painted).PictName, "copy_pictures\\part_01.bmp");
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("copy_pictures/part_01.bmp"))));
}

TEST_F(PaintedPicturesTest, WithoutPaintedPicturesTheDocumentStaysByteForByte)
{
    placeProduct();
    const auto before = encodeDocument(machine).bytes;
    PaintedPictures pictures;
    pictures.set(7, drawn); // a slot whose part was deleted
    ASSERT_FALSE(pictures.saveBeside(document(), machine));
    EXPECT_EQ(encodeDocument(machine).bytes, before);
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("shop_pictures"))).exists());
}

TEST_F(PaintedPicturesTest, AnUnwritableFolderIsReportedAndChangesNothing)
{
    const int slot = placeProduct();
    PaintedPictures pictures;
    pictures.set(slot, drawn);
    QFile blocker(dir.filePath(QStringLiteral("shop_pictures")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    const auto error = pictures.saveBeside(document(), machine);
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(QStringLiteral("保存できませんでした")));
    EXPECT_EQ(machine.part(slot).PictName, "\\bg\\kan_5.bmp");
}

TEST_F(PaintedPicturesTest, PicturesAreLookedForInTheApplicationFolderFirstThenBesideTheDocument)
{
    const std::string app = appFolder.toStdString();
    const std::string doc = document().toStdString();
    QDir(dir.path()).mkpath(QStringLiteral("bg"));
    QDir(dir.path()).mkpath(QStringLiteral("shop_pictures"));
    ASSERT_TRUE(drawn.save(dir.filePath(QStringLiteral("bg/kan_1.bmp")), "bmp"));
    ASSERT_TRUE(drawn.save(dir.filePath(QStringLiteral("shop_pictures/part_02.bmp")), "bmp"));

    EXPECT_EQ(findPartPicture(app, doc, "\\bg\\kan_1.bmp"), resolveInFolder(app, "\\bg\\kan_1.bmp"));
    EXPECT_EQ(findPartPicture(app, doc, "shop_pictures\\PART_02.BMP"),
              dir.filePath(QStringLiteral("shop_pictures/part_02.bmp")).toStdString());
    EXPECT_EQ(findPartPicture(app, doc, "dummy"), "");
    EXPECT_EQ(findPartPicture(app, doc, "..\\shop_pictures\\part_02.bmp"), "");
    EXPECT_EQ(findPartPicture(app, "", "shop_pictures\\part_02.bmp"), "");
}
