#include "rules/BlockEditorSession.h"

#include "model/AppState.h"

#include <cmath>

namespace jhk {

BlockEditorSession::BlockEditorSession(Machine &m, int part, const Catalogue &catalogue, MessageFn message)
    : m_machine(m)
    , m_message(std::move(message))
    , m_model(std::make_unique<BlockEditorModel>(m, part, catalogue, [this](const std::string &text) { say(text); }))
{
    m.app.BlockEditorOpen = -1;
    m_history.reset(m);
}

bool BlockEditorSession::mayOpen(const Machine &m, int part)
{
    return m.app.RunMode == ModeEditing && m.app.BlockEditorOpen == 0 && m.partExists(part);
}

BlockEditorSession::~BlockEditorSession() = default;

std::pair<int, int> BlockEditorSession::toTwips(double x, double y) const
{
    const CanvasGeometry &g = m_model->geometry();
    return {static_cast<int>(std::lround(x * g.twipsX)), static_cast<int>(std::lround(y * g.twipsY))};
}

int BlockEditorSession::boxAt(double x, double y) const
{
    const auto [tx, ty] = toTwips(x, y);
    return m_model->blockAt(tx, ty);
}

bool BlockEditorSession::onStartBox(double x, double y) const
{
    const auto [tx, ty] = toTwips(x, y);
    return m_model->geometry().startBox().contains(tx, ty) && m_model->scene().startBoxVisible;
}

bool BlockEditorSession::onEndBox(double x, double y) const
{
    const auto [tx, ty] = toTwips(x, y);
    return m_model->geometry().endBox().contains(tx, ty);
}

CanvasAnswer BlockEditorSession::canvasPress(double x, double y, BoxButton button)
{
    const int slot = boxAt(x, y);
    if (slot >= 0) {
        m_pressedSlot = slot;
        m_pressedButton = button;
        const auto [tx, ty] = toTwips(x, y);
        const BlockRecord &b = m_model->record().Blocks[static_cast<std::size_t>(slot)];
        const bool popup = m_model->boxMouseDown(slot, button, tx - b.X, ty - b.Y);
        changed();
        return popup ? CanvasAnswer::PopupMenu : CanvasAnswer::Nothing;
    }
    // The start box answers either button; the end box ends a pick with the left one only.
    if (onStartBox(x, y))
        m_model->startBoxMouseDown();
    else if (button == BoxButton::Left && onEndBox(x, y))
        m_model->endBoxClick();
    changed();
    return CanvasAnswer::Nothing;
}

void BlockEditorSession::canvasMove(double x, double y)
{
    if (m_pressedSlot < 0 || m_pressedButton != BoxButton::Left)
        return;
    const auto [tx, ty] = toTwips(x, y);
    const BlockRecord &b = m_model->record().Blocks[static_cast<std::size_t>(m_pressedSlot)];
    m_model->boxMouseMove(m_pressedSlot, tx - b.X, ty - b.Y);
}

void BlockEditorSession::canvasRelease(BoxButton button)
{
    if (m_pressedSlot < 0 || button != m_pressedButton)
        return;
    const int slot = m_pressedSlot;
    m_pressedSlot = -1;
    m_model->boxMouseUp(slot, button);
    changed();
}

CanvasAnswer BlockEditorSession::canvasDoubleClick(double x, double y)
{
    const int slot = boxAt(x, y);
    CanvasAnswer answer = CanvasAnswer::Nothing;
    if (slot >= 0) {
        // The second button-up of a double click belongs to this box too.
        m_pressedSlot = slot;
        m_pressedButton = BoxButton::Left;
        if (m_model->boxDoubleClick(slot) && openDetail())
            answer = CanvasAnswer::DetailDialog;
    } else if (onStartBox(x, y)) {
        m_model->startBoxDoubleClick();
    }
    changed();
    return answer;
}

bool BlockEditorSession::popupEntryEnabled(PopupEntry entry) const
{
    switch (entry) {
    case PopupEntry::NextBlock1: return m_model->nextBlockButtonAvailable(0);
    case PopupEntry::NextBlock2: return m_model->nextBlockButtonAvailable(1);
    case PopupEntry::Delete: return true;
    }
    return false;
}

void BlockEditorSession::choosePopupEntry(PopupEntry entry)
{
    switch (entry) {
    case PopupEntry::NextBlock1: m_model->nextBlockButton(0); break;
    case PopupEntry::NextBlock2: m_model->nextBlockButton(1); break;
    case PopupEntry::Delete: m_model->deleteSelected(); break;
    }
    changed();
}

void BlockEditorSession::dropFromPalette(int tab, int position, double x, double y)
{
    const CanvasGeometry &g = m_model->geometry();
    const auto [tx, ty] = toTwips(x, y);
    if (tx < 0 || ty < 0 || tx >= g.width() || ty >= g.height())
        return; // let go beside the canvas: nothing is dropped
    m_model->dropBlock(tab, position, tx, ty);
    changed();
}

// --- history

bool BlockEditorSession::historyAllowed() const
{
    return m_model->runMode() == ModeEditing && !m_detailOpen && !m_pickingOnStage && !m_closed;
}

void BlockEditorSession::changed()
{
    if (historyAllowed())
        m_history.checkpoint(m_machine);
}

bool BlockEditorSession::canUndo() const
{
    return historyAllowed() && m_history.canUndo();
}

bool BlockEditorSession::canRedo() const
{
    return historyAllowed() && m_history.canRedo();
}

void BlockEditorSession::travel(bool back)
{
    if (!historyAllowed())
        return;
    if (back ? m_history.undo(m_machine) : m_history.redo(m_machine))
        m_model->historyRestored();
    changed();
}

// --- the detail dialog and picks on the stage

bool BlockEditorSession::openDetail()
{
    const int block = m_model->currentBlock();
    if (block < 0 || block >= BlockSlots || !m_model->record().Blocks[static_cast<std::size_t>(block)].isUsed()
        || m_detailOpen || m_closed)
        return false;
    const bool reopened = m_machine.app.DetailReopen == -1;
    m_detail = std::make_unique<BlockDetailModel>(m_machine, m_model->partSlot(), block, m_model->panel(),
                                                  m_model->catalogue().appDir());
    if (reopened)
        m_detail->reactivate();
    m_detailOpen = true;
    return true;
}

bool BlockEditorSession::detailClosed()
{
    m_detailOpen = false;
    if (m_closed)
        return false;
    // A dialog that opens again at once (after a pick on the stage) is still the same change.
    const bool again = m_model->activate(!m_pickingOnStage);
    if (!again)
        changed();
    return again;
}

void BlockEditorSession::beginStagePick(const StagePickRequest &pick)
{
    m_detailOpen = false;
    m_pickingOnStage = true;
    m_model->beginStagePick(pick.runMode);
    if (!pick.message.empty())
        say(pick.message);
}

void BlockEditorSession::say(const std::string &text) const
{
    if (m_message)
        m_message(text);
}

bool BlockEditorSession::finishStagePick()
{
    if (m_closed || !m_pickingOnStage)
        return false;
    m_pickingOnStage = false;
    m_model->finishStagePick();
    return detailClosed();
}

// --- closing

bool BlockEditorSession::confirm()
{
    return m_model->confirm();
}

bool BlockEditorSession::cancel()
{
    return m_model->cancel();
}

void BlockEditorSession::close()
{
    if (m_closed)
        return;
    m_closed = true;
    m_detailOpen = false;
    m_pickingOnStage = false;
    m_model->closing();
}

} // namespace jhk
