// The pictures compiled into the program load from the resources with the sizes the windows
// lay out, and the pictures that work in pairs agree with each other.

#include "model/AppPaths.h"
#include "ui/StagePictures.h"

#include <QColor>
#include <QImage>
#include <QResource>
#include <QString>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Builtin {
    QString path;
    int width;
    int height;
};

std::vector<Builtin> builtins()
{
    std::vector<Builtin> list;
    const QSize kindSizes[8] = {{34, 67}, {43, 19}, {30, 30}, {121, 44}, {45, 39}, {112, 129}, {188, 70}, {40, 40}};
    for (int k = 0; k < 8; ++k) {
        list.push_back({QStringLiteral(":/builtin/kinds/kind_%1.png").arg(k), kindSizes[k].width(), kindSizes[k].height()});
        list.push_back({QStringLiteral(":/builtin/palette/palette_%1.bmp").arg(k), 64, 64});
    }
    for (int d = 0; d < 5; ++d)
        list.push_back({QStringLiteral(":/builtin/coins/coin_%1.png").arg(d), 30, 30});
    for (int n = 0; n < 4; ++n)
        list.push_back({QStringLiteral(":/builtin/thumbs/bg_%1.png").arg(n), 105, 119});
    list.push_back({QStringLiteral(":/builtin/thumbs/bg_4.png"), 123, 150});
    list.push_back({QStringLiteral(":/builtin/cursor_hand.png"), 32, 32});
    list.push_back({QStringLiteral(":/builtin/branch_incomplete.png"), 73, 25});
    list.push_back({QStringLiteral(":/builtin/branch_complete.png"), 73, 25});
    for (int t = 0; t < 10; ++t)
        list.push_back({QStringLiteral(":/builtin/paint/tool_%1.png").arg(t), 24, 24});
    list.push_back({QStringLiteral(":/builtin/paint/reset_colors.png"), 9, 9});
    list.push_back({QStringLiteral(":/builtin/paint/swap_colors.png"), 9, 9});
    return list;
}

