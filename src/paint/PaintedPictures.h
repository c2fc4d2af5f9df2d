#pragma once

#include "document/RecoveryStore.h"
#include "model/AppState.h"

#include <QHash>
#include <QImage>
#include <QString>

#include <optional>
#include <vector>

namespace jhk {

// The pictures parts were given by the paint tool, kept until the machine is saved: they
// are then written as bitmaps beside the document, and each part's PictName names its file,
// so the part shows the same picture when the machine is opened again.
class PaintedPictures
{
public:
    // The paint tool handed `picture` to the part in `slot` (its "決定" or "キャンセル").
    void set(int slot, const QImage &picture);
    // The part was deleted (or its slot is being reused): its painted picture goes too.
    void remove(int slot);
    // Another machine: none of the pictures belong to it.
    void clear();
    bool has(int slot) const;
    QImage picture(int slot) const;
    bool isEmpty() const { return pictures_.isEmpty(); }

    // Called by the save command just before the document is written to `documentPath`:
    // writes the painted picture of every part in use into the folder beside the document
    // and points the part's PictName at it. When a picture cannot be written, nothing in the
    // machine changes and the message to show is returned. Without painted pictures the
    // machine is left exactly as it was.
    std::optional<QString> saveBeside(const QString &documentPath, Machine &machine) const;

    // Called after a machine was read from `documentPath`: starts over with the pictures its
    // parts keep beside the document (not those of the application folder), so that the
    // stage can show them and the next save, under any name, writes them again. Pictures
    // that are missing, cannot be read or are larger than the stage are left out (the stage
    // shows its placeholder); the one message naming them all is returned.
    std::optional<QString> loadBeside(const QString &documentPath, const Machine &machine, const QString &appFolder);

    // A picture as the bytes of a bitmap file; empty when it cannot be encoded.
    static QByteArray bitmapBytes(const QImage &picture);
    // Every picture, as bitmap files, for a recovery copy.
    std::vector<RecoveryPicture> bitmaps() const;

private:
    QHash<int, QImage> pictures_;
};

} // namespace jhk
