#include "model/Kinds.h"
#include "plugins/sound/QtSoundPlayer.h"
#include "ui/PluginSoundPlayer.h"
#include "ui/StagePictures.h"

#include <QCoreApplication>
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

TEST(PluginSoundPlayerTest, LoadsTheSoundLibraryWithTheFirstSoundOnly)
{
    std::vector<std::string> messages;
    PluginSoundPlayer player(QStringLiteral(JHK_APP_DIR), [&](const std::string &m) { messages.push_back(m); });
    player.stop();
    EXPECT_FALSE(player.loaded()) << "stopping before any sound loads nothing";

    const auto length = QtSoundPlayer::waveLengthMs(QStringLiteral(JHK_APP_DIR "/kan.wav"));
    ASSERT_TRUE(length.has_value());
    EXPECT_EQ(player.startWaited("kan.wav"), *length) << "the library's player tells the run how long to wait";
    EXPECT_TRUE(player.loaded());
    player.stop();
    EXPECT_TRUE(messages.empty());
}

TEST(PluginSoundPlayerTest, WithoutTheLibrarySoundsAreSilentAndTheMessageComesOnce)
{
    QTemporaryDir empty;
    std::vector<std::string> messages;
    PluginSoundPlayer player(empty.path(), [&](const std::string &m) { messages.push_back(m); },
                             QStringLiteral("jihankobo-no-such-library"));
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 3; ++i)
        player.play("kan.wav", PlayMode::Sync);
    player.stop();
    EXPECT_LT(clock.elapsed(), 500);
    EXPECT_FALSE(player.loaded());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages.front(), SoundLibraryMissing);
}

TEST(PluginLoaderTest, FindsALibraryBesideTheProgramOrInAGivenFolderAndExplainsAMissingOne)
{
    PluginLoader sound(QString::fromLatin1(SoundLibraryName), {QStringLiteral(JHK_APP_DIR)});
    const QStringList folders = sound.searchFolders();
    ASSERT_GE(folders.size(), 3);
    EXPECT_EQ(folders[0], QCoreApplication::applicationDirPath());
    EXPECT_EQ(folders[1], QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/jihankobo")));
    EXPECT_NE(sound.resolve(SoundLibraryEntry), nullptr) << sound.errorString().toStdString();
    EXPECT_TRUE(sound.fileName().endsWith(QStringLiteral("/jihankobo-sound.so"))) << sound.fileName().toStdString();

    PluginLoader missing(QStringLiteral("jihankobo-no-such-library"));
    EXPECT_FALSE(missing.load());
    EXPECT_EQ(missing.resolve("anything"), nullptr);
    EXPECT_TRUE(missing.errorString().contains(QStringLiteral("jihankobo-no-such-library")));
    EXPECT_TRUE(missing.fileName().isEmpty());
}

} // namespace
} // namespace jhk
