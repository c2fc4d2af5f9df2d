#include "print/OutputFile.h"

#include "document/AtomicFile.h"
#include "document/JhkDocument.h"
#include "model/AppState.h"

#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <memory>
#include <span>
#include <sys/stat.h>

namespace jhk {

namespace {

// A plain file behind `path` (links followed): only such a file is read to see whether it is
// a machine, so that a pipe never blocks the command.
bool isPlainFile(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

QString machineOutputRefusal(const QString &path)
{
    const bool machineName = path.endsWith(QStringLiteral(".jhk"), Qt::CaseInsensitive);
    bool machineFile = false;
    if (!machineName && isPlainFile(path)) {
        auto machine = std::make_unique<Machine>();
        machineFile = loadDocument(QFile::encodeName(path).toStdString(), *machine).ok;
    }
    if (!machineName && !machineFile)
        return {};
    return QStringLiteral("%1: 自動販売機のファイルには書き出せません（中身が消えてしまいます）。"
                          "出力先には .pdf などの別の名前を指定してください。")
        .arg(path);
}

QString writeOutputFile(const QString &path, const QByteArray &bytes)
{
    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                             static_cast<std::size_t>(bytes.size()));
    const std::string failure = writeFileAtomically(QFile::encodeName(path).toStdString(), data);
    return QString::fromStdString(failure);
}

} // namespace jhk
