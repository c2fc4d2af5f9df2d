#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

namespace assetgen {

// Writes the generated files below one root folder and remembers every picture for the
// contact sheet. Failures are collected, so one bad path does not hide the others.
class AssetWriter
{
public:
    explicit AssetWriter(QString root);

    // A 24-bit BMP of the application folder (no alpha: the picture is laid on `matte`).
    void bmp(const QString &path, const QImage &image, const QColor &matte = Qt::white);
    // A BMP compiled into the program and shown straight from its memory: 32-bit pixels, rows
    // stored top first, the pixels beginning on a 4-byte boundary; transparency is kept.
    void bmpInPlace(const QString &path, const QImage &image);
    // A PNG compiled into the program; transparency is kept.
    void png(const QString &path, const QImage &image);
    void file(const QString &path, const QByteArray &bytes);

    struct Picture {
        QString path;
        QImage image;
    };
    const std::vector<Picture> &pictures() const { return m_pictures; }
    const QStringList &errors() const { return m_errors; }

private:
    bool prepare(const QString &path);

    QString m_root;
    std::vector<Picture> m_pictures;
    QStringList m_errors;
};

} // namespace assetgen
