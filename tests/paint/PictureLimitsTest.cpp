// Pictures that claim to be huge: the paint tool's Open refuses those larger than its largest
// canvas, and the pictures beside a document that are larger than the stage, unreadable or
// missing become placeholders with one message, all without decoding a huge picture.
#include "PaintTestSupport.h"
#include "model/AppPaths.h"
#include "model/Catalogue.h"
#include "model/Creation.h"
#include "paint/PaintedPictures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

using namespace jhk;
using namespace jhk::test;

namespace {

void put32(QByteArray &b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (8 * i));
}

// A bitmap of about 1 KB whose header claims width × height pixels of 24 bits; its pixel
// data is cut off after the first bytes.
QByteArray truncatedBitmap(int width, int height)
{
    QByteArray b(54 + 1000, '\x7f');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, quint32(54 + width * height * 3));
    put32(b, 6, 0);
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, quint32(width));
    put32(b, 22, quint32(height));
    b[26] = 1;
    b[27] = 0;
    b[28] = 24;
    b[29] = 0;
    for (int at = 30; at < 54; ++at)
        b[at] = 0;
    return b;
}

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct PictureLimits : testing::Test {
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

} // namespace

TEST_F(PictureLimits, ThePaintToolRefusesPicturesLargerThanItsLargestCanvas)
{
    PaintSession session; // 15 twips per pixel: the largest canvas is 475 × 395
    session.start(whitePicture(QSize(30, 20)));
    click(session, ButtonLeft, QPoint(5, 5));
    const QImage before = session.drawing();
    write(QStringLiteral("huge.bmp"), truncatedBitmap(5600, 5600));
    ASSERT_TRUE(whitePicture(QSize(476, 10)).save(path(QStringLiteral("wide.bmp")), "bmp"));
    ASSERT_TRUE(whitePicture(QSize(10, 396)).save(path(QStringLiteral("tall.png")), "png"));

    const long peak = peakKilobytes();
    for (const char *name : {"huge.bmp", "wide.bmp", "tall.png"}) {
        QString refusal;
        EXPECT_FALSE(session.openPicture(path(QString::fromLatin1(name)), &refusal)) << name;
        EXPECT_TRUE(refusal.contains(QStringLiteral("横475×縦395ドットまで"))) << name << refusal.toStdString();
        EXPECT_EQ(session.drawing(), before) << "the drawing stays as it was";
    }
    EXPECT_LT(peakKilobytes() - peak, 50 * 1024) << "the huge picture was never decoded";

    ASSERT_TRUE(whitePicture(QSize(475, 395)).save(path(QStringLiteral("largest.bmp")), "bmp"));
    QString refusal;
    EXPECT_TRUE(session.openPicture(path(QStringLiteral("largest.bmp")), &refusal));
    EXPECT_EQ(session.size(), QSize(475, 395));
    EXPECT_TRUE(refusal.isEmpty());
}

TEST_F(PictureLimits, PicturesBesideADocumentThatCannotBeShownAreNamedInOneMessage)
{
    Machine machine;
    applyStartupValues(machine.app, 15, 15);
    machine.app.Level = 3;
    const QString document = path(QStringLiteral("shop.jhk"));
    QDir(dir.path()).mkpath(QStringLiteral("shop_pictures"));
    const QImage drawn = whitePicture(QSize(34, 67));
    ASSERT_TRUE(drawn.save(path(QStringLiteral("shop_pictures/part_00.bmp")), "bmp"));
    write(QStringLiteral("shop_pictures/part_01.bmp"), truncatedBitmap(5600, 5600));
    ASSERT_TRUE(whitePicture(QSize(409, 20)).save(path(QStringLiteral("shop_pictures/part_02.bmp")), "bmp"));
    write(QStringLiteral("shop_pictures/part_03.bmp"), "BM but not a picture");
    for (int i = 0; i < 5; ++i) {
        const int slot = createPart(machine, KindProduct).slot;
        machine.part(slot).PictName = paintedPictureName(document.toStdString(), slot);
    }

    PaintedPictures pictures;
    const long peak = peakKilobytes();
    const auto message = pictures.loadBeside(document, machine, QStringLiteral(JHK_APP_DIR));
    EXPECT_LT(peakKilobytes() - peak, 50 * 1024);
    EXPECT_TRUE(pictures.has(0));
    for (int slot = 1; slot < 5; ++slot)
        EXPECT_FALSE(pictures.has(slot)) << slot;
    ASSERT_TRUE(message.has_value());
    for (const char *named : {"part_01.bmp（横5600×縦5600ドット", "part_02.bmp（横409×縦20ドット",
                              "part_03.bmp（絵のファイルとして読めません）", "part_04.bmp（見つかりません）"})
        EXPECT_EQ(message->count(QString::fromUtf8(named)), 1) << named << "\n" << message->toStdString();
    EXPECT_FALSE(message->contains(QStringLiteral("part_00")));
}
