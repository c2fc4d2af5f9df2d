#pragma once

#include "engine/Stage.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace jhk {

struct Machine;
struct StageOrder;
class Engine;
class StageEditor;

// What lies under the pointer on the stage.
struct StageHit {
    enum Kind { Surface, Part, Label, Product, Coin } kind = Surface;
    int index = -1;
    bool operator==(const StageHit &) const = default;
};

// A rectangle in stage pixels (from the stage's top-left corner).
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect &) const = default;
    bool empty() const { return width <= 0 || height <= 0; }
    bool contains(int x, int y) const { return x >= left && x < left + width && y >= top && y < top + height; }
    // The smallest rectangle holding both (an empty one adds nothing).
    PixelRect united(const PixelRect &o) const;
};

// Where the stage's controls lie in pixels, which one is under a point (coins above products
// above parts and labels, the front one of those by their stacking order) and where a point
// lies in twips from a control's corner.
class StageHitTest {
public:
    StageHitTest(const Machine &machine, const Stage &stage, const StageOrder &order);

    PixelRect toPixels(const StageRect &r) const;
    StageHit hitAt(int x, int y) const;
    // A control's rectangle; the whole stage for its surface.
    PixelRect itemRect(StageHit hit) const;
    // A stage point in twips from the top-left corner of the control hit (of the stage for
    // its surface).
    std::pair<int, int> relativeTwips(StageHit hit, int x, int y) const;
    // Everything drawn for part i: its picture, its number strip (of the given size, where
    // partNumberRect puts it) and its digits.
    PixelRect partBounds(int i, int numberWidth, int numberHeight) const;
    // Where a part's number strip is drawn: above the part, else right of it, else left of
    // it, else over its corner, whichever first stays on the stage.
    static PixelRect partNumberRect(const PixelRect &part, int numberWidth, int numberHeight,
                                    const PixelRect &stage);

private:
    const Machine &m_machine;
    const Stage &m_stage;
    const StageOrder &m_order;
};

// The width of a digit of a part's amount on the stage's digit strip, in pixels.
inline constexpr int DigitPixels = 17;

// A part is being picked on the stage for an operand of a block.
bool isPicking(int runMode);

enum class PointerButton { Left, Right, Middle, Other };

// What the stage's rules ask of the window around the stage.
class StageControllerHost {
public:
    virtual ~StageControllerHost() = default;
    // A right press on a part while editing: its menu "プロパティの変更...", offered once the
    // press has been handled.
    virtual void offerPartMenu(int slot) = 0;
    // A double-click while editing: the block editor of a part, the editor of a label.
    virtual void openBlockEditor(int part) = 0;
    virtual void editLabel(int label) = 0;
    // The variable menu of a part picked for an operand: the entries A, B and C; answered with
    // the entry chosen, or nothing when the menu was closed.
    virtual void askVariable(const std::array<std::string, 3> &captions,
                             std::function<void(std::optional<int>)> answer) = 0;
    // The pick is over (done or given up): the block editor comes back.
    virtual void finishPick() = 0;
    // The stage and the window show the machine as it is now.
    virtual void refresh() = 0;
    // Something moved on the stage during a drag.
    virtual void stageMoved() = 0;
};

// The stage's pointer in each mode: which press, drag, release, click and double-click goes to
// the stage editor (editing), to the engine (running, one block at a time: parts, products and
// coins) or picks a part for a block (picking). Positions are stage pixels; the face forwards
// its events and draws.
class StageController {
public:
    StageController(Machine &machine, Engine &engine, StageEditor &editor, StageControllerHost &host);

    const StageHitTest &hitTest() const { return m_hits; }

    // A button goes down; onlyButton: no other button is held. The first button down starts
    // a new press, even when the last one ended unseen (its release went to a dialog).
    void press(int x, int y, PointerButton button, bool onlyButton);
    // The pointer moves; during a press the control pressed follows it.
    void move(int x, int y, bool leftHeld, bool modifierHeld);
    // A button comes up; noneLeft: no button is held any more. A left release over the control
    // pressed is a click on it.
    void release(int x, int y, PointerButton button, bool noneLeft);
    void doubleClick(int x, int y, PointerButton button);
    // The buttons came up where the stage did not see it (an editor opened by a double-click
    // took the release).
    void releasedElsewhere() { m_pressing = false; }
    bool pressing() const { return m_pressing; }
    // Escape: gives up picking a part and brings the block editor back unchanged. False when
    // nothing was being picked.
    bool escape();

private:
    void down(StageHit hit, PointerButton button, int x, int y);
    void drag(StageHit hit, bool leftHeld, int x, int y, bool modifierHeld);
    void up(StageHit hit, PointerButton button);
    void click(StageHit hit);

    Machine &m_machine;
    Engine &m_engine;
    StageEditor &m_editor;
    StageControllerHost &m_host;
    StageHitTest m_hits;
    StageHit m_pressed;
    bool m_pressing = false;
};

} // namespace jhk
