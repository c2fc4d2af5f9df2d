// Every picture and sound the program reads from its folder is there, beside the programs
// in the build tree and in the installed folder, and is what the program expects.

#include "model/AppPaths.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <QtEndian>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct PictureFile {
    std::string storedPath; // as documents and the program name it
    int width;
    int height;
};

std::vector<PictureFile> pictureFiles()
{
    std::vector<PictureFile> files;
    // the start value of the background is written in capitals, the others as the start
    // window builds them
    files.push_back({"\\BG\\BG0.BMP", 408, 500});
    for (int n = 1; n < 5; ++n)
        files.push_back({"\\BG\\BG" + std::to_string(n) + ".bmp", 408, 500});
    for (int i = 1; i <= 5; ++i)
        files.push_back({"\\bg\\kan_" + std::to_string(i) + ".bmp", 34, 67});
    for (int i = 1; i <= 3; ++i) {
        files.push_back({"\\bg\\tonyu_" + std::to_string(i) + ".bmp", 30, 30});
        files.push_back({"\\bg\\turi_" + std::to_string(i) + ".bmp", 45, 39});
        files.push_back({"\\bg\\tori_" + std::to_string(i) + ".bmp", 188, 70});
        files.push_back({"\\bg\\button_" + std::to_string(i) + ".bmp", 43, 19});
    }
    for (int i = 1; i <= 2; ++i)
        files.push_back({"\\bg\\rebaa_" + std::to_string(i) + ".bmp", 40, 40});
    return files;
}

const char *const Folders[] = {JHK_APP_DIR, JHK_INSTALLED_APP_DIR};

QByteArray readAll(const std::string &path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

template<typename T>
T le(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<T>(bytes.constData() + at);
}

TEST(AppFolderFiles, EveryPictureIsA24BitBmpOfItsSize)
{
    for (const char *folder : Folders) {
        for (const PictureFile &pic : pictureFiles()) {
            SCOPED_TRACE(std::string(folder) + " " + pic.storedPath);
            const std::string path = jhk::resolveInFolder(folder, pic.storedPath);
            ASSERT_FALSE(path.empty()) << "missing";
            const QByteArray bytes = readAll(path);
            ASSERT_GE(bytes.size(), 54);
            EXPECT_EQ(bytes.left(2), QByteArray("BM"));
            EXPECT_EQ(le<quint16>(bytes, 28), 24) << "bits per pixel";
            QImage image;
            ASSERT_TRUE(image.loadFromData(bytes, "BMP"));
            EXPECT_EQ(image.width(), pic.width);
            EXPECT_EQ(image.height(), pic.height);
        }
    }
}

// Walks the RIFF chunks: a PCM "fmt " chunk and a "data" chunk that fits in the file.
struct WaveInfo {
    bool ok = false;
    std::string problem;
    double seconds = 0;
};

WaveInfo readWave(const QByteArray &bytes)
{
    WaveInfo info;
    if (bytes.size() < 12 || bytes.left(4) != "RIFF" || bytes.mid(8, 4) != "WAVE") {
        info.problem = "not RIFF/WAVE";
        return info;
    }
    if (le<quint32>(bytes, 4) + 8 != quint32(bytes.size())) {
        info.problem = "RIFF size does not match the file";
        return info;
    }
    quint32 byteRate = 0, dataSize = 0;
    bool pcm = false, haveData = false;
    for (int at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = le<quint32>(bytes, at + 4);
        if (at + 8 + qint64(size) > bytes.size()) {
            info.problem = "chunk runs past the end";
            return info;
        }
        if (id == "fmt " && size >= 16) {
            const quint16 format = le<quint16>(bytes, at + 8);
            const quint16 channels = le<quint16>(bytes, at + 10);
            const quint32 rate = le<quint32>(bytes, at + 12);
            byteRate = le<quint32>(bytes, at + 16);
            const quint16 blockAlign = le<quint16>(bytes, at + 20);
            const quint16 bits = le<quint16>(bytes, at + 22);
            pcm = format == 1 && bits == 16 && channels >= 1 && blockAlign == channels * 2
                  && byteRate == rate * blockAlign;
        } else if (id == "data") {
            dataSize = size;
            haveData = true;
        }
        at += 8 + int(size) + int(size & 1);
    }
    if (!pcm) {
        info.problem = "no 16-bit PCM format chunk";
        return info;
    }
    if (!haveData || dataSize == 0) {
        info.problem = "no samples";
        return info;
    }
    info.ok = true;
    info.seconds = double(dataSize) / byteRate;
    return info;
}

TEST(AppFolderFiles, BothSoundsAreShortPcmWaves)
{
    for (const char *folder : Folders) {
        for (const char *name : {"kan.wav", "Money_1.wav"}) {
            SCOPED_TRACE(std::string(folder) + " " + name);
            const std::string path = jhk::resolveInFolder(folder, name);
            ASSERT_FALSE(path.empty()) << "missing";
            const WaveInfo wave = readWave(readAll(path));
            ASSERT_TRUE(wave.ok) << wave.problem;
            EXPECT_GT(wave.seconds, 0.1);
            EXPECT_LT(wave.seconds, 0.9);
        }
    }
}

} // namespace
