#include "paint/CanvasSizeModel.h"

#include <gtest/gtest.h>

using namespace jhk;
using Model = CanvasSizeModel;

namespace {

Model atFifteenTwips(QSize size) { return Model(size, QSize(475, 395), 15, 15); }

} // namespace

TEST(CanvasSizeModel, CentimetresAreCutToTwoDecimalsAndComeBackAsTheSamePixels)
{
    Model model = atFifteenTwips(QSize(120, 80));
    EXPECT_EQ(model.sizeText(Model::Width), QStringLiteral("120"));
    model.chooseUnit(Model::Centimetres);
    EXPECT_EQ(model.sizeText(Model::Width), QStringLiteral("3.17"));
    EXPECT_EQ(model.inputText(Model::Width), QStringLiteral("3.17"));
    EXPECT_FLOAT_EQ(model.value(Model::Width), 3.17f);
    model.chooseUnit(Model::Pixels);
    EXPECT_EQ(model.sizeText(Model::Width), QStringLiteral("119.82"));
    EXPECT_EQ(model.pixelSize(), QSize(120, 80));

    Model inches = atFifteenTwips(QSize(120, 80));
    inches.chooseUnit(Model::Inches);
    EXPECT_EQ(inches.sizeText(Model::Width), QStringLiteral("1.25"));
    EXPECT_EQ(inches.sizeText(Model::Height), QStringLiteral("0.83"));
    EXPECT_EQ(inches.pixelSize(), QSize(120, 80));
}

TEST(CanvasSizeModel, PresetsAreClampedToTheLargestSizeAndLockTheInputs)
{
    for (int preset = 0; preset < Model::PresetCount; ++preset) {
        Model model = atFifteenTwips(QSize(100, 100));
        model.choosePreset(preset);
        EXPECT_FALSE(model.inputsEnabled());
        EXPECT_EQ(model.inputText(Model::Width), QStringLiteral("475"));
        EXPECT_EQ(model.pixelSize(), QSize(475, 395)) << preset;
        model.chooseUserDefined();
        EXPECT_TRUE(model.inputsEnabled());
    }
}

TEST(CanvasSizeModel, TypedSizesAreNumbersClampedToTheLargest)
{
    Model model = atFifteenTwips(QSize(100, 100));
    model.typeInput(Model::Width, QStringLiteral("abc"));
    EXPECT_EQ(model.inputText(Model::Width), QString());
    EXPECT_EQ(model.sizeText(Model::Width), QStringLiteral("100"));
    model.typeInput(Model::Width, QStringLiteral("200"));
    EXPECT_EQ(model.sizeText(Model::Width), QStringLiteral("200"));
    model.typeInput(Model::Height, QStringLiteral(" 1000 "));
    EXPECT_EQ(model.sizeText(Model::Height), QStringLiteral("395"));
    EXPECT_EQ(model.pixelSize(), QSize(200, 395));

    model.typeInput(Model::Width, QStringLiteral("-3"));
    EXPECT_EQ(model.pixelSize().width(), 1); // never an empty drawing
}

TEST(CanvasSizeModel, ArrowsStepWholeUnitsBetweenOneAndTheLargest)
{
    Model model = atFifteenTwips(QSize(2, 394));
    model.stepArrow(Model::WidthDown);
    model.stepArrow(Model::WidthDown);
    EXPECT_EQ(model.sizeText(Model::Width), QStringLiteral("1"));
    model.stepArrow(Model::HeightUp);
    model.stepArrow(Model::HeightUp);
    EXPECT_EQ(model.sizeText(Model::Height), QStringLiteral("395"));

    model.chooseUnit(Model::Centimetres); // 1 px = 0.03 cm, 395 px = 10.44 cm
    model.stepArrow(Model::WidthUp);
    EXPECT_EQ(model.sizeText(Model::Width), QStringLiteral("1"));
    model.stepArrow(Model::HeightDown);
    EXPECT_EQ(model.sizeText(Model::Height), QStringLiteral("9"));
    EXPECT_EQ(model.pixelSize(), QSize(38, 340));
}