QImage load(const QString &path)
{
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

TEST(BuiltinPictures, EachLoadsWithItsSize)
{
    for (const Builtin &b : builtins()) {
        SCOPED_TRACE(b.path.toStdString());
        const QImage image = load(b.path);
        ASSERT_FALSE(image.isNull()) << "missing from the resources";
        EXPECT_EQ(image.width(), b.width);
        EXPECT_EQ(image.height(), b.height);
    }
    // the splash fills its window; only a rough size is fixed
    const QImage splash = load(QStringLiteral(":/builtin/splash.bmp"));
    EXPECT_GE(splash.width(), 400);
    EXPECT_GE(splash.height(), 250);
}

// The splash and the palette are shown straight from the program's memory; each is the same
// picture any BMP reader sees, and a file of another layout or cut short is read no further
// than it goes.
TEST(BuiltinPictures, SplashAndPaletteAreShownFromWhereTheyLie)
{
    QStringList inPlace{QStringLiteral(":/builtin/splash.bmp")};
    for (int k = 0; k < 8; ++k)
        inPlace << QStringLiteral(":/builtin/palette/palette_%1.bmp").arg(k);
    for (const QString &path : inPlace) {
        SCOPED_TRACE(path.toStdString());
        const QResource resource(path);
        const QImage shown = jhk::StagePictures::builtInImage(path);
        ASSERT_FALSE(shown.isNull());
        EXPECT_EQ(shown, QImage(path).convertToFormat(shown.format()));
        EXPECT_GE(shown.constBits(), resource.data());
        EXPECT_LT(shown.constBits(), resource.data() + resource.size());
    }
    EXPECT_FALSE(jhk::StagePictures::builtInImage(inPlace[0]).hasAlphaChannel());
    EXPECT_TRUE(jhk::StagePictures::builtInImage(inPlace[1]).hasAlphaChannel());

    const QResource splash(inPlace[0]);
    const QImage shown = jhk::StagePictures::builtInImage(inPlace[0]);
    const QByteArray file(reinterpret_cast<const char *>(splash.data()), splash.size());
    // bytes one past a 4-byte boundary: the pixels are copied, the picture is the same
    QByteArray shifted(file.size() + 8, '\0');
    char *odd = shifted.data() + (4 - reinterpret_cast<quintptr>(shifted.constData()) % 4) % 4 + 1;
    std::memcpy(odd, file.constData(), static_cast<std::size_t>(file.size()));
    EXPECT_EQ(jhk::StagePictures::bitmapInPlace(reinterpret_cast<const uchar *>(odd), file.size()), shown);

    const QResource tile(inPlace[1]);
    const QByteArray withAlpha(reinterpret_cast<const char *>(tile.data()), tile.size());
    const auto put32 = [](QByteArray bytes, int at, quint32 value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    const struct {
        const char *what;
        QByteArray bytes;
    } refused[] = {
        {"cut short", file.left(file.size() - 1)},
        {"only a header", file.left(54)},
        {"not a BMP", put32(file, 0, 0x4e50)},
        {"bottom row first", put32(file, 22, 256)},
        {"24 bits a pixel", put32(file, 28, 24)},
        {"bit fields with the short header", put32(file, 30, 3)},
        {"pixels past the end", put32(file, 10, static_cast<quint32>(file.size()))},
        {"no width", put32(file, 18, 0)},
        {"absurd width", put32(file, 18, 0x7fffffff)},
        {"absurd height", put32(file, 22, 0x80000000)},
        {"alpha: red and blue swapped", put32(put32(withAlpha, 54, 0xff), 62, 0xff0000)},
        {"alpha: header cut short", withAlpha.left(100)},
        {"alpha: pixels inside the header", put32(withAlpha, 10, 56)},
    };
    for (const auto &r : refused)
        EXPECT_TRUE(jhk::StagePictures::bitmapInPlace(reinterpret_cast<const uchar *>(r.bytes.constData()),
                                                      r.bytes.size())
                        .isNull())
            << r.what;
}

// The amount display scales one digit cell into 17 × 26.4 pixels: ten cells side by side.
TEST(BuiltinPictures, DigitStripHoldsTenCellsOfTheDisplayShape)
{
    const QImage digits = load(QStringLiteral(":/builtin/digits.png"));
    ASSERT_FALSE(digits.isNull());
    ASSERT_EQ(digits.width() % 10, 0);
    const double cell = digits.width() / 10.0;
    EXPECT_NEAR(digits.height() / cell, 1.55, 0.05);
    // the strip is opaque: it is copied over the display's window, not blended
    for (int x = 0; x < digits.width(); ++x)
        ASSERT_EQ(qAlpha(digits.pixel(x, 0)), 255) << x;
}

// The wallet is painted with its mask ANDed and then the picture ORed: wherever the mask
// keeps the stage (white) the picture must be black, or the stage around it gets tinted.
TEST(BuiltinPictures, WalletAndMaskAgreePixelForPixel)
{
    const QImage wallet = load(QStringLiteral(":/builtin/wallet.png"));
    const QImage mask = load(QStringLiteral(":/builtin/wallet_mask.png"));
    ASSERT_FALSE(wallet.isNull());
    ASSERT_EQ(wallet.size(), mask.size());
    int inside = 0;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            const QRgb m = mask.pixel(x, y) & 0xffffff;
            ASSERT_TRUE(m == 0 || m == 0xffffff) << "mask is not pure black and white at " << x << "," << y;
            if (m == 0xffffff)
                ASSERT_EQ(wallet.pixel(x, y) & 0xffffff, 0u) << "picture not black outside at " << x << "," << y;
            else
                ++inside;
        }
    EXPECT_GT(inside, mask.width() * mask.height() / 2);
}

TEST(BuiltinPictures, PointingHandTouchesItsHotSpot)
{
    const QImage hand = load(QStringLiteral(":/builtin/cursor_hand.png"));
    ASSERT_FALSE(hand.isNull());
    EXPECT_GT(qAlpha(hand.pixel(11, 0)), 200) << "the fingertip is not at (11, 0)";
    EXPECT_LT(qAlpha(hand.pixel(4, 0)), 20);
    EXPECT_LT(qAlpha(hand.pixel(20, 0)), 20);
}

// A run switches a button back to "button_1.bmp" and a released lever to "rebaa_1.bmp": the
// built-in pictures of these kinds must look the same, or the part changes look on its own.
TEST(BuiltinPictures, ButtonAndLeverMatchTheirRestingFiles)
{
    const struct {
        QString builtin;
        const char *file;
    } pairs[] = {{QStringLiteral(":/builtin/kinds/kind_1.png"), "\\bg\\button_1.bmp"},
                 {QStringLiteral(":/builtin/kinds/kind_7.png"), "\\bg\\rebaa_1.bmp"}};
    for (const auto &pair : pairs) {
        SCOPED_TRACE(pair.file);
        const QImage builtin = load(pair.builtin);
        const QImage file = load(QString::fromStdString(jhk::resolveInFolder(JHK_APP_DIR, pair.file)));
        ASSERT_FALSE(file.isNull());
        ASSERT_EQ(builtin.size(), file.size());
        for (int y = 0; y < file.height(); ++y)
            for (int x = 0; x < file.width(); ++x)
                ASSERT_EQ(builtin.pixel(x, y), file.pixel(x, y)) << x << "," << y;
    }
}

} // namespace
