#include "plugins/sound/QtSoundPlayer.h"

#include "model/AppPaths.h"

#include <QEventLoop>
#include <QFile>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace jhk {

namespace {

constexpr int LongestWaitMs = 10000;

quint32 le32(const QByteArray &b, qsizetype at)
{
    return static_cast<quint8>(b[at]) | static_cast<quint32>(static_cast<quint8>(b[at + 1])) << 8
        | static_cast<quint32>(static_cast<quint8>(b[at + 2])) << 16
        | static_cast<quint32>(static_cast<quint8>(b[at + 3])) << 24;
}

} // namespace

QtSoundPlayer::QtSoundPlayer(QString appFolder) : m_appFolder(std::move(appFolder)) {}

QtSoundPlayer::~QtSoundPlayer() = default;

std::optional<int> QtSoundPlayer::waveLengthMs(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray b = f.read(1 << 20);
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return std::nullopt;
    quint32 byteRate = 0;
    std::optional<quint32> dataSize;
    qsizetype at = 12;
    while (at + 8 <= b.size()) {
        const QByteArray id = b.mid(at, 4);
        const quint32 size = le32(b, at + 4);
        if (id == "fmt " && at + 20 <= b.size())
            byteRate = le32(b, at + 8 + 8);
        if (id == "data") {
            dataSize = size;
            break;
        }
        at += 8 + static_cast<qsizetype>(size) + (size & 1);
    }
    if (!dataSize || byteRate == 0)
        return std::nullopt;
    return static_cast<int>(std::min<quint64>(LongestWaitMs, static_cast<quint64>(*dataSize) * 1000 / byteRate));
}

void QtSoundPlayer::play(const std::string &name, PlayMode mode)
{
    const std::string resolved = resolveInFolder(m_appFolder.toStdString(), name);
    if (resolved.empty())
        return;
    const QString path = QString::fromStdString(resolved);
    // A new sound cuts off the one before, as the program has always done.
    stop();
    m_effect = std::make_unique<QSoundEffect>();
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->setLoopCount(mode == PlayMode::Loop ? QSoundEffect::Infinite : 1);
    m_effect->play();
    if (mode != PlayMode::Sync)
        return;
    const auto length = waveLengthMs(path);
    if (!length)
        return;
    QEventLoop wait;
    QTimer::singleShot(*length, &wait, &QEventLoop::quit);
    // The pupil's clicks wait until the sound is over, as they did on a blocking player.
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    stop();
}

void QtSoundPlayer::stop()
{
    if (m_effect)
        m_effect->stop();
}

} // namespace jhk
