#pragma once

#include "document/UndoHistory.h"
#include "model/AppState.h"
#include "rules/MachineHistoryNames.h"

#include <deque>
#include <optional>
#include <string>

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

    // The step "元に戻す" would take back, and the one "やり直し" would do again, when they
    // can be used now.
    std::optional<StepName> undoStep() const;
    std::optional<StepName> redoStep() const;
    // The Edit menu's entries: "元に戻す「パーツの削除」(&U)", or the bare command.
    std::string undoCaption() const;
    std::string redoCaption() const;
    // What to tell the pupil after the last undo or redo: said for a step the stage does not
    // show (a program), empty otherwise.
    const std::string &travelNote() const { return m_travelNote; }

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
    // The machine as the history's newest state has it: the side an edit starts from.
    void markCurrent();
    // Keeps one name for every step the history holds.
    void trimNames();

    Machine &m_machine;
    Engine &m_engine;
    StageEditor &m_editor;
    WindowFace &m_face;
    UndoHistory m_history;
    int m_paused = 0;
    bool m_runSinceEdit = false;
    bool m_marked = false; // m_current holds the history's newest state
    Machine m_current;
    std::array<std::string, LabelSlots> m_currentFonts;
    std::string m_currentPainted;
    std::deque<StepName> m_undoNames; // oldest first, as the history's steps
    std::deque<StepName> m_redoNames; // next to redo last
    std::string m_travelNote;
};

} // namespace jhk
