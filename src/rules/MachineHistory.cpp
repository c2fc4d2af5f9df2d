#include "rules/MachineHistory.h"

#include "engine/Engine.h"
#include "model/AppState.h"
#include "rules/StageEditor.h"
#include "rules/WindowFace.h"

namespace jhk {

namespace {

// What is kept of the machine beside the tables with every state: the face's drawings, the
// label fonts and the exercise step.
struct KeptState {
    std::shared_ptr<const void> painted;
    std::array<std::string, LabelSlots> labelFonts;
    int step = 1;
};

} // namespace

MachineHistory::MachineHistory(Machine &machine, Engine &engine, StageEditor &editor, WindowFace &face)
    : m_machine(machine), m_engine(engine), m_editor(editor), m_face(face)
{
}

UndoExtra MachineHistory::extra() const
{
    auto state = std::make_shared<KeptState>();
    UndoExtra painted = m_face.paintedState();
    state->painted = std::move(painted.data);
    state->labelFonts = m_editor.labelFonts();
    state->step = m_machine.app.Step;
    std::string key = std::to_string(state->step);
    for (const std::string &font : state->labelFonts)
        key += '|' + font;
    key += painted.key;
    return {std::move(key), std::move(state)};
}

void MachineHistory::reset()
{
    m_history.reset(m_machine, extra());
    m_undoNames.clear();
    m_redoNames.clear();
    markCurrent();
}

void MachineHistory::rebase()
{
    m_history.rebase(m_machine, extra());
    markCurrent();
}

void MachineHistory::markCurrent()
{
    m_current = m_machine;
    m_currentFonts = m_editor.labelFonts();
    m_currentPainted = m_face.paintedState().key;
    m_marked = true;
}

void MachineHistory::trimNames()
{
    while (m_undoNames.size() > m_history.undoSteps())
        m_undoNames.pop_front();
    while (m_redoNames.size() > m_history.redoSteps())
        m_redoNames.pop_front();
}

void MachineHistory::record()
{
    const AppState &app = m_machine.app;
    if (m_paused > 0 || app.BlockEditorOpen != 0 || app.DragIndex >= 0)
        return;
    if (app.RunMode != ModeEditing) {
        m_runSinceEdit = true;
        return;
    }
    if (m_runSinceEdit) {
        // A run moves the sizes into the tables and may change the money: not an edit.
        m_runSinceEdit = false;
        rebase();
        return;
    }
    if (!m_marked) {
        // The first state seen is where the history starts: no step, nothing to name.
        m_history.checkpoint(m_machine, extra());
        markCurrent();
        return;
    }
    if (!m_history.checkpoint(m_machine, extra()))
        return;
    const std::array<std::string, LabelSlots> fonts = m_editor.labelFonts();
    const std::string painted = m_face.paintedState().key;
    m_undoNames.push_back(nameEdit({m_current, m_currentFonts, m_currentPainted}, {m_machine, fonts, painted}));
    m_redoNames.clear();
    trimNames();
    markCurrent();
    // A changed machine is no longer the one whose run ended: its stop notes go.
    m_engine.forgetRunEnd();
}

bool MachineHistory::editing() const
{
    const AppState &app = m_machine.app;
    return app.RunMode == ModeEditing && app.BlockEditorOpen == 0;
}

bool MachineHistory::canUndo() const { return editing() && m_history.canUndo(); }
bool MachineHistory::canRedo() const { return editing() && m_history.canRedo(); }

std::optional<StepName> MachineHistory::undoStep() const
{
    if (!canUndo())
        return std::nullopt;
    return m_undoNames.empty() ? StepName{} : m_undoNames.back();
}

std::optional<StepName> MachineHistory::redoStep() const
{
    if (!canRedo())
        return std::nullopt;
    return m_redoNames.empty() ? StepName{} : m_redoNames.back();
}

std::string MachineHistory::undoCaption() const
{
    const std::optional<StepName> step = undoStep();
    return editCaption(true, step ? &*step : nullptr);
}

std::string MachineHistory::redoCaption() const
{
    const std::optional<StepName> step = redoStep();
    return editCaption(false, step ? &*step : nullptr);
}

void MachineHistory::travel(bool back)
{
    if (!editing() || m_paused > 0)
        return;
    m_editor.endDrag();
    // An edit not reported yet is a step of its own, named as every other.
    record();
    m_travelNote.clear();
    std::deque<StepName> &from = back ? m_undoNames : m_redoNames;
    std::deque<StepName> &to = back ? m_redoNames : m_undoNames;
    const std::optional<UndoExtra> restored =
        back ? m_history.undo(m_machine, extra()) : m_history.redo(m_machine, extra());
    if (restored) {
        if (!from.empty()) {
            m_travelNote = jhk::travelNote(back, from.back());
            to.push_back(std::move(from.back()));
            from.pop_back();
        }
        showRestoredMachine(*restored);
    }
    trimNames();
    m_face.refresh();
}

void MachineHistory::showRestoredMachine(const UndoExtra &restored)
{
    if (const auto state = std::static_pointer_cast<const KeptState>(restored.data)) {
        m_face.restorePaintedState(state->painted);
        for (int j = 0; j < LabelSlots; ++j)
            m_editor.setLabelFont(j, state->labelFonts[static_cast<std::size_t>(j)]);
        m_machine.app.Step = static_cast<std::uint8_t>(state->step);
    }
    // Rebuilding a level-1 stage puts every program back to step 1: the restored programs
    // and step stay as they were. The stage reports the rebuilding as it goes; that
    // half-restored machine is no edit.
    const PartsTable programs = m_machine.parts;
    const std::uint8_t step = m_machine.app.Step;
    unrecorded([this] { m_engine.rebuildStage(); });
    m_machine.parts = programs;
    m_machine.app.Step = step;

    for (int j = 0; j < LabelSlots; ++j)
        if (m_engine.stage().labels[static_cast<std::size_t>(j)].visible)
            m_editor.fitLabel(j);
    m_face.showPaintedPictures();
    m_editor.showRestoredMachine();
    if (m_machine.app.Level == 1)
        m_face.showStep(step);
    m_face.showLevel();
    // Choosing what is selected may name another current part: that is where the next edit
    // starts, without a step of its own and keeping what there is to redo.
    rebase();
}

} // namespace jhk
