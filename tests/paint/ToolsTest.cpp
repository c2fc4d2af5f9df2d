#include "PaintTestSupport.h"

#include <QFont>

#include <gtest/gtest.h>

using namespace jhk;
using namespace jhk::test;

namespace {

constexpr QRgb Red = 0xFFFF0000;

struct Tools : testing::Test {
    PaintSession session;
    void SetUp() override { session.start(whitePicture(QSize(40, 30))); }
    QImage &drawing() { return session.drawing(); }
};

} // namespace

TEST_F(Tools, OpeningStartsWithThePenBlackOnWhiteAndNothingToUndo)
{
    EXPECT_EQ(session.currentTool(), ToolPen);
    EXPECT_EQ(session.state().FrontColor, ColourBlack);
    EXPECT_EQ(session.state().BackgroundColor, ColourWhite);
    EXPECT_EQ(session.state().PaletteTarget, TargetFront);
    EXPECT_EQ(session.state().MaxWidth, 475);
    EXPECT_EQ(session.state().MaxHeight, 395);
    EXPECT_FALSE(session.canUndo());
    EXPECT_EQ(session.undoCaption(), QStringLiteral("元に戻せません"));
}

TEST_F(Tools, PenAtZoomOnePaintsADotAndJoinsPoints)
{
    click(session, ButtonLeft, QPoint(5, 6));
    EXPECT_EQ(inkedPixels(drawing()), std::vector<QPoint>{QPoint(5, 6)});

    drag(session, ButtonLeft, {QPoint(10, 10), QPoint(20, 10)});
    EXPECT_EQ(inkedPixels(drawing()).size(), 1u + 11u); // the segment has no gaps

    // The right button draws in the back colour; wider pens paint squares.
    session.setBackColour(colourFromRgb(255, 0, 0));
    session.choosePenWidth(1); // 2 pixels
    click(session, ButtonRight, QPoint(30, 20));
    EXPECT_EQ(drawing().pixel(29, 19), Red);
    EXPECT_EQ(drawing().pixel(30, 20), Red);
    EXPECT_EQ(drawing().pixel(31, 21), White);
}

TEST_F(Tools, PenAtZoomTwoPaintsCellsOnTheGridWithoutJoiningThem)
{
    session.state().Zoom = 2;
    drag(session, ButtonLeft, {QPoint(5, 7), QPoint(11, 7)});
    const std::vector<QPoint> expected = {QPoint(4, 6), QPoint(5, 6), QPoint(10, 6), QPoint(11, 6),
                                          QPoint(4, 7), QPoint(5, 7), QPoint(10, 7), QPoint(11, 7)};
    EXPECT_EQ(inkedPixels(drawing()), expected);
}

TEST_F(Tools, EraserUsesItsSizeAndTheRightButtonErasesNothing)
{
    drawing().fill(Qt::black);
    session.chooseTool(ToolEraser);
    for (int entry = 0; entry < 5; ++entry) {
        session.chooseEraserSize(entry);
        drawing().fill(Qt::black);
        click(session, ButtonLeft, QPoint(10, 5));
        const int side = EraserSizes[static_cast<std::size_t>(entry)];
        const auto white = 40 * 30 - inkedPixels(drawing()).size();
        EXPECT_EQ(white, std::size_t(side * side)) << side;
        EXPECT_EQ(drawing().pixel(10, 5), White);
        EXPECT_EQ(drawing().pixel(10 + side - 1, 5 + side - 1), White);
    }
    EXPECT_EQ(session.undoCaption(), QStringLiteral("元に戻す - 消しゴム(&B)"));

    const QImage before = drawing();
    session.undoCopy().fill(Qt::green);
    drag(session, ButtonRight, {QPoint(3, 3), QPoint(20, 20)});
    EXPECT_EQ(drawing(), before);
    EXPECT_EQ(session.undoCopy().pixel(0, 0), 0xFF00FF00); // the undo copy was left alone
}

TEST_F(Tools, FillPaintsTheBoundedAreaAndKeepsFillingWhileHeld)
{
    session.chooseTool(ToolRectangle);
    drag(session, ButtonLeft, {QPoint(5, 5), QPoint(15, 12)});
    session.chooseTool(ToolFill);
    session.setFrontColour(colourFromRgb(255, 0, 0));
    drag(session, ButtonLeft, {QPoint(8, 8), QPoint(30, 25), QPoint(1, 1)});
    EXPECT_EQ(drawing().pixel(8, 8), Red);
    EXPECT_EQ(drawing().pixel(14, 11), Red);
    EXPECT_EQ(drawing().pixel(5, 5), Black);
    EXPECT_EQ(drawing().pixel(30, 25), White);
    EXPECT_EQ(session.undoCaption(), QStringLiteral("元に戻す - 塗りつぶし(&B)"));
}

