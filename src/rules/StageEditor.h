#pragma once

#include "engine/Stage.h"

#include <array>
#include <functional>
#include <string>
#include <utility>

namespace jhk {

struct Machine;
class PictureSizes;
class UserDialogs;

// How the part property dialog was closed.
enum class PropertyOutcome { Ok, Cancel, Edit, Closed };

// What the stage editor needs from the windows around it.
class StageEditorHooks {
public:
    virtual ~StageEditorHooks() = default;
    // Shows the part property dialog for the new part in `slot`; `closed` gets how it was
    // closed, at once or later.
    virtual void showPropertyDialog(int slot, std::function<void(PropertyOutcome)> closed) = 0;
    // The size in twips of a label control showing its caption in its font.
    virtual std::pair<int, int> labelSize(const LabelControl &label, const std::string &fontName) = 0;
    // The money-in-hand change, opened by the palette's "所持金" button.
    virtual void changeMoneyInHand() = 0;
};

// What the selection panel shows; at first the captions the window is designed with.
struct SelectionPanel {
    std::string partsId = "パーツ番号";     // "パーツ番号：3"
    std::string partsName = "パーツの名前"; // kind caption or label caption
    std::string x = "Ｘ座標";               // "Ｘ座標：96" or bare twips
    std::string y = "Ｙ座標";
    int pictureKind = -1;     // palette picture of the selected part's kind
    bool pictureVisible = false;
    std::string partsCount = "パーツの数：";
};

// The drawing order of the stage's controls: higher is in front.
struct StageOrder {
    std::array<int, PartSlots> parts{};
    std::array<int, LabelSlots> labels{};
    int frame = 0;
    int top = 0;
};

// What a drop on the stage brings.
enum class DropSource { PartButton, LabelButton, Other };

// The editing rules of the stage: placing parts and labels from the palette, selecting and
// moving them with the mouse, deleting the current one. Works on the tables and on the
// engine's stage model; the main window forwards its mouse events and draws the result.
class StageEditor {
public:
    StageEditor(Machine &machine, Stage &stage, const PictureSizes &sizes, UserDialogs &dialogs,
                StageEditorHooks &hooks);

    const SelectionPanel &panel() const { return m_panel; }
    SelectionPanel &panel() { return m_panel; }
    const StageOrder &order() const { return m_order; }
    // The font of each label control; its name is not kept in the tables.
    const std::string &labelFont(int j) const { return m_labelFonts[static_cast<std::size_t>(j)]; }
    const std::array<std::string, LabelSlots> &labelFonts() const { return m_labelFonts; }
    void setLabelFont(int j, std::string name) { m_labelFonts[static_cast<std::size_t>(j)] = std::move(name); }

    // Palette: button-down on a part button (5 opens the money-in-hand change).
    // Returns true when a drag of the button starts.
    bool paletteButtonDown(int kind);
    // A drop on the stage's surface at (x, y) twips. A part dropped waits for its property
    // dialog; `done` comes when the drop has been fully handled.
    void dropOnStage(DropSource source, int kind, double x, double y, std::function<void()> done = {});

    // Mouse on part i while editing; x, y twips inside the part.
    void partDown(int i, bool leftButton, int x, int y);
    void partMove(int i, int x, int y, bool modifierHeld);
    void partUp(int i, bool leftButton);

    // Mouse on label j while editing; x, y twips inside the label.
    void labelDown(int j, bool leftButton, int x, int y);
    void labelMove(int j, bool leftButtonHeld, int x, int y, bool modifierHeld);
    void labelUp(int j, bool leftButton);

    // A modal editor opened from a double-click takes the button-up: the held control, if
    // any, shows again where it was pressed and the next button-up finds nothing held.
    void endDrag();

    // The panel after the engine has handled a press on part i during a run.
    void partPressedDuringRun(int i);

    // The "パーツの削除" button.
    void deleteCurrent();

    // The tables came back from the undo history and the stage shows them: the palette and
    // the delete button follow what exists, and the current part or label (the one the
    // restored machine names, else the first there is) is selected and framed.
    void showRestoredMachine();

    // The coordinate fields in pixel form ("Ｘ座標：96") or twips form.
    void writeCoordinatesPixels(const StageRect &r);
    void writeCoordinatesTwips(const StageRect &r);

    // Sizes a label control to its text and font.
    void fitLabel(int j);
    void bringPartToFront(int i);
    void bringLabelToFront(int j);
    void bringFrameToFront();

private:
    void placeLabel();
    void placePart(int kind, std::function<void()> placed);
    void finishDrop();
    // What was selected, and what the panel showed, before a drop.
    struct Selected {
        std::int16_t current;
        std::int16_t kind;
        bool framed;
        SelectionPanel panel;
    };
    void reselect(const Selected &before);
    void selectAfterLabelDeleted();
    void selectAfterPartDeleted();
    void clearSelection();
    void showPartPanel(int i);
    void showSelection(int selKind);

    Machine &m_machine;
    Stage &m_stage;
    const PictureSizes &m_sizes;
    UserDialogs &m_dialogs;
    StageEditorHooks &m_hooks;
    SelectionPanel m_panel;
    StageOrder m_order;
    std::array<std::string, LabelSlots> m_labelFonts;
};

// A quotient as the coordinate fields write it: a whole number without decimals.
std::string formatCoordinate(double value);

} // namespace jhk
