#include "paint/PaintSession.h"
#include "paint/PaletteModel.h"

#include <gtest/gtest.h>

using namespace jhk;

TEST(PaletteModel, BarsSetValueHexAndTheTargetColourAtOnce)
{
    PaintSession session;
    PaletteModel palette(session);
    session.state().PaletteTarget = TargetFront;
    palette.activate();
    EXPECT_EQ(palette.title(), QStringLiteral("前景色"));
    EXPECT_EQ(palette.value(PaletteModel::Red), 0);

    palette.pressBar(PaletteModel::Red, 37.6);
    EXPECT_EQ(palette.value(PaletteModel::Red), 37);
    EXPECT_DOUBLE_EQ(palette.markerX(PaletteModel::Red), 37.6);
    EXPECT_EQ(palette.hexText(PaletteModel::Red), QStringLiteral("25"));
    palette.pressBar(PaletteModel::Blue, 10);
    EXPECT_EQ(palette.hexText(PaletteModel::Blue), QStringLiteral("0A"));
    EXPECT_EQ(session.state().FrontColor, 0x0A0025u);

    // Dragging past the end clamps to 255; without the left button nothing happens.
    palette.dragBar(PaletteModel::Red, 300, true);
    palette.dragBar(PaletteModel::Blue, 0, true);
    palette.dragBar(PaletteModel::Green, 128, false);
    EXPECT_EQ(session.state().FrontColor, 0x0000FFu);
    EXPECT_EQ(palette.hexText(PaletteModel::Red), QStringLiteral("FF"));
}

TEST(PaletteModel, EachTargetShowsItsOwnColourAndTitle)
{
    PaintSession session;
    PaletteModel palette(session);
    session.state().PaletteTarget = TargetBack;
    palette.activate();
    EXPECT_EQ(palette.title(), QStringLiteral("背景色"));
    EXPECT_EQ(palette.hexText(PaletteModel::Green), QStringLiteral("FF"));

    session.state().PaletteTarget = 12;
    palette.activate();
    EXPECT_EQ(palette.title(), QStringLiteral("パレット 12"));
    EXPECT_EQ(palette.value(PaletteModel::Green), 0x80);
    palette.pressBar(PaletteModel::Green, 0);
    EXPECT_EQ(session.swatch(12), 0x0000FFu);
    EXPECT_EQ(session.state().FrontColor, ColourBlack);
    EXPECT_EQ(session.state().BackgroundColor, ColourWhite);
    session.pressSwatch(12, ButtonLeft);
    EXPECT_EQ(session.state().FrontColor, 0x0000FFu);
    session.pressSwatch(13, ButtonRight);
    EXPECT_EQ(session.state().BackgroundColor, 0x00FFFFu);
}

TEST(PaletteModel, SwapTwiceRestoresAndResetGivesBlackOnWhite)
{
    PaintSession session;
    session.setFrontColour(0x123456);
    session.setBackColour(0x654321);
    session.swapColours();
    EXPECT_EQ(session.state().FrontColor, 0x654321u);
    session.swapColours();
    EXPECT_EQ(session.state().FrontColor, 0x123456u);
    EXPECT_EQ(session.state().BackgroundColor, 0x654321u);
    session.resetColours();
    EXPECT_EQ(session.state().FrontColor, ColourBlack);
    EXPECT_EQ(session.state().BackgroundColor, ColourWhite);
}

TEST(PaletteModel, RedFrontColourReachesTheNextPenStroke)
{
    PaintSession session;
    session.start(QImage(10, 10, QImage::Format_RGB32));
    session.drawing().fill(Qt::white);
    PaletteModel palette(session);
    palette.activate();
    palette.dragBar(PaletteModel::Red, 255, true);
    session.press(ButtonLeft, QPoint(2, 2));
    session.release(ButtonLeft, QPoint(2, 2));
    EXPECT_EQ(session.drawing().pixel(2, 2), 0xFFFF0000);
}