TEST_F(Tools, ShapesFromEitherCornerAreTheSame)
{
    struct Case {
        int tool;
        float zoom;
        int fill;
        const char *caption;
    };
    const Case cases[] = {
        {ToolRectangle, 1, 0, "元に戻す - 四角(&B)"},
        {ToolRectangle, 1, 1, "元に戻す - 四角(&B)"},
        {ToolEllipse, 1, 1, "元に戻す - 丸(&B)"},
        {ToolLine, 1, 0, "元に戻す - ライン(&B)"},
    };
    for (const Case &c : cases) {
        QImage results[2];
        const std::pair<QPoint, QPoint> drags[2] = {{QPoint(4, 3), QPoint(20, 15)},
                                                    {QPoint(20, 15), QPoint(4, 3)}};
        for (int i = 0; i < 2; ++i) {
            session.start(whitePicture(QSize(40, 30)));
            session.state().Zoom = c.zoom;
            session.chooseFillShapes(c.fill);
            session.chooseTool(c.tool);
            drag(session, ButtonLeft, {drags[i].first, QPoint(30, 25), drags[i].second});
            results[i] = drawing();
            EXPECT_EQ(session.undoCaption(), QString::fromUtf8(c.caption));
        }
        EXPECT_EQ(results[0], results[1]) << c.tool << " fill " << c.fill;
        EXPECT_EQ(inkedBounds(results[0]), QRect(QPoint(4, 3), QPoint(20, 15))) << c.tool;
    }
}

TEST_F(Tools, RectangleAtZoomTwoLiesOnTheGrid)
{
    session.state().Zoom = 2;
    session.chooseTool(ToolRectangle);
    drag(session, ButtonLeft, {QPoint(3, 3), QPoint(13, 9)});
    EXPECT_EQ(inkedBounds(drawing()), QRect(QPoint(2, 2), QPoint(11, 7)));
    EXPECT_EQ(drawing().pixel(3, 3), Black);
    EXPECT_EQ(drawing().pixel(4, 4), White);
}

TEST_F(Tools, PreviewsComeFromACleanCopyAndASecondButtonCancelsTheDrag)
{
    session.chooseTool(ToolLine);
    session.press(ButtonLeft, QPoint(2, 2));
    session.move(ButtonLeft, QPoint(30, 2));
    session.move(ButtonLeft, QPoint(2, 20));
    EXPECT_EQ(drawing().pixel(20, 2), White); // the first preview is gone
    EXPECT_EQ(drawing().pixel(2, 3), Black);  // the current one is dotted
    EXPECT_EQ(drawing().pixel(2, 4), White);

    session.press(ButtonRight, QPoint(5, 5));
    EXPECT_TRUE(inkedPixels(drawing()).empty());
    EXPECT_FALSE(session.canUndo());
    session.move(ButtonLeft | ButtonRight, QPoint(10, 10));
    session.release(ButtonRight, QPoint(10, 10));
    session.release(ButtonLeft, QPoint(10, 10));
    EXPECT_TRUE(inkedPixels(drawing()).empty());
}

TEST_F(Tools, UndoIsOneLevelAndNamesTheLastAction)
{
    click(session, ButtonLeft, QPoint(1, 1));
    click(session, ButtonLeft, QPoint(3, 3));
    EXPECT_EQ(session.undoCaption(), QStringLiteral("元に戻す - ペン(&B)"));
    session.undo();
    EXPECT_EQ(inkedPixels(drawing()), std::vector<QPoint>{QPoint(1, 1)});
    EXPECT_FALSE(session.canUndo());
    EXPECT_EQ(session.undoCaption(), QStringLiteral("元に戻せません"));
    session.undo();
    EXPECT_EQ(inkedPixels(drawing()).size(), 1u);

    // A dropper press refreshes the undo copy: the item stays, but undo changes nothing.
    click(session, ButtonLeft, QPoint(5, 5));
    session.chooseTool(ToolDropper);
    click(session, ButtonLeft, QPoint(20, 20));
    EXPECT_EQ(session.undoCaption(), QStringLiteral("元に戻す - ペン(&B)"));
    const QImage before = drawing();
    session.undo();
    EXPECT_EQ(drawing(), before);
}

TEST_F(Tools, DropperTakesTheColourForTheButtonAndNothingOutside)
{
    drawing().setPixel(3, 4, Red);
    drawing().setPixel(5, 4, 0xFF00FF00);
    session.chooseTool(ToolDropper);
    click(session, ButtonLeft, QPoint(3, 4));
    EXPECT_EQ(session.state().FrontColor, 0x0000FFu);
    click(session, ButtonRight, QPoint(5, 4));
    EXPECT_EQ(session.state().BackgroundColor, 0x00FF00u);
    session.press(ButtonLeft, QPoint(-3, 50));
    EXPECT_EQ(session.state().FrontColor, 0x0000FFu);
}

