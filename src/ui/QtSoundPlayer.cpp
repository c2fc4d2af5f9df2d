#include "ui/QtSoundPlayer.h"

#include "engine/WaveFile.h"
#include "model/AppPaths.h"

#include <QSoundEffect>
#include <QUrl>

namespace jhk {

QtSoundPlayer::QtSoundPlayer(QString appFolder) : m_appFolder(std::move(appFolder)) {}

QtSoundPlayer::~QtSoundPlayer() = default;

std::optional<int> QtSoundPlayer::waveLengthMs(const QString &path)
{
    return jhk::waveLengthMs(path.toStdString());
}

QString QtSoundPlayer::start(const std::string &name, PlayMode mode)
{
    const std::string resolved = resolveInFolder(m_appFolder.toStdString(), name);
    if (resolved.empty())
        return {};
    const QString path = QString::fromStdString(resolved);
    // A new sound cuts off the one before, as the program has always done.
    stop();
    m_effect = std::make_unique<QSoundEffect>();
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->setLoopCount(mode == PlayMode::Loop ? QSoundEffect::Infinite : 1);
    m_effect->play();
    return path;
}

void QtSoundPlayer::play(const std::string &name, PlayMode mode)
{
    start(name, mode);
}

int QtSoundPlayer::startWaited(const std::string &name)
{
    const QString path = start(name, PlayMode::Sync);
    if (path.isEmpty())
        return 0;
    return waveLengthMs(path).value_or(0);
}

void QtSoundPlayer::stop()
{
    if (m_effect)
        m_effect->stop();
}

} // namespace jhk
