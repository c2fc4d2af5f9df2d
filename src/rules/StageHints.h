#pragma once

#include "model/AppState.h"

namespace jhk {

// What the main window tells a pupil who tries something in a way that does nothing.

// A palette button that was clicked instead of dragged (and its tooltip).
inline constexpr const char *DragToStageHint = "ステージへドラッグしてください";

// Over the stage while a part is picked for an operand of a block.
inline constexpr const char *PickPartHint = "パーツをクリックして下さい（Escで中止）";

// Ctrl+S when saving cannot be done now.
inline constexpr const char *NoSaveWhileRunning = "実行中は保存できません。「停止」を押してから保存して下さい";
inline constexpr const char *NoSaveInWindow = "この画面を閉じてから保存して下さい";

// Why Ctrl+S cannot save just now, or nullptr when nothing stands in the way. `otherWindow`:
// the key was pressed in another window of the program (a dialog, the block editor, the
// paint tool) that has no saving of its own.
inline const char *whyNoSaveNow(const AppState &app, bool otherWindow)
{
    if (app.RunMode == ModeRunning || app.RunMode == ModeOneBlock)
        return NoSaveWhileRunning;
    if (otherWindow || app.RunMode != ModeEditing || app.BlockEditorOpen != 0)
        return NoSaveInWindow;
    return nullptr;
}

} // namespace jhk
