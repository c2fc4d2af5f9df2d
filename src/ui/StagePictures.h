#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

#include <string>

namespace jhk {

// Loads the pictures the stage shows: the built-in pictures compiled into the program and
// the picture files of the application folder. A picture that is missing or unreadable is
// replaced by a visible placeholder of the right size, so the window stays usable.
class StagePictures {
public:
    explicit StagePictures(QString appFolder);

    const QString &appFolder() const { return m_appFolder; }

    // The built-in picture of a part kind (its palette-free stage picture).
    QPixmap builtInPart(int kind);
    // The picture of a palette button, 64 × 64.
    QPixmap palette(int kind);
    // A part picture as a record names it: "dummy" = the built-in picture of the kind,
    // otherwise a path such as "\bg\kan_1.bmp" inside the application folder.
    QPixmap partPicture(int kind, const std::string &picture);
    // A picture file of the application folder; a placeholder of `fallback` size when it
    // cannot be read.
    QPixmap file(const std::string &storedPath, QSize fallback);
    // A built-in resource (":/builtin/…"); a placeholder of `size` when it is missing.
    QPixmap resource(const QString &path, QSize size);

    // A picture handed back by the paint tool for part `slot`; returns the picture name the
    // stage shows it under.
    std::string addPainted(int slot, const QPixmap &picture);

    // A built-in picture (PNG, or BMP), read as the format its name says without asking the
    // image-format plugins (loading them all to guess would cost every start-up); a BMP stored
    // uncompressed in the layout bitmapInPlace() takes is used where it lies. Null when it is
    // missing.
    static QPixmap builtIn(const QString &path);
    // The same as an image.
    static QImage builtInImage(const QString &path);
    // A 32-bit BMP with its top row first as an image of the bytes where they lie (copied
    // only when they do not start on a 4-byte boundary): opaque, or with an alpha channel in
    // its bit fields. Null for any other BMP layout or a file cut short. The bytes must
    // outlive the image.
    static QImage bitmapInPlace(const uchar *bytes, qint64 size);
    // A visible stand-in for a picture that could not be loaded.
    static QPixmap placeholder(QSize size, const QString &text = QString());

private:
    QString m_appFolder;
    QHash<QString, QPixmap> m_cache;
    int m_painted = 0;
};

} // namespace jhk
