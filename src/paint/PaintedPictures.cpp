#include "paint/PaintedPictures.h"

#include "model/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

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
            QSaveFile out(file);
            ok = out.open(QIODevice::WriteOnly) && QImageWriter(&out, "bmp").write(it.value()) && out.commit();
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

void PaintedPictures::loadBeside(const QString &documentPath, const Machine &machine, const QString &appFolder)
{
    clear();
    const std::string document = documentPath.toStdString();
    const std::string app = appFolder.toStdString();
    for (int slot = 0; slot < PartSlots; ++slot) {
        if (!machine.partExists(slot))
            continue;
        const std::string &name = machine.part(slot).PictName;
        if (name == "dummy" || !resolveInFolder(app, name).empty())
            continue; // a picture of the application folder
        const std::string file = findPartPicture(app, document, name);
        if (file.empty())
            continue;
        const QImage picture(QString::fromStdString(file));
        if (!picture.isNull())
            set(slot, picture);
    }
}

} // namespace jhk
