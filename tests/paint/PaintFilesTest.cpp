#include "PaintTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace jhk;
using namespace jhk::test;

namespace {

struct PaintFiles : testing::Test {
    QTemporaryDir dir;
    PaintSession session;
    QImage opened;

    void SetUp() override
    {
        opened = whitePicture(QSize(30, 20));
        opened.setPixel(1, 1, Black);
        session.start(opened);
    }
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
};

} // namespace

TEST_F(PaintFiles, SaveWritesABitmapWhateverTheNameAndOpenReadsItBack)
{
    click(session, ButtonLeft, QPoint(5, 5));
    ASSERT_FALSE(session.savePicture(path("drawing.jpg")));
    QFile file(path("drawing.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("BM"));

    session.start(whitePicture(QSize(8, 8)));
    session.zoomIn();
    click(session, ButtonLeft, QPoint(0, 0));
    ASSERT_TRUE(session.openPicture(path("drawing.jpg")));
    EXPECT_EQ(session.state().Zoom, 1);
    EXPECT_FALSE(session.canUndo());
    EXPECT_EQ(session.size(), QSize(30, 20));
    EXPECT_EQ(inkedPixels(session.drawing()), (std::vector<QPoint>{QPoint(1, 1), QPoint(5, 5)}));
    EXPECT_EQ(session.cancelPicture(), session.drawing()); // the loaded picture is the first state
}

TEST_F(PaintFiles, AFileThatIsNoPictureLeavesTheDrawingAsItWas)
{
    click(session, ButtonLeft, QPoint(5, 5));
    QFile junk(path("junk.bmp"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("BM not really a bitmap");
    junk.close();
    const QImage before = session.drawing();
    for (const char *name : {"junk.bmp", "missing.gif"}) {
        EXPECT_FALSE(session.openPicture(path(name)));
        EXPECT_EQ(session.drawing(), before);
        EXPECT_TRUE(session.canUndo());
    }
}

TEST_F(PaintFiles, SavingIntoAMissingFolderReportsItAndWritesNothing)
{
    const auto error = session.savePicture(path("no/such/folder/x.bmp"));
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(QStringLiteral("書き込めません")));
    EXPECT_FALSE(QFile::exists(path("no/such/folder/x.bmp")));
}

TEST_F(PaintFiles, NewMakesTheEmptyPictureTheFirstState)
{
    click(session, ButtonLeft, QPoint(5, 5));
    session.newPicture();
    EXPECT_TRUE(inkedPixels(session.drawing()).empty());
    EXPECT_FALSE(session.canUndo());
    click(session, ButtonLeft, QPoint(6, 6));
    session.firstState();
    EXPECT_TRUE(inkedPixels(session.drawing()).empty());
    EXPECT_EQ(session.cancelPicture(), whitePicture(QSize(30, 20)));
}

TEST_F(PaintFiles, FirstStateAndCancelGiveTheOpeningPictureEvenAfterZoomingAndResizing)
{
    click(session, ButtonLeft, QPoint(5, 5));
    session.zoomIn();
    session.zoomOut();
    session.resizeDrawing(QSize(10, 10));
    EXPECT_EQ(session.cancelPicture(), opened);
    session.zoomIn();
    session.firstState();
    EXPECT_EQ(session.drawing(), opened);
    EXPECT_EQ(session.state().Zoom, 1);
    EXPECT_FALSE(session.canUndo());
}

TEST_F(PaintFiles, ResizingKeepsTheTopLeftAndAddsWhite)
{
    session.resizeDrawing(QSize(40, 5));
    EXPECT_EQ(session.size(), QSize(40, 5));
    EXPECT_EQ(session.undoCopy().size(), QSize(40, 5));
    EXPECT_EQ(session.baseCopy().size(), QSize(40, 5));
    EXPECT_EQ(inkedPixels(session.drawing()), std::vector<QPoint>{QPoint(1, 1)});
}
