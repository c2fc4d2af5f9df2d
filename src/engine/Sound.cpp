#include "engine/Sound.h"

namespace jhk {

void Sound::add(const std::string &name)
{
    m_files.push_back(name);
}

void Sound::play(int n, PlayMode mode)
{
    if (n < 1 || static_cast<std::size_t>(n) > m_files.size())
        return;
    m_player->play(m_files[static_cast<std::size_t>(n - 1)], mode);
}

void Sound::playSync(int n) { play(n, PlayMode::Sync); }
void Sound::playAsync(int n) { play(n, PlayMode::Async); }
void Sound::playLoop(int n) { play(n, PlayMode::Loop); }

void Sound::stopSound()
{
    m_player->stop();
}

void Sound::removeAll()
{
    m_files.clear();
}

void Sound::playOnce(const std::string &name, PlayMode mode)
{
    add(name);
    play(1, mode);
    removeAll();
}

int Sound::startOnce(const std::string &name)
{
    add(name);
    const int ms = m_player->startWaited(m_files.front());
    removeAll();
    return ms;
}

} // namespace jhk
