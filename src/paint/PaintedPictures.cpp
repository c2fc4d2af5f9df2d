#include "paint/PaintedPictures.h"

#include "document/AtomicFile.h"
#include "engine/Stage.h"
#include "model/AppPaths.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include <vector>

namespace jhk {

void PaintedPictures::set(int slot, const QImage &picture)
{
    pictures_.insert(slot, picture);
}

void PaintedPictures::remove(int slot)
{
    pictures_.remove(slot);
}

void PaintedPictures::clear()
{
    pictures_.clear();
}

bool PaintedPictures::has(int slot) const
{
    return pictures_.contains(slot);
}

QImage PaintedPictures::picture(int slot) const
{
    return pictures_.value(slot);
}

std::optional<QString> PaintedPictures::saveBeside(const QString &documentPath, Machine &machine) const
{
    const std::string document = documentPath.toStdString();
    const QDir documentFolder = QFileInfo(documentPath).absoluteDir();
    std::vector<std::pair<int, std::string>> written;
    for (auto it = pictures_.cbegin(); it != pictures_.cend(); ++it) {
        const int slot = it.key();
        if (!machine.partExists(slot))
            continue;
        const std::string name = paintedPictureName(document, slot);
        const QString relative = QString::fromStdString(name).replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString file = documentFolder.filePath(relative);
        const QString folderName = QString::fromStdString(paintedPictureFolderName(document));
        bool ok = documentFolder.mkpath(folderName);
        if (ok) {
            const QByteArray bytes = bitmapBytes(it.value());
            ok = !bytes.isEmpty()
                && writeFileAtomically(file.toStdString(),
                                       std::span(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                                 std::size_t(bytes.size())))
                       .empty();
        }
        if (!ok)
            return QStringLiteral("ペイントツールでかいた絵を「%1」に保存できませんでした。\n"
                                  "保存する場所に書き込めるか、ディスクに空きがあるかを確かめて下さい。")
                .arg(QDir::toNativeSeparators(file));
        written.emplace_back(slot, name);
    }
    for (const auto &[slot, name] : written)
        machine.part(slot).PictName = name;
    return std::nullopt;
}

std::optional<QString> PaintedPictures::loadBeside(const QString &documentPath, const Machine &machine,
                                                   const QString &appFolder)
{
    clear();
    const std::string document = documentPath.toStdString();
    const std::string app = appFolder.toStdString();
    const QSize stage(StageWidthPixels, StageHeightPixels);
    auto tooLarge = [&stage](QSize size) { return size.width() > stage.width() || size.height() > stage.height(); };
    QStringList problems;
    for (int slot = 0; slot < PartSlots; ++slot) {
        if (!machine.partExists(slot))
            continue;
        const std::string &name = machine.part(slot).PictName;
        if (name == "dummy" || !resolveInFolder(app, name).empty())
            continue; // a picture of the application folder
        const QString shown = QString::fromStdString(name);
        const std::string file = findPartPicture(app, document, name);
        if (file.empty()) {
            problems << QStringLiteral("・%1（見つかりません）").arg(shown);
            continue;
        }
        // The size a file claims is checked before it is decoded: a file of a few bytes may
        // claim a picture that fills the memory and covers the whole stage.
        QImageReader reader(QString::fromStdString(file));
        reader.setDecideFormatFromContent(true);
        QSize size = reader.size();
        QImage picture;
        if (!size.isValid() || !tooLarge(size)) {
            reader.setAllocationLimit(int(qint64(stage.width()) * stage.height() * 4 / (1024 * 1024)) + 1);
            picture = reader.read();
            size = picture.size();
        }
        if (size.isValid() && tooLarge(size)) {
            problems << QStringLiteral("・%1（横%2×縦%3ドットで、ステージ（横%4×縦%5ドット）より大きい絵です）")
                            .arg(shown)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(stage.width())
                            .arg(stage.height());
            continue;
        }
        if (picture.isNull()) {
            problems << QStringLiteral("・%1（絵のファイルとして読めません）").arg(shown);
            continue;
        }
        set(slot, picture);
    }
    if (problems.isEmpty())
        return std::nullopt;
    return QStringLiteral("次のパーツの絵を表示できないため、代わりの印を表示しています。\n") + problems.join(QLatin1Char('\n'));
}

std::vector<RecoveryPicture> PaintedPictures::bitmaps() const
{
    std::vector<RecoveryPicture> all;
    for (auto it = pictures_.cbegin(); it != pictures_.cend(); ++it) {
        const QByteArray bytes = bitmapBytes(it.value());
        all.push_back({it.key(), std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    }
    return all;
}

QByteArray PaintedPictures::bitmapBytes(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "bmp").write(picture))
        bytes.clear();
    return bytes;
}

} // namespace jhk
