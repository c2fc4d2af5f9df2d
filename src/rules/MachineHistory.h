#pragma once

#include "document/UndoHistory.h"

namespace jhk {

struct Machine;
class Engine;
class StageEditor;
class WindowFace;

// Undo and redo as the pupil sees them: which changes make a step of their own ("元に戻す"
// takes back one edit), which are part of an edit still under way (a drop and its property
// dialog are one edit; a cancelled drop is none), and which are no edit at all (a run, a save,
// a machine opened or restored). The face reports the end of every change with record().
class MachineHistory {
public:
    MachineHistory(Machine &machine, Engine &engine, StageEditor &editor, WindowFace &face);

    const UndoHistory &steps() const { return m_history; }

    // Another machine: nothing to undo or redo.
    void reset();
    // The machine as it is now is where the next edit starts, without a step.
    void rebase();
    // Whatever changed since the last call has ended: an edit makes a step, a run does not.
    void record();

    // Whether "元に戻す" and "やり直し" can be used now (only while editing, with the block
    // editor closed).
    bool canUndo() const;
    bool canRedo() const;
    void undo() { travel(true); }
    void redo() { travel(false); }

    // While paused, what changes is part of an edit not finished yet, or no edit.
    void pause() { ++m_paused; }
    void resume() { --m_paused; }
    template <typename Work>
    auto unrecorded(Work &&work)
    {
        struct Resume {
            MachineHistory &h;
            ~Resume() { h.resume(); }
        } resume{*this};
        pause();
        return work();
    }

private:
    UndoExtra extra() const;
    bool editing() const;
    void travel(bool back);
    void showRestoredMachine(const UndoExtra &extra);

    Machine &m_machine;
    Engine &m_engine;
    StageEditor &m_editor;
    WindowFace &m_face;
    UndoHistory m_history;
    int m_paused = 0;
    bool m_runSinceEdit = false;
};

} // namespace jhk
