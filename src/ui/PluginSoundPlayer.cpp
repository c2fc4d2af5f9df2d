#include "ui/PluginSoundPlayer.h"

#include <QDebug>

namespace jhk {

PluginSoundPlayer::PluginSoundPlayer(QString appFolder, std::function<void(const std::string &)> onMissing,
                                     QString library)
    : m_appFolder(std::move(appFolder)),
      m_onMissing(std::move(onMissing)),
      // The application folder too: there the build tree keeps the library beside the data
      // files, wherever the program that plays is.
      m_loader(std::move(library), {m_appFolder})
{
}

PluginSoundPlayer::~PluginSoundPlayer() = default;

SoundPlayer *PluginSoundPlayer::player()
{
    if (m_player || m_triedLoading)
        return m_player.get();
    m_triedLoading = true;
    const auto create = reinterpret_cast<CreateSoundPlayer>(m_loader.resolve(SoundLibraryEntry));
    if (create)
        m_player.reset(create(m_appFolder));
    if (!m_player) {
        qWarning().noquote() << "sound library:" << m_loader.errorString();
        if (m_onMissing)
            m_onMissing(SoundLibraryMissing);
    }
    return m_player.get();
}

void PluginSoundPlayer::play(const std::string &name, PlayMode mode)
{
    if (SoundPlayer *p = player())
        p->play(name, mode);
}

void PluginSoundPlayer::stop()
{
    // Nothing can be playing before the first sound: stopping loads nothing.
    if (m_player)
        m_player->stop();
}

} // namespace jhk
