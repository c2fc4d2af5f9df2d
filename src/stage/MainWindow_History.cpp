// The main window's undo and redo: the Edit menu, the end of each edit, and the stage shown
// again after the tables went back or forward.
#include "stage/MainWindow.h"

#include "model/AppState.h"

#include <QAction>
#include <QMenuBar>

namespace jhk {

namespace {

// What the window keeps of the machine beside the tables, kept with every state.
struct WindowState {
    PaintedPictures painted;
    std::array<std::string, LabelSlots> labelFonts;
    int step = 1;
};

} // namespace

void MainWindow::buildEditMenu()
{
    QMenu *edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    m_undo = edit->addAction(QStringLiteral("元に戻す(&U)"), this, &MainWindow::undo);
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = edit->addAction(QStringLiteral("やり直し(&R)"), this, &MainWindow::redo);
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);
}

UndoExtra MainWindow::undoExtra() const
{
    auto state = std::make_shared<WindowState>();
    state->painted = m_painted;
    state->labelFonts = m_editor->labelFonts();
    state->step = m_machine.app.Step;
    std::string key = std::to_string(state->step);
    for (const std::string &font : state->labelFonts)
        key += '|' + font;
    for (int i = 0; i < PartSlots; ++i)
        if (m_painted.has(i))
            key += '|' + std::to_string(i) + ':' + std::to_string(m_painted.picture(i).cacheKey());
    return {std::move(key), std::move(state)};
}

void MainWindow::recordEdit()
{
    const AppState &app = m_machine.app;
    if (m_historyPaused > 0 || app.BlockEditorOpen != 0 || app.DragIndex >= 0)
        return;
    if (app.RunMode != ModeEditing) {
        m_runSinceEdit = true;
        return;
    }
    if (m_runSinceEdit) {
        // A run moves the sizes into the tables and may change the money: not an edit.
        m_runSinceEdit = false;
        m_history.rebase(m_machine, undoExtra());
        return;
    }
    // A changed machine is no longer the one whose run ended: its stop notes go.
    if (m_history.checkpoint(m_machine, undoExtra()))
        m_engine->forgetRunEnd();
}

void MainWindow::updateEditActions()
{
    const AppState &app = m_machine.app;
    const bool editing = app.RunMode == ModeEditing && app.BlockEditorOpen == 0;
    m_undo->setEnabled(editing && m_history.canUndo());
    m_redo->setEnabled(editing && m_history.canRedo());
}

void MainWindow::undo() { travelHistory(true); }
void MainWindow::redo() { travelHistory(false); }

void MainWindow::travelHistory(bool back)
{
    const AppState &app = m_machine.app;
    if (app.RunMode != ModeEditing || app.BlockEditorOpen != 0 || m_historyPaused > 0)
        return;
    m_editor->endDrag();
    const std::optional<UndoExtra> extra =
        back ? m_history.undo(m_machine, undoExtra()) : m_history.redo(m_machine, undoExtra());
    if (extra)
        showRestoredMachine(*extra);
    refresh();
}

void MainWindow::showRestoredMachine(const UndoExtra &extra)
{
    if (const auto state = std::static_pointer_cast<const WindowState>(extra.data)) {
        m_painted = state->painted;
        for (int j = 0; j < LabelSlots; ++j)
            m_editor->setLabelFont(j, state->labelFonts[static_cast<std::size_t>(j)]);
        m_machine.app.Step = static_cast<std::uint8_t>(state->step);
    }
    // Rebuilding a level-1 stage puts every program back to step 1: the restored programs
    // and step stay as they were.
    // The stage reports the rebuilding as it goes; that half-restored machine is no edit.
    const PartsTable programs = m_machine.parts;
    const std::uint8_t step = m_machine.app.Step;
    unrecorded([this] { m_engine->rebuildStage(); });
    m_machine.parts = programs;
    m_machine.app.Step = step;

    for (int j = 0; j < LabelSlots; ++j)
        if (stage().labels[static_cast<std::size_t>(j)].visible)
            m_editor->fitLabel(j);
    for (int i = 0; i < PartSlots; ++i)
        if (m_machine.partExists(i) && m_painted.has(i))
            showPaintedPicture(i, m_painted.picture(i));
    m_editor->showRestoredMachine();
    if (m_machine.app.Level == 1) {
        for (std::size_t s = 0; s < m_stepActions.size(); ++s)
            m_stepActions[s]->setChecked(static_cast<int>(s) + 1 == step);
        showStepTexts(step);
    }
    updateLevelPanel();
    // Choosing what is selected may name another current part: that is where the next edit
    // starts, without a step of its own and keeping what there is to redo.
    m_history.rebase(m_machine, undoExtra());
}

} // namespace jhk
