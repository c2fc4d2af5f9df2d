#pragma once

#include <QImage>

#include <functional>

class QWidget;

namespace jhk {

// What the paint tool needs from the main window.
struct PaintHooks {
    // Gives the part that is CurParts when the button is pressed its new picture: the drawing
    // on "決定", the first-state picture on "キャンセル". Closing the window gives nothing.
    std::function<void(const QImage &)> handBack;
    // "終了(&X)": runs the main window's quit prompt (which closes the paint tool first).
    // When empty, the owner's window is closed, which runs the same prompt.
    std::function<void()> quit;
};

// The "編集" button of the part property dialog: shows the paint tool, not modal, owned by
// `owner` (the main window), with `picture` on its canvas. A paint tool already open starts
// over with the new picture.
void openPaintTool(QWidget *owner, const QImage &picture, PaintHooks hooks);

// Whether the paint tool is open, and closing it without handing anything back (the main
// window's quit prompt does this before asking to save).
bool isPaintToolOpen();
void closePaintTool();

// Hands the drawing in the open paint tool to its part as "決定" would, but keeps the tool
// open with the drawing: the quit prompt does this before saving, so that the saved machine
// holds the drawing and a cancelled save loses nothing.
void handOverPaintToolDrawing();

} // namespace jhk
