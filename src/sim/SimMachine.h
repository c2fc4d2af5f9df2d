#pragma once

#include "engine/Engine.h"
#include "engine/PictureSizes.h"
#include "model/AppState.h"
#include "model/Catalogue.h"
#include "sim/SimCommand.h"

#include <iosfwd>
#include <memory>
#include <string>

namespace jhk {

// A machine document opened without a window, exactly as the simulator opens it: a level-3
// stage of a 96-dpi screen with the start background and the main window's money, the
// document read over it. The simulator and the class checker play pupils' actions on it.
// One object per thread: nothing here is shared.
class SimMachine {
public:
    SimMachine(const std::string &appDir, const std::string &documentPath, StageView &view, SoundPlayer &player);
    SimMachine(const SimMachine &) = delete;
    SimMachine &operator=(const SimMachine &) = delete;

    // Reads the document; a refused one shows the reader's message through the view and
    // leaves the empty stage. Returns whether it was read.
    bool open();

    Engine &engine() { return m_engine; }
    const Engine &engine() const { return m_engine; }
    Machine &machine() { return *m_machine; }
    const Machine &machine() const { return *m_machine; }
    const std::string &documentPath() const { return m_documentPath; }

    // Plays one action as the desktop program would; an action the machine's mode ignores
    // does nothing. `state` writes its line to `out`. A touch names its slot in `number`.
    void play(const SimCommand &command, std::ostream &out);

    // Drags a coin of `yen` from the wallet and drops it on the highest-numbered coin slot,
    // or somewhere on the stage away from every coin slot.
    void dropCoin(int yen, bool away);
    // A click on part slot i while the machine runs (a change lever is pulled and let go).
    void touch(int i);

    // The state line's JSON: mode, money, wallet, every used part and the discharged products.
    std::string stateJson() const;

private:
    std::string m_documentPath;
    std::unique_ptr<Machine> m_machine;
    Catalogue m_catalogue;
    FilePictureSizes m_sizes;
    Engine m_engine;
};

} // namespace jhk
