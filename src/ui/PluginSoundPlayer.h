#pragma once

#include "engine/Sound.h"
#include "ui/PluginLoader.h"

#include <QString>

#include <functional>
#include <memory>

namespace jhk {

// The name of the library that plays the machine's sounds through the sound output.
inline constexpr const char *SoundLibraryName = "jihankobo-sound";
// The function it exports: makes a player of the WAVE files of an application folder.
inline constexpr const char *SoundLibraryEntry = "jihankobo_create_sound_player";
using CreateSoundPlayer = SoundPlayer *(*)(const QString &appFolder);

inline constexpr const char *SoundLibraryMissing =
    "音を鳴らすファイル「jihankobo-sound」を読み込めません。\n"
    "音は鳴りませんが、このまま使えます。";

// Plays through the sound library, which it loads with the first sound: the sound output's
// libraries are large and many sessions never run a machine. Without the library every
// sound stays silent and `onMissing` is told once, with the message to show.
class PluginSoundPlayer : public SoundPlayer {
public:
    explicit PluginSoundPlayer(QString appFolder, std::function<void(const std::string &)> onMissing = {},
                               QString library = QString::fromLatin1(SoundLibraryName));
    ~PluginSoundPlayer() override;

    void play(const std::string &name, PlayMode mode) override;
    void stop() override;

    // True once the library has been loaded and made its player.
    bool loaded() const { return m_player != nullptr; }

private:
    SoundPlayer *player();

    QString m_appFolder;
    std::function<void(const std::string &)> m_onMissing;
    PluginLoader m_loader;
    std::unique_ptr<SoundPlayer> m_player;
    bool m_triedLoading = false;
};

} // namespace jhk