TEST_F(Tools, ZoomInAndOutRoundTripsAGridDrawingAndStopsAtItsLimits)
{
    session.chooseTool(ToolRectangle);
    drag(session, ButtonLeft, {QPoint(4, 4), QPoint(12, 9)});
    const QImage original = drawing();
    session.chooseTool(ToolZoom);
    for (int i = 0; i < 4; ++i)
        click(session, ButtonLeft, QPoint(0, 0));
    EXPECT_EQ(session.state().Zoom, 8);
    EXPECT_EQ(session.size(), QSize(320, 240));
    EXPECT_EQ(session.undoCopy().size(), QSize(320, 240));
    EXPECT_FALSE(session.canUndo());

    session.chooseTool(ToolPen);
    click(session, ButtonLeft, QPoint(42, 45)); // a cell of the zoom grid: pixel (5, 5)
    session.chooseTool(ToolZoom);
    for (int i = 0; i < 4; ++i)
        click(session, ButtonRight, QPoint(0, 0));
    EXPECT_EQ(session.state().Zoom, 1);
    QImage expected = original;
    expected.setPixel(5, 5, Black);
    EXPECT_EQ(drawing(), expected);
}

TEST_F(Tools, CopiesFollowTheZoomedSizeWithTheirContentUnscaledInTheCorner)
{
    // The base copy taken before zooming comes back, unscaled in the top-left corner, when the
    // select tool is pressed after zooming in.
    session.chooseTool(ToolRectangle);
    drag(session, ButtonLeft, {QPoint(30, 20), QPoint(39, 29)});
    const QImage original = drawing();
    session.zoomIn();
    const QImage zoomed = drawing();
    session.chooseTool(ToolSelect);
    session.press(ButtonLeft, QPoint(1, 1));
    EXPECT_EQ(drawing(), keptFromTopLeft(original, QSize(80, 60), QSize(40, 30)));
    session.release(ButtonLeft, QPoint(1, 1));

    // A copy shrunk with the drawing and grown again has lost what lay outside the small size.
    session.chooseTool(ToolPen);
    drawing() = zoomed;
    click(session, ButtonLeft, QPoint(0, 0)); // the base copy is now the zoomed picture
    const QImage withDot = drawing();
    session.zoomOut();
    session.zoomIn();
    session.chooseTool(ToolSelect);
    session.press(ButtonLeft, QPoint(1, 1));
    EXPECT_EQ(drawing(), keptFromTopLeft(withDot, QSize(80, 60), QSize(40, 30)));
    EXPECT_EQ(session.baseCopy().size(), QSize(80, 60));
    EXPECT_EQ(session.undoCopy().size(), QSize(80, 60));
}

TEST_F(Tools, ZoomingInStopsBeforeThePictureOutgrowsMemory)
{
    session.start(whitePicture(QSize(2100, 2000)));
    session.zoomIn();
    EXPECT_EQ(session.state().Zoom, 1);
    EXPECT_EQ(session.size(), QSize(2100, 2000));
}

TEST_F(Tools, OkWhileZoomedHandsBackThePictureAtItsOwnSize)
{
    click(session, ButtonLeft, QPoint(7, 7));
    session.zoomIn();
    session.zoomIn();
    const QImage picture = session.okPicture();
    EXPECT_EQ(picture.size(), QSize(40, 30));
    EXPECT_EQ(inkedPixels(picture), std::vector<QPoint>{QPoint(7, 7)});
}

TEST_F(Tools, SelectionFrameStaysUntilTheToolChangesAndIsPartOfThePicture)
{
    session.chooseTool(ToolSelect);
    drag(session, ButtonLeft, {QPoint(2, 2), QPoint(10, 10)});
    EXPECT_EQ(drawing().pixel(2, 2), Black);
    EXPECT_EQ(session.okPicture().pixel(2, 2), Black);
    EXPECT_FALSE(session.canUndo());
    session.chooseTool(ToolPen);
    EXPECT_TRUE(inkedPixels(drawing()).empty());
}

TEST_F(Tools, TextIsPlacedWithTheLeftButtonInThePressColour)
{
    session.chooseTool(ToolText);
    session.setBackColour(colourFromRgb(255, 0, 0));
    click(session, ButtonRight, QPoint(4, 4));
    ASSERT_TRUE(session.textBox().visible);
    session.setTypedText(QStringLiteral("あA"));
    session.clickTextBox(ButtonRight, QFont());
    EXPECT_TRUE(inkedPixels(drawing()).empty());
    session.clickTextBox(ButtonLeft, QFont());
    EXPECT_FALSE(session.textBox().visible);
    EXPECT_TRUE(session.textBox().text.isEmpty());
    const auto ink = inkedPixels(drawing());
    ASSERT_FALSE(ink.empty());
    for (QPoint p : ink)
        EXPECT_EQ(drawing().pixel(p), Red);
    EXPECT_GE(inkedBounds(drawing()).left(), 4);
    EXPECT_EQ(session.undoCaption(), QStringLiteral("元に戻す - 文字(&B)"));
}

TEST_F(Tools, OptionPanelsSelectByStrictlyInsideClicks)
{
    EXPECT_EQ(lineWidthEntryAt(20, 10), 0);
    EXPECT_EQ(lineWidthEntryAt(20, 40), 3);
    EXPECT_EQ(lineWidthEntryAt(7, 10), -1);
    EXPECT_EQ(lineWidthEntryAt(20, 14), -1);
    EXPECT_EQ(fillShapesEntryAt(20, 15), 0);
    EXPECT_EQ(fillShapesEntryAt(20, 40), 1);
    EXPECT_EQ(fillShapesEntryAt(36, 40), -1);
}
