// The whole-picture commands: first state, new, open, save, and the picture handed back.
#include "paint/PaintSession.h"

#include "document/AtomicFile.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

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

bool PaintSession::openPicture(const QString &path, QString *refusal)
{
    const QSize limit(state_.MaxWidth, state_.MaxHeight);
    auto tooLarge = [&limit](QSize size) { return size.width() > limit.width() || size.height() > limit.height(); };
    auto refuse = [&](QSize size) {
        if (refusal)
            *refusal = QStringLiteral("この絵（横%1×縦%2ドット）は大きすぎるため開けません。\n"
                                      "開ける絵の大きさは、横%3×縦%4ドットまでです。")
                           .arg(size.width())
                           .arg(size.height())
                           .arg(limit.width())
                           .arg(limit.height());
        return false;
    };
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    // The size the file claims is checked before anything is decoded: a small file may claim
    // a picture of hundreds of megabytes.
    if (const QSize claimed = reader.size(); claimed.isValid() && tooLarge(claimed))
        return refuse(claimed);
    // A file that does not tell its size first may still not decode to more than the largest
    // canvas takes.
    const qint64 largest = qint64(limit.width()) * limit.height() * 4;
    reader.setAllocationLimit(int(largest / (1024 * 1024)) + 1);
    const QImage picture = reader.read();
    if (picture.isNull())
        return false;
    if (tooLarge(picture.size()))
        return refuse(picture.size());
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
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "bmp").write(drawing_))
        return QStringLiteral("ファイル「%1」を保存できませんでした。").arg(path);
    const std::string failure = writeFileAtomically(
        path.toStdString(), std::span(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())));
    if (!failure.empty())
        return QStringLiteral("ファイル「%1」に書き込めません。\n%2").arg(path, QString::fromStdString(failure));
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
