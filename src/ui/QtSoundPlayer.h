#pragma once

#include "engine/Sound.h"

#include <QString>

#include <memory>
#include <optional>

class QSoundEffect;

namespace jhk {

// Plays the machine's WAVE files through the computer's sound output. Nothing here waits: a
// sound that a run waits for is started and its length, read from the file's header, goes
// back to the engine, whose run waits through the window's timer. A computer without sound
// hears nothing and never hangs.
class QtSoundPlayer : public SoundPlayer {
public:
    explicit QtSoundPlayer(QString appFolder);
    ~QtSoundPlayer() override;

    // Sync, Async and Loop all return at once; the engine waits for a synchronous sound.
    void play(const std::string &name, PlayMode mode) override;
    void stop() override;
    int startWaited(const std::string &name) override;

    // The playing time of a WAVE file in milliseconds, from its header.
    static std::optional<int> waveLengthMs(const QString &path);

private:
    // Starts the sound and returns its file, "" when there is none.
    QString start(const std::string &name, PlayMode mode);

    QString m_appFolder;
    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace jhk
