#pragma once

#include "engine/Sound.h"

#include <QString>

#include <memory>
#include <optional>

class QSoundEffect;

namespace jhk {

// Plays the machine's WAVE files through the computer's sound output. A synchronous sound
// waits for the length written in the file's header, not for the sound device, so a computer
// without sound hears nothing and never hangs.
class QtSoundPlayer : public SoundPlayer {
public:
    explicit QtSoundPlayer(QString appFolder);
    ~QtSoundPlayer() override;

    void play(const std::string &name, PlayMode mode) override;
    void stop() override;

    // The playing time of a WAVE file in milliseconds, from its header.
    static std::optional<int> waveLengthMs(const QString &path);

private:
    QString m_appFolder;
    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace jhk
