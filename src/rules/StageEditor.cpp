#include "rules/StageEditor.h"

#include "model/AppState.h"
#include "model/Creation.h"
#include "model/Int16.h"
#include "rules/StageTexts.h"
#include "rules/UserDialogs.h"

#include <cmath>
#include <cstdio>

namespace jhk {

namespace {

std::int16_t round16(double v) { return clamp16(roundHalfEven(v)); }

bool isLabelSlot(int j) { return j >= 1 && j < LabelSlots; }

// The counts always follow the used slots, whatever happened to the controls.
void recount(Machine &m)
{
    int parts = 0;
    for (int i = 0; i < PartSlots; ++i)
        parts += m.part(i).isUsed() ? 1 : 0;
    int labels = 0;
    for (int j = 0; j < LabelSlots; ++j)
        labels += m.label(j).isUsed() ? 1 : 0;
    m.app.PartsCount = static_cast<std::int16_t>(parts);
    m.app.LabelCount = static_cast<std::int16_t>(labels);
}

} // namespace

std::string formatCoordinate(double value)
{
    if (value == std::floor(value))
        return std::to_string(static_cast<long long>(value));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.7g", value);
    return buffer;
}

StageEditor::StageEditor(Machine &machine, Stage &stage, const PictureSizes &sizes, UserDialogs &dialogs,
                         StageEditorHooks &hooks)
    : m_machine(machine), m_stage(stage), m_sizes(sizes), m_dialogs(dialogs), m_hooks(hooks)
{
}

void StageEditor::bringPartToFront(int i) { m_order.parts[static_cast<std::size_t>(i)] = ++m_order.top; }
void StageEditor::bringLabelToFront(int j) { m_order.labels[static_cast<std::size_t>(j)] = ++m_order.top; }
void StageEditor::bringFrameToFront() { m_order.frame = ++m_order.top; }

void StageEditor::showSelection(int selKind)
{
    m_stage.showSelection(m_machine, selKind, m_machine.app.CurParts);
    bringFrameToFront();
}

void StageEditor::writeCoordinatesPixels(const StageRect &r)
{
    const AppState &app = m_machine.app;
    m_panel.x = "Ｘ座標：" + formatCoordinate(static_cast<double>(r.left) / app.TwipsX);
    m_panel.y = "Ｙ座標：" + formatCoordinate(static_cast<double>(r.top) / app.TwipsY);
}

void StageEditor::writeCoordinatesTwips(const StageRect &r)
{
    m_panel.x = std::to_string(r.left);
    m_panel.y = std::to_string(r.top);
}

void StageEditor::fitLabel(int j)
{
    LabelControl &c = m_stage.labels[static_cast<std::size_t>(j)];
    const auto [w, h] = m_hooks.labelSize(c, labelFont(j));
    c.rect.width = w;
    c.rect.height = h;
}

bool StageEditor::paletteButtonDown(int kind)
{
    if (m_machine.app.RunMode != ModeEditing)
        return false;
    if (kind == KindMoneyInHand) {
        m_hooks.changeMoneyInHand();
        return false;
    }
    return true;
}

void StageEditor::dropOnStage(DropSource source, int kind, double x, double y, std::function<void()> done)
{
    AppState &app = m_machine.app;
    app.DropX = static_cast<float>(x);
    app.DropY = static_cast<float>(y);
    const auto finish = [this, done] {
        m_panel.partsCount = "パーツの数：" + std::to_string(m_machine.app.PartsCount) + "個";
        if (done)
            done();
    };
    if (source == DropSource::Other) {
        m_dialogs.message(NotAButtonMessage);
    } else if (app.RunMode == ModeEditing) {
        if (source == DropSource::LabelButton) {
            placeLabel();
            finishDrop();
        } else {
            // A drop whose property dialog is cancelled leaves the stage as it was before it:
            // what was selected then is selected again, and the panel shows it.
            Selected before{app.CurParts, app.SelKind, m_stage.selection.visible, m_panel};
            placePart(kind, [this, finish, before = std::move(before)] {
                AppState &app = m_machine.app;
                const bool cancelled = app.DeleteNewParts == -1;
                // The panel names the part just dropped, not the one selected before.
                if (!cancelled && app.SelKind == SelectionPart && m_machine.partExists(app.CurParts))
                    showPartPanel(app.CurParts);
                finishDrop();
                if (cancelled)
                    reselect(before);
                finish();
            });
            return;
        }
    }
    finish();
}

void StageEditor::reselect(const Selected &before)
{
    AppState &app = m_machine.app;
    const int cur = before.current;
    const bool exists = (before.kind == SelectionPart && m_machine.partExists(cur))
        || (before.kind == SelectionLabel && isLabelSlot(cur) && m_machine.label(cur).isUsed());
    if (exists && before.framed) {
        app.CurParts = before.current;
        app.SelKind = before.kind;
        showSelection(before.kind);
        m_stage.selection.visible = true;
        m_stage.controls.deleteEnabled = true;
    } else {
        clearSelection();
        app.CurParts = before.current;
        app.SelKind = before.kind;
    }
    m_panel = before.panel;
}

// A part whose property dialog was cancelled goes again.
void StageEditor::finishDrop()
{
    AppState &app = m_machine.app;
    m_panel.partsId = "パーツ番号：" + std::to_string(app.CurParts);
    if (app.DeleteNewParts == -1) {
        deleteCurrent();
        app.DeleteNewParts = 0;
    }
}

void StageEditor::placeLabel()
{
    AppState &app = m_machine.app;
    int slot = -1;
    for (int j = 1; j < LabelSlots; ++j) {
        if (!m_machine.label(j).isUsed()) {
            slot = j;
            break;
        }
    }
    if (slot > 0) {
        app.LabelCount = add16(app.LabelCount, 1);
        LabelControl &c = m_stage.labels[static_cast<std::size_t>(slot)];
        c.caption = newLabelCaption(slot);
        c.fontSize = 12;
        c.backColor = app.ColorTable[7];
        c.foreColor = app.ColorTable[8];
        c.transparent = false;
        c.bold = false;
        c.italic = false;
        m_labelFonts[static_cast<std::size_t>(slot)].clear();
        c.rect.left = round16(app.DropX);
        c.rect.top = round16(app.DropY);
        fitLabel(slot);
        createLabel(m_machine, slot, c.rect.width, c.rect.height);
        bringLabelToFront(slot);
        m_stage.frameTightly(c.rect);
        m_stage.selection.visible = true;
        bringFrameToFront();
        c.visible = true;
        app.SelKind = SelectionLabel;
        app.CurParts = static_cast<std::int16_t>(slot);
        m_stage.controls.deleteEnabled = true;
        writeCoordinatesTwips(c.rect);
        m_panel.partsName = c.caption;
    }
    if (app.LabelCount >= MaxLabels)
        m_stage.controls.labelButtonEnabled = false;
}

void StageEditor::placePart(int kind, std::function<void()> placed)
{
    AppState &app = m_machine.app;
    const CreatePartResult created = createPart(m_machine, kind);
    if (created.slot < 0) {
        m_dialogs.message(created.message);
        placed();
        return;
    }
    if (created.paletteFull)
        m_stage.controls.partButtonsEnabled = false;
    const int i = created.slot;
    PartControl &c = m_stage.part(i);
    c.picture.clear();
    c.digits.clear();
    c.numberShown = false;
    c.rect = {round16(app.DropX), round16(app.DropY), m_machine.part(i).Width, m_machine.part(i).Height};
    m_stage.controls.deleteEnabled = true;
    writeCoordinatesPixels(c.rect);
    // While its property dialog is open the panel already names the part dropped, beside its
    // place; a cancelled drop puts back what the panel showed before.
    showPartPanel(i);
    showSelection(SelectionPart);

    m_hooks.showPropertyDialog(i, [this, i, placed](PropertyOutcome outcome) {
        AppState &app = m_machine.app;
        PartControl &c = m_stage.part(i);
        // Closed by its close box the dialog still leaves the part a picture to see and grab;
        // on "編集" the part shows the picture chosen until the paint tool hands it its drawing.
        if (outcome == PropertyOutcome::Ok || outcome == PropertyOutcome::Closed || outcome == PropertyOutcome::Edit)
            m_stage.setPartPicture(m_machine, m_sizes, i, m_machine.part(i).PictName);

        c.numberShown = true;
        app.CurParts = static_cast<std::int16_t>(i);
        showSelection(SelectionPart);
        m_stage.selection.visible = true;
        c.visible = true;
        bringPartToFront(i);
        bringFrameToFront();
        placed();
    });
}

void StageEditor::showPartPanel(int i)
{
    const int kind = m_machine.part(i).Kind;
    m_panel.partsId = "パーツ番号：" + std::to_string(i);
    m_panel.pictureKind = kind;
    m_panel.partsName = kind >= 0 && kind < PartsKindCount
        ? std::string(PartsKindCaptions[static_cast<std::size_t>(kind)])
        : std::string();
}

void StageEditor::partDown(int i, bool leftButton, int x, int y)
{
    AppState &app = m_machine.app;
    if (!m_machine.partExists(i) || !leftButton || app.RunMode != ModeEditing)
        return;
    const PartControl &c = m_stage.part(i);
    app.GrabX = clamp16(x);
    app.GrabY = clamp16(y);
    app.OrigLeft = clamp16(c.rect.left);
    app.OrigTop = clamp16(c.rect.top);
    app.SelKind = SelectionPart;
    app.DragIndex = static_cast<std::int16_t>(i);
    app.CurParts = static_cast<std::int16_t>(i);
    showPartPanel(i);
    m_panel.pictureVisible = true;
    writeCoordinatesPixels(c.rect);
}

void StageEditor::partPressedDuringRun(int i)
{
    if (!isPartSlot(i))
        return;
    showPartPanel(i);
    // The pupil reads where the part is in the stage's pixels, as while editing.
    writeCoordinatesPixels(m_stage.part(i).rect);
}

void StageEditor::partMove(int i, int x, int y, bool modifierHeld)
{
    AppState &app = m_machine.app;
    if (app.RunMode != ModeEditing || app.DragIndex < 0 || !isPartSlot(i) || !isPartSlot(app.CurParts))
        return;
    PartControl &c = m_stage.part(app.CurParts);
    c.visible = false;
    if (!modifierHeld) {
        c.rect.left += x - app.GrabX;
        c.rect.top += y - app.GrabY;
    }
    m_stage.frameTightly(c.rect);
}

void StageEditor::partUp(int i, bool leftButton)
{
    AppState &app = m_machine.app;
    // Only the part that is held takes the button-up.
    if (!leftButton || app.RunMode != ModeEditing || app.DragIndex != i || app.SelKind != SelectionPart
        || !m_machine.partExists(i))
        return;
    PartControl &c = m_stage.part(i);
    if (Stage::isOutside(m_machine, c.rect)) {
        c.rect.left = app.OrigLeft;
        c.rect.top = app.OrigTop;
    }
    c.visible = true;
    app.DragIndex = -1;
    showSelection(SelectionPart);
    PartsRecord &p = m_machine.part(i);
    p.Left = clamp16(c.rect.left);
    p.Top = clamp16(c.rect.top);
    writeCoordinatesPixels(c.rect);
    bringPartToFront(i);
    bringFrameToFront();
}

void StageEditor::labelDown(int j, bool leftButton, int x, int y)
{
    AppState &app = m_machine.app;
    if (app.RunMode != ModeEditing || !leftButton || !isLabelSlot(j) || !m_machine.label(j).isUsed())
        return;
    const LabelControl &c = m_stage.labels[static_cast<std::size_t>(j)];
    app.GrabX = clamp16(x);
    app.GrabY = clamp16(y);
    app.OrigLeft = clamp16(c.rect.left);
    app.OrigTop = clamp16(c.rect.top);
    app.DragIndex = static_cast<std::int16_t>(j);
    app.CurParts = static_cast<std::int16_t>(j);
    app.SelKind = SelectionLabel;
    bringLabelToFront(j);
    bringFrameToFront();
    m_stage.frameTightly(c.rect);
}

void StageEditor::labelMove(int j, bool leftButtonHeld, int x, int y, bool modifierHeld)
{
    AppState &app = m_machine.app;
    if (app.RunMode != ModeEditing || !leftButtonHeld || app.DragIndex < 1 || j < 1 || j >= LabelSlots)
        return;
    if (app.CurParts < 1 || app.CurParts >= LabelSlots)
        return;
    LabelControl &c = m_stage.labels[static_cast<std::size_t>(app.CurParts)];
    c.visible = false;
    if (!modifierHeld) {
        c.rect.left += x - app.GrabX;
        c.rect.top += y - app.GrabY;
    }
    m_stage.frameTightly(c.rect);
}

void StageEditor::labelUp(int j, bool leftButton)
{
    AppState &app = m_machine.app;
    // Only the label that is held takes the button-up: a deleted label never shows again.
    if (app.RunMode != ModeEditing || !leftButton || !isLabelSlot(j) || app.DragIndex != j
        || app.SelKind != SelectionLabel || !m_machine.label(j).isUsed())
        return;
    LabelControl &c = m_stage.labels[static_cast<std::size_t>(j)];
    if (Stage::isOutside(m_machine, c.rect)) {
        c.rect.left = app.OrigLeft;
        c.rect.top = app.OrigTop;
    }
    c.visible = true;
    app.DragIndex = -1;
    m_stage.frameTightly(c.rect);
    LabelRecord &l = m_machine.label(j);
    l.Left = clamp16(c.rect.left);
    l.Top = clamp16(c.rect.top);
    writeCoordinatesTwips(c.rect);
}

void StageEditor::endDrag()
{
    AppState &app = m_machine.app;
    const int held = app.DragIndex;
    app.DragIndex = -1;
    // A drag that did not end with its button-up moves nothing.
    if (app.SelKind == SelectionLabel && isLabelSlot(held) && m_machine.label(held).isUsed()) {
        LabelControl &c = m_stage.labels[static_cast<std::size_t>(held)];
        c.rect.left = app.OrigLeft;
        c.rect.top = app.OrigTop;
        c.visible = true;
        m_stage.frameTightly(c.rect);
        writeCoordinatesTwips(c.rect);
    } else if (app.SelKind == SelectionPart && m_machine.partExists(held)) {
        PartControl &c = m_stage.part(held);
        c.rect.left = app.OrigLeft;
        c.rect.top = app.OrigTop;
        c.visible = true;
        showSelection(SelectionPart);
        writeCoordinatesPixels(c.rect);
    }
}

void StageEditor::clearSelection()
{
    AppState &app = m_machine.app;
    app.SelKind = SelectionNone;
    app.CurParts = -1;
    m_stage.selection.visible = false;
    m_stage.controls.deleteEnabled = false;
    m_panel.x.clear();
    m_panel.y.clear();
    m_panel.partsName.clear();
}

void StageEditor::selectAfterLabelDeleted()
{
    AppState &app = m_machine.app;
    if (app.LabelCount <= 0) {
        for (int i = 0; i < PartSlots; ++i) {
            if (m_stage.part(i).visible) {
                app.SelKind = SelectionPart;
                app.CurParts = static_cast<std::int16_t>(i);
                showSelection(SelectionPart);
                writeCoordinatesTwips(m_stage.part(i).rect);
                return;
            }
        }
        clearSelection();
        return;
    }
    for (int j = LabelSlots - 1; j >= 1; --j) {
        const LabelControl &c = m_stage.labels[static_cast<std::size_t>(j)];
        if (c.visible) {
            app.CurParts = static_cast<std::int16_t>(j);
            showSelection(SelectionLabel);
            writeCoordinatesTwips(c.rect);
            m_panel.partsName = c.caption;
            return;
        }
    }
}

void StageEditor::selectAfterPartDeleted()
{
    AppState &app = m_machine.app;
    for (int i = 0; i < PartSlots; ++i) {
        if (m_machine.part(i).isUsed()) {
            app.CurParts = static_cast<std::int16_t>(i);
            showSelection(SelectionPart);
            writeCoordinatesTwips(m_stage.part(i).rect);
            return;
        }
    }
    for (int j = 0; j < LabelSlots; ++j) {
        const LabelControl &c = m_stage.labels[static_cast<std::size_t>(j)];
        if (c.visible) {
            app.CurParts = static_cast<std::int16_t>(j);
            app.SelKind = SelectionLabel;
            m_panel.partsName = c.caption;
            showSelection(SelectionLabel);
            writeCoordinatesTwips(c.rect);
            return;
        }
    }
    clearSelection();
}

void StageEditor::deleteCurrent()
{
    AppState &app = m_machine.app;
    if (app.RunMode != ModeEditing)
        return;
    const int cur = app.CurParts;
    app.DragIndex = -1;
    if (isLabelSlot(cur) && app.SelKind == SelectionLabel && m_machine.label(cur).isUsed()) {
        m_stage.labels[static_cast<std::size_t>(cur)].visible = false;
        m_machine.label(cur).Used = 0;
        recount(m_machine);
        selectAfterLabelDeleted();
        m_stage.controls.labelButtonEnabled = true;
    } else if (app.SelKind == SelectionPart && m_machine.partExists(cur)) {
        m_machine.part(cur).Used = 0;
        m_stage.part(cur).visible = false;
        recount(m_machine);
        m_stage.controls.partButtonsEnabled = true;
        selectAfterPartDeleted();
    }
    m_panel.partsCount = "パーツの数： " + std::to_string(app.PartsCount) + "個";
}

void StageEditor::showRestoredMachine()
{
    AppState &app = m_machine.app;
    m_stage.controls.partButtonsEnabled = app.PartsCount < MaxParts;
    m_stage.controls.labelButtonEnabled = app.LabelCount < LabelSlots - 1;
    app.DragIndex = -1;
    const int cur = app.CurParts;
    const bool part = m_machine.partExists(cur);
    const bool label = isLabelSlot(cur) && m_machine.label(cur).isUsed();
    if (!(app.SelKind == SelectionPart && part) && !(app.SelKind == SelectionLabel && label))
        app.SelKind = part ? SelectionPart : (label ? SelectionLabel : SelectionNone);
    m_panel.partsCount = "パーツの数：" + std::to_string(app.PartsCount) + "個";
    if (app.SelKind == SelectionNone) {
        app.SelKind = SelectionPart;
        selectAfterPartDeleted();
        if (app.SelKind == SelectionNone) {
            // Nothing left to select: the panel shows what an empty stage shows, naming no
            // part that is gone.
            SelectionPanel empty;
            empty.partsCount = m_panel.partsCount;
            m_panel = std::move(empty);
        }
    } else if (app.SelKind == SelectionPart) {
        showSelection(SelectionPart);
        showPartPanel(cur);
        m_panel.pictureVisible = true;
        writeCoordinatesPixels(m_stage.part(cur).rect);
    } else {
        const LabelControl &c = m_stage.labels[static_cast<std::size_t>(cur)];
        showSelection(SelectionLabel);
        m_panel.partsName = c.caption;
        writeCoordinatesTwips(c.rect);
    }
    if (app.SelKind == SelectionNone)
        return;
    m_stage.selection.visible = true;
    m_stage.controls.deleteEnabled = true;
}

} // namespace jhk
