#pragma once

#include <string>
#include <vector>

namespace jhk {

enum class PlayMode { Sync, Async, Loop };

// Plays a named WAVE file. The Qt program plays through the sound device; the simulator and
// the tests only report or record.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Sync returns when the sound has finished; Async and Loop return at once. A missing file
    // plays nothing and reports nothing.
    virtual void play(const std::string &name, PlayMode mode) = 0;
    // Stops any sound started through this player.
    virtual void stop() = 0;
    // Starts a sound that a run waits for and returns at once with its playing time in
    // milliseconds; the engine then waits that long through its host's scheduler, so nothing
    // blocks. A player that cannot tell the time plays the sound synchronously and returns 0.
    virtual int startWaited(const std::string &name)
    {
        play(name, PlayMode::Sync);
        return 0;
    }
};

// A player that plays nothing.
class SilentSoundPlayer : public SoundPlayer {
public:
    void play(const std::string &, PlayMode) override {}
    void stop() override {}
};

// The list of sound files the program plays from: every use adds a name, plays entry 1 and
// empties the list again.
class Sound {
public:
    explicit Sound(SoundPlayer &player) : m_player(&player) {}

    void setPlayer(SoundPlayer &player) { m_player = &player; }

    void add(const std::string &name);
    // Entries are numbered from 1; a number not in the list plays nothing.
    void playSync(int n);
    void playAsync(int n);
    void playLoop(int n);
    void stopSound();
    void removeAll();
    const std::vector<std::string> &files() const { return m_files; }

    // The program's one way of playing a sound: add, play entry 1, empty the list.
    void playOnce(const std::string &name, PlayMode mode);
    // The same for a sound a run waits for (SoundPlayer::startWaited): returns the time to
    // wait in milliseconds, 0 when the sound has already played to its end.
    int startOnce(const std::string &name);

private:
    void play(int n, PlayMode mode);

    SoundPlayer *m_player;
    std::vector<std::string> m_files;
};

inline constexpr const char *ProductSound = "kan.wav";
inline constexpr const char *CoinSound = "Money_1.wav";

} // namespace jhk
