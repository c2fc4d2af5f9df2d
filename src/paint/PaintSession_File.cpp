// The whole-picture commands: first state, new, open, save, and the picture handed back.
#include "paint/PaintSession.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

namespace jhk {

void PaintSession::firstState()
{
    // The first state is the picture as it was, so the zoom goes back to 1 with it.
    state_.Zoom = 1;
    drawing_ = first_;
    resizeDrawing(drawing_.size());
    copyDrawingToBase();
    disableUndo();
}

void PaintSession::newPicture()
{
    const QSize size = drawing_.size();
    drawing_ = whitePicture(size);
    undo_ = drawing_;
    base_ = drawing_;
    // Kept at the size the picture has at zoom 1, as Cancel hands it back.
    const int zoom = static_cast<int>(state_.Zoom);
    first_ = whitePicture(QSize(size.width() / zoom, size.height() / zoom));
    disableUndo();
}

bool PaintSession::openPicture(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage picture = reader.read();
    if (picture.isNull())
        return false;
    state_.Zoom = 1;
    disableUndo();
    drawing_ = picture.convertToFormat(QImage::Format_RGB32);
    resizeDrawing(drawing_.size());
    undo_ = whitePicture(drawing_.size());
    first_ = drawing_;
    base_ = drawing_;
    return true;
}

std::optional<QString> PaintSession::savePicture(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("ファイル「%1」に書き込めません。\n保存する場所を確かめて下さい。").arg(path);
    QImageWriter writer(&file, "bmp");
    if (!writer.write(drawing_) || !file.commit())
        return QStringLiteral("ファイル「%1」を保存できませんでした。\nディスクの空きや書き込みの許可を確かめて下さい。").arg(path);
    return std::nullopt;
}

QImage PaintSession::okPicture()
{
    while (state_.Zoom > 1)
        zoomOut();
    return drawing_;
}

QImage PaintSession::cancelPicture() const
{
    return first_;
}

} // namespace jhk
