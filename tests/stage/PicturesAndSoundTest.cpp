#include "model/Kinds.h"
#include "ui/QtSoundPlayer.h"
#include "ui/StagePictures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace jhk {
namespace {

TEST(StagePicturesTest, MissingOrBrokenPicturesBecomeVisiblePlaceholdersOfTheRightSize)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("bg"));
    QFile broken(dir.filePath(QStringLiteral("bg/kan_2.bmp")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("BM not really a picture");
    broken.close();

    StagePictures pictures(dir.path());
    for (const char *path : {"\\bg\\kan_1.bmp", "\\bg\\kan_2.bmp", "\\..\\etc\\passwd"}) {
        const QPixmap pix = pictures.partPicture(KindProduct, path);
        EXPECT_EQ(pix.size(), QSize(34, 67)) << path;
        EXPECT_NE(pix.toImage().pixel(0, 0), pix.toImage().pixel(20, 5)) << "something is drawn: " << path;
    }
    EXPECT_EQ(pictures.file("\\BG\\BG0.BMP", QSize(408, 500)).size(), QSize(408, 500));
}

TEST(StagePicturesTest, ApplicationFolderPicturesAreFoundWithoutRegardToCase)
{
    StagePictures pictures(QStringLiteral(JHK_APP_DIR));
    const QPixmap lamp = pictures.partPicture(KindButton, "\\BG\\Button_2.BMP");
    ASSERT_FALSE(lamp.isNull());
    EXPECT_EQ(lamp.size(), QPixmap(QStringLiteral(JHK_APP_DIR "/bg/button_2.bmp")).size());
}

TEST(QtSoundPlayerTest, NeverWaitsAndTellsHowLongASoundPlays)
{
    const auto length = QtSoundPlayer::waveLengthMs(QStringLiteral(JHK_APP_DIR "/kan.wav"));
    ASSERT_TRUE(length.has_value());
    EXPECT_GT(*length, 0);
    EXPECT_FALSE(QtSoundPlayer::waveLengthMs(QStringLiteral(JHK_APP_DIR "/jihan.ini")).has_value());

    // The run waits for a product's sound through the window's timer, never in the player.
    QtSoundPlayer player(QStringLiteral(JHK_APP_DIR));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(player.startWaited("no_such_sound.wav"), 0);
    EXPECT_EQ(player.startWaited("kan.wav"), *length);
    player.play("kan.wav", PlayMode::Sync);
    player.play("Money_1.wav", PlayMode::Async);
    EXPECT_LT(clock.elapsed(), 500);
    player.stop();
}

} // namespace
} // namespace jhk
