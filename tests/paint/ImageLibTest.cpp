#include "PaintTestSupport.h"
#include "paint/imagelib/FloodFill.h"
#include "paint/imagelib/Shapes.h"
#include "paint/imagelib/Zoom.h"

#include <gtest/gtest.h>

using namespace jhk;
using namespace jhk::test;

namespace {

constexpr QRgb Red = 0xFFFF0000;

QImage boxedPicture()
{
    // A black frame from (2, 2) to (7, 7) on a 12 × 12 white picture.
    QImage image = whitePicture(QSize(12, 12));
    pixels::drawRectangle(image, QPoint(2, 2), QPoint(7, 7), 1, Black, false, pixels::Stroke::Solid);
    return image;
}

} // namespace

TEST(FloodFill, FillsOnlyTheBoundedAreaAroundTheSeed)
{
    QImage image = boxedPicture();
    EXPECT_EQ(pixels::floodFill(image, QPoint(4, 4), Red), 16);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 3 && x <= 6 && y >= 3 && y <= 6;
            const bool frame = !inside && x >= 2 && x <= 7 && y >= 2 && y <= 7;
            EXPECT_EQ(image.pixel(x, y), inside ? Red : frame ? Black : White) << x << "," << y;
        }
}

TEST(FloodFill, DoesNotLeakThroughDiagonalGapsAndIgnoresSeedsOutside)
{
    QImage image = whitePicture(QSize(4, 4));
    // A diagonal line of black splits the picture for a fill along four neighbours.
    for (int i = 0; i < 4; ++i)
        image.setPixel(i, 3 - i, Black);
    EXPECT_EQ(pixels::floodFill(image, QPoint(0, 0), Red), 6);
    EXPECT_EQ(image.pixel(3, 3), White);
    EXPECT_EQ(pixels::floodFill(image, QPoint(-1, 2), Red), 0);
    EXPECT_EQ(pixels::floodFill(image, QPoint(0, 0), Red), 0); // already that colour
}

TEST(Zoom, EnlargingMakesTwoByTwoBlocksAndShrinkingGivesThePictureBack)
{
    QImage image = boxedPicture();
    image.setPixel(0, 11, Red);
    const QImage big = pixels::enlargeTwice(image);
    ASSERT_EQ(big.size(), QSize(24, 24));
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(big.pixel(x, y), image.pixel(x / 2, y / 2));
    EXPECT_EQ(pixels::shrinkTwice(big), image);
    EXPECT_EQ(pixels::shrinkTwice(pixels::shrinkTwice(pixels::enlargeTwice(big))), image);
}

TEST(Shapes, RectanglesAndEllipsesDoNotDependOnTheDragDirection)
{
    const QPoint a(3, 2), b(14, 9);
    const std::vector<std::pair<QPoint, QPoint>> corners = {
        {a, b}, {b, a}, {QPoint(b.x(), a.y()), QPoint(a.x(), b.y())}, {QPoint(a.x(), b.y()), QPoint(b.x(), a.y())}};
    QImage rectangles[4], ellipses[4];
    for (int i = 0; i < 4; ++i) {
        rectangles[i] = whitePicture(QSize(20, 12));
        ellipses[i] = whitePicture(QSize(20, 12));
        pixels::drawRectangle(rectangles[i], corners[i].first, corners[i].second, 2, Black, false,
                              pixels::Stroke::Solid);
        pixels::drawEllipse(ellipses[i], corners[i].first, corners[i].second, 1, Black, Red,
                            pixels::Stroke::Solid);
    }
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(rectangles[i], rectangles[0]) << i;
        EXPECT_EQ(ellipses[i], ellipses[0]) << i;
    }
    EXPECT_EQ(ellipses[0].pixel(8, 6), Red); // filled inside, outline kept
    EXPECT_EQ(inkedBounds(ellipses[0]), QRect(a, b));
}

TEST(Shapes, LinesPaintBothEndsAndDottedLinesLeaveGaps)
{
    QImage solid = whitePicture(QSize(12, 3));
    pixels::drawLine(solid, QPoint(10, 1), QPoint(1, 1), 1, Black, pixels::Stroke::Solid);
    EXPECT_EQ(inkedPixels(solid).size(), 10u);
    QImage dotted = whitePicture(QSize(12, 3));
    pixels::drawLine(dotted, QPoint(1, 1), QPoint(10, 1), 1, Black, pixels::Stroke::Dotted);
    EXPECT_EQ(dotted.pixel(1, 1), Black);
    EXPECT_EQ(inkedPixels(dotted).size(), 6u);
}
