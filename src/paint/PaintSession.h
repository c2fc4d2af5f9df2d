#pragma once

#include "paint/PaintState.h"
#include "paint/SurfaceCopy.h"
#include "paint/ToolTable.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace jhk {

class Tool;

inline constexpr int SwatchCount = 18;
inline constexpr std::array<Colour, SwatchCount> StartSwatches = {
    0xFFFFFF, 0xC0C0C0, 0xC0C0FF, 0xC0E0FF, 0xC0FFFF, 0xC0FFC0, 0xFFFFC0, 0xFFC0C0, 0xFFC0FF,
    0x000000, 0x808080, 0x0000FF, 0x0080FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF,
};

// The largest drawing zooming in makes, in pixels: 8 times the largest canvas fits easily.
inline constexpr qint64 MaxZoomedPixels = 16 * 1024 * 1024;

inline constexpr const char *CannotUndoCaption = "元に戻せません";

// The text tool's box: where it stands on the drawing and what has been typed into it.
struct TextBox {
    bool visible = false;
    QPoint at;
    QString text;
    Colour colour = ColourBlack;
};

// What the paint window edits, without the window: the drawing with its undo, base and
// first-state copies, the paint state, the tools, the one-level undo, the colours and the
// picture files. The window forwards the mouse and its menus here and draws what it finds.
class PaintSession
{
public:
    explicit PaintSession(double twipsX = 15, double twipsY = 15);
    ~PaintSession();
    PaintSession(const PaintSession &) = delete;
    PaintSession &operator=(const PaintSession &) = delete;

    // Starts over with `picture`, as when the window opens: every value back to its start,
    // the pen tool chosen, undo unavailable.
    void start(const QImage &picture);

    // Surfaces.
    QImage &drawing() { return drawing_; }
    const QImage &drawing() const { return drawing_; }
    QImage &undoCopy() { return undo_.image(); }
    QImage &baseCopy() { return base_.image(); }
    const QImage &firstCopy() const { return first_; }
    QSize size() const { return drawing_.size(); }
    // Gives the drawing a new size; the undo and base copies follow, keeping their content
    // from the top-left corner, new area white (made when a tool first reads them).
    void resizeDrawing(QSize size);
    void copyDrawingToBase() { base_ = drawing_; }
    void copyBaseToDrawing() { drawing_ = base_.image(); }
    void copyDrawingToUndo() { undo_ = drawing_; }
    void copyUndoToDrawing() { drawing_ = undo_.image(); }
    QPoint clamp(QPoint p) const;

    PaintState &state() { return state_; }
    const PaintState &state() const { return state_; }

    // Tools.
    int currentTool() const { return currentTool_; }
    void chooseTool(int index);
    void press(PaintButton button, QPoint p);
    void move(unsigned buttons, QPoint p);
    void release(PaintButton button, QPoint p);
    // A second button pressed during a drag: back to the picture from before the drag.
    void cancelDrag();

    // Option panels.
    void choosePenWidth(int entry);
    void chooseFillShapes(int entry);
    void chooseEraserSize(int entry);

    // Undo.
    bool canUndo() const { return canUndo_; }
    QString undoCaption() const;
    void undoableAction(const char *name); // enables undo, naming the action
    void disableUndo();
    void undo();

    // Colours.
    Colour actionColour() const;
    Colour otherColour() const;
    void setFrontColour(Colour c) { state_.FrontColor = c; }
    void setBackColour(Colour c) { state_.BackgroundColor = c; }
    Colour swatch(int n) const { return swatches_.at(static_cast<std::size_t>(n)); }
    void setSwatch(int n, Colour c) { swatches_.at(static_cast<std::size_t>(n)) = c; }
    void pressSwatch(int n, PaintButton button);
    void resetColours();
    void swapColours();
    // The colour the palette window edits for the given target, and giving it one.
    Colour targetColour(int target) const;
    void setTargetColour(int target, Colour c);

    // Zoom.
    void zoomIn();
    void zoomOut();

    // Text tool.
    const TextBox &textBox() const { return textBox_; }
    void showTextBox(QPoint at, Colour colour);
    void setTypedText(const QString &text) { textBox_.text = text; }
    void clickTextBox(PaintButton button, const QFont &font);

    // Whole-picture commands.
    void firstState();
    void newPicture();
    // Open: false with nothing changed when the file cannot be read as a picture, or when it
    // is larger than the largest canvas (then `refusal` gets the message naming the limit).
    bool openPicture(const QString &path, QString *refusal = nullptr);
    // Save as: writes a Windows bitmap whatever the name; an error text on failure.
    std::optional<QString> savePicture(const QString &path) const;
    // The picture handed to the part on OK (zoomed back to 1) and on Cancel.
    QImage okPicture();
    QImage cancelPicture() const;

    // Status areas.
    const QString &positionText() const { return positionText_; }
    void clearPosition() { positionText_.clear(); }
    const QString &helpText() const { return helpText_; }

    // Called while a zoom step runs, with the status text (empty when it ends), so the window
    // can show it and the hourglass.
    std::function<void(const QString &)> onBusy;

private:
    void zoomStep(bool in);
    void setBusy(const QString &text);

    QImage drawing_;
    SurfaceCopy undo_, base_;
    QImage first_;
    PaintState state_;
    double twipsX_, twipsY_;
    std::array<std::unique_ptr<Tool>, ToolCount> tools_;
    int currentTool_ = ToolPen;
    bool canUndo_ = false;
    QString undoName_;
    std::array<Colour, SwatchCount> swatches_ = StartSwatches;
    TextBox textBox_;
    QString positionText_;
    QString helpText_;
};

// A white picture of the given size in the surfaces' format.
QImage whitePicture(QSize size);

} // namespace jhk
