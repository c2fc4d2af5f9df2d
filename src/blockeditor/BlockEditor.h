#pragma once

class QWidget;
class QString;

namespace jhk {

class BlockEditorHost;
class Catalogue;

// Opens the block editor of part `part` as a window modal to the stage window, when RunMode
// is 0 and no editor is open (BlockEditorOpen 0); returns false otherwise. The call returns at
// once: the editor lives until the pupil presses "決定", "キャンセル" or its close box, and then
// calls host.blockEditorClosed(). The host and the catalogue (the one the program read at its
// start) must outlive the editor.
bool openBlockEditor(QWidget *stageWindow, BlockEditorHost &host, const Catalogue &catalogue, int part);

// True while an editor is open (also while it is hidden for a pick on the stage).
bool blockEditorIsOpen();

// Called by the stage after a click on a part has been handled by the engine's picking (for a
// conditional branch after the variable menu has closed), or to abandon a pick: shows the
// editor again, returns RunMode to 0 and reopens the block detail dialog with the new operand.
void finishBlockEditorPick();

// Draws the flowchart of part `part` of the machine document `jhkPath` exactly as the editor
// shows it (353 × 441 pixels at 96 dpi) into `outPath`: a PDF when the name ends in ".pdf",
// otherwise a picture whose format follows the extension (PNG by default). Returns 0 on
// success; otherwise writes a message to standard error and returns 1 (document unreadable,
// no such part) or 2 (the picture could not be written).
int exportFlowchart(const QString &jhkPath, int part, const QString &outPath);

} // namespace jhk
