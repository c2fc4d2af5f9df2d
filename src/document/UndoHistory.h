#pragma once

#include "model/AppState.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace jhk {

// What a window keeps of the machine beside the tables (the pictures drawn in the paint
// tool, the label fonts, the exercise step): it travels with every state of the history and
// comes back with it. `key` changes whenever the data does, so that a change of it alone is
// a step too; `data` is the window's own and the history never looks into it.
struct UndoExtra {
    std::string key;
    std::shared_ptr<const void> data;
};

// Undo and redo for the whole machine. Each state is the machine's document encoding, the
// bytes a save would write (about 76 KB for a full machine), so going back restores every
// part slot with its number, program and picture name exactly as the document reader would
// read them.
//
// The window reports the end of each edit with checkpoint(); when the machine differs from
// the state the previous edit left, that state becomes the step undo returns to. An edit that
// changes nothing (a cancelled dialog, a click that only selects) makes no step.
class UndoHistory {
public:
    static constexpr std::size_t DefaultDepth = 100;

    explicit UndoHistory(std::size_t depth = DefaultDepth);
    ~UndoHistory();
    UndoHistory(const UndoHistory &) = delete;
    UndoHistory &operator=(const UndoHistory &) = delete;

    // Starts over from the machine as it is now, with nothing to undo or redo (another
    // machine was opened or made).
    void reset(const Machine &m, UndoExtra extra = {});
    // The machine as it is now is where the next edit starts, without a step: for changes that
    // are not edits (a run, a save turning sizes into pixels and naming painted pictures).
    void rebase(const Machine &m, UndoExtra extra = {});
    // An edit has ended. Returns true when it made a step; the redo steps are then gone.
    bool checkpoint(const Machine &m, UndoExtra extra = {});

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    std::size_t undoSteps() const { return m_undo.size(); }
    std::size_t redoSteps() const { return m_redo.size(); }
    std::size_t depth() const { return m_depth; }

    // Puts the machine back as it was before the last step (after taking any edit not yet
    // reported, with `now` as its extra) and returns the extra kept with that state. Nothing
    // when there is nothing to undo; the machine is then unchanged.
    std::optional<UndoExtra> undo(Machine &m, UndoExtra now = {});
    // Does again the step undo took back last.
    std::optional<UndoExtra> redo(Machine &m, UndoExtra now = {});

private:
    struct State {
        std::vector<std::uint8_t> document;
        std::shared_ptr<const Machine> copy; // only when the document could not be encoded
        UndoExtra extra;
    };
    State take(const Machine &m, UndoExtra extra) const;
    static bool same(const State &a, const State &b);
    static bool restore(const State &s, Machine &m);
    std::optional<UndoExtra> travel(std::deque<State> &from, std::deque<State> &to, Machine &m, UndoExtra now);

    std::size_t m_depth;
    std::unique_ptr<State> m_current; // the state the last edit left
    std::deque<State> m_undo;         // oldest first
    std::deque<State> m_redo;         // next to redo last
};

} // namespace jhk
