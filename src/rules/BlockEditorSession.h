#pragma once

#include "document/UndoHistory.h"
#include "rules/BlockDetailModel.h"
#include "rules/BlockEditorModel.h"

#include <memory>
#include <optional>

namespace jhk {

// What a press or a double-click on the flowchart canvas asks the window to show next.
enum class CanvasAnswer { Nothing, PopupMenu, DetailDialog };

// The entries of a block box's pop-up menu "指定１ | 指定２ | 削除".
enum class PopupEntry { NextBlock1, NextBlock2, Delete };

// One opening of the block editor on a part, from the double-click on the stage until "決定",
// "キャンセル" or the close box: the editor's rules, its own history of the part's program (the
// keys of undo and redo while it is open), what the pointer on the flowchart canvas means, the
// block detail dialog while it is open and the pick of a part on the stage for an operand. The
// window, on the desktop or in a page, forwards the pupil's events and draws what this holds.
class BlockEditorSession {
public:
    using MessageFn = BlockEditorModel::MessageFn;

    // Whether the editor may open on part `part` now: only while editing, with no editor open.
    static bool mayOpen(const Machine &m, int part);
    // Opens the editor on part `part` (BlockEditorOpen -1 until it closes); `message` shows a
    // message box (the editor goes on).
    BlockEditorSession(Machine &m, int part, const Catalogue &catalogue, MessageFn message);
    ~BlockEditorSession();
    BlockEditorSession(const BlockEditorSession &) = delete;
    BlockEditorSession &operator=(const BlockEditorSession &) = delete;

    BlockEditorModel &model() { return *m_model; }
    const BlockEditorModel &model() const { return *m_model; }
    const UndoHistory &history() const { return m_history; }

    // --- the flowchart canvas, positions in canvas pixels (fractions where the window is scaled)
    // Where a canvas pixel lies in the canvas's twips.
    std::pair<int, int> toTwips(double x, double y) const;
    // A press on the canvas: on a block box it selects, picks a link or asks for the pop-up
    // menu (right button); on the start box it shows the start; on the end box (left button)
    // it ends a link's pick there.
    CanvasAnswer canvasPress(double x, double y, BoxButton button);
    // The pointer moves with the left button held: the box pressed shows the cell it would go to.
    void canvasMove(double x, double y);
    void canvasRelease(BoxButton button);
    // A double-click: on a block box the detail dialog; on the start box the pick of the first block.
    CanvasAnswer canvasDoubleClick(double x, double y);
    // An entry of the pop-up menu is there to be chosen; it was chosen.
    bool popupEntryEnabled(PopupEntry entry) const;
    void choosePopupEntry(PopupEntry entry);
    // A palette entry dragged out of the list and let go over the canvas at (x, y).
    void dropFromPalette(int tab, int position, double x, double y);

    // Every change the window makes ends here: a finished one becomes a step of the editor's
    // history (not while a link or a part is picked, nor under the detail dialog).
    void changed();
    // Undo and redo inside the editor, from its opening. Nothing while a link or a part is
    // being picked or the detail dialog is open.
    bool canUndo() const;
    bool canRedo() const;
    void undo() { travel(true); }
    void redo() { travel(false); }

    // --- the block detail dialog "ブロックの説明"
    // Opens it for the selected block; false when no block is selected or it is open already.
    // Opened again after a pick on the stage, it shows the new operand.
    bool openDetail();
    bool detailOpen() const { return m_detailOpen; }
    // The dialog open now (or the one open last, until the next opens).
    BlockDetailModel *detail() { return m_detail.get(); }
    const BlockDetailModel *detail() const { return m_detail.get(); }
    // The dialog closed without a pick (ＯＫ, Escape, its close box): the editor becomes active
    // again. Returns true when the dialog is to be opened again at once.
    bool detailClosed();
    // A "指定" button of the dialog asked for a part on the stage: the dialog has closed, the
    // window hides itself, the stage takes the next click (RunMode 3, 4, 5 or 9). Shows the
    // request's message where there is one.
    void beginStagePick(const StagePickRequest &pick);
    // The window is hidden for a pick on the stage.
    bool pickingOnStage() const { return m_pickingOnStage; }
    // The pick on the stage is over (done or given up): the window shows again and the detail
    // dialog opens with the new operand. Returns true when the dialog is to be shown.
    bool finishStagePick();

    // --- closing
    // "決定" and "キャンセル": true when the window is to close.
    bool confirm();
    bool cancel();
    // The window closes by any way (the two buttons, its close box, Escape): back to editing
    // mode, BlockEditorOpen 0. Only once.
    void close();
    bool closed() const { return m_closed; }

private:
    int boxAt(double x, double y) const;
    bool onStartBox(double x, double y) const;
    bool onEndBox(double x, double y) const;
    void travel(bool back);
    bool historyAllowed() const;
    void say(const std::string &text) const;

    Machine &m_machine;
    MessageFn m_message;
    std::unique_ptr<BlockEditorModel> m_model;
    std::unique_ptr<BlockDetailModel> m_detail;
    UndoHistory m_history;
    bool m_detailOpen = false;
    bool m_pickingOnStage = false;
    bool m_closed = false;
    int m_pressedSlot = -1; // the box a press went down on, until its button is let go
    BoxButton m_pressedButton = BoxButton::Left;
};

} // namespace jhk
