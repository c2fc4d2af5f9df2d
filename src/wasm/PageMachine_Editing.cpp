// The machine of a page while the pupil builds it: pointer events through the stage
// controller, drops from the palette, the property dialog answered later, undo and redo.
#include "wasm/PageMachine.h"

#include "model/AppState.h"
#include "rules/StageTexts.h"
#include "wasm/Json.h"

#include <algorithm>
#include <cstdio>

namespace jhk {

namespace {

PointerButton pointerButton(int domButton)
{
    switch (domButton) {
    case 0: return PointerButton::Left;
    case 1: return PointerButton::Middle;
    case 2: return PointerButton::Right;
    default: return PointerButton::Other;
    }
}

int buttonBit(int domButton) { return 1 << std::clamp(domButton, 0, 4); }

const char *buttonsName(MessageButtons b)
{
    switch (b) {
    case MessageButtons::Ok: return "ok";
    case MessageButtons::OkCancel: return "okcancel";
    case MessageButtons::YesNo: return "yesno";
    case MessageButtons::YesNoCancel: return "yesnocancel";
    case MessageButtons::OkStop: return "okstop";
    }
    return "ok";
}

const char *iconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None: return "";
    case MessageIcon::Critical: return "critical";
    case MessageIcon::Question: return "question";
    case MessageIcon::Exclamation: return "exclamation";
    case MessageIcon::Information: return "information";
    }
    return "";
}

// What the page keeps of the machine beside the tables, kept with every state of the history.
struct PageState {
    std::array<std::string, LabelSlots> labelFonts;
    int step = 1;
};

} // namespace

// --- The pointer on the stage ------------------------------------------------------------------

void PageMachine::pointer(const std::string &type, int x, int y, int button, int modifiers)
{
    // The dialogs are modal: the stage takes nothing while one is open.
    if (m_properties || m_label)
        return;
    const PointerButton b = pointerButton(button);
    const bool modifier = (modifiers & 7) != 0;
    if (type == "down") {
        const int bit = buttonBit(button);
        m_buttonsHeld |= bit;
        m_controller.press(x, y, b, m_buttonsHeld == bit);
    } else if (type == "move") {
        m_controller.move(x, y, (m_buttonsHeld & buttonBit(0)) != 0, modifier);
    } else if (type == "up") {
        m_buttonsHeld &= ~buttonBit(button);
        m_controller.release(x, y, b, m_buttonsHeld == 0);
    } else if (type == "dblclick") {
        // The page reports a double-click after the second press has come up: nothing holds
        // the pointer any more.
        m_controller.doubleClick(x, y, b);
        m_controller.releasedElsewhere();
        m_buttonsHeld = 0;
    } else if (type == "contextmenu") {
        // A finger held still: what the right button does there. A part the finger was
        // moving stays where it was pressed.
        if (m_buttonsHeld != 0) {
            m_editor.endDrag();
            m_controller.releasedElsewhere();
            m_buttonsHeld = 0;
        }
        m_controller.press(x, y, PointerButton::Right, true);
        m_controller.release(x, y, PointerButton::Right, true);
    } else {
        return;
    }
    recordEdit();
}

// --- The palette ------------------------------------------------------------------------------

bool PageMachine::paletteDown(int kind)
{
    if (m_properties || m_label || kind < 0 || kind > PartsKindCount)
        return false;
    if (kind == PartsKindCount)
        return m_machine.app.RunMode == ModeEditing && m_engine.stage().controls.labelButtonEnabled;
    if (!m_engine.stage().controls.partButtonsEnabled)
        return false;
    const bool drag = m_editor.paletteButtonDown(kind);
    recordEdit();
    return drag;
}

void PageMachine::paletteDrop(int kind, int x, int y)
{
    if (m_properties || kind < 0 || kind > PartsKindCount || kind == KindMoneyInHand)
        return;
    // Only the stage's own surface takes a drop; on a part or a label it is ignored.
    if (x < 0 || y < 0 || x >= StageWidthPixels || y >= StageHeightPixels
        || m_controller.hitTest().hitAt(x, y).kind != StageHit::Surface)
        return;
    const DropSource source = kind == PartsKindCount ? DropSource::LabelButton : DropSource::PartButton;
    // The new part and what its property dialog gives it are one edit, recorded once the
    // dialog has closed.
    const int placedBefore = m_machine.app.PartsCount + m_machine.app.LabelCount;
    ++m_historyPaused;
    m_editor.dropOnStage(source, kind, x * m_machine.app.TwipsX, y * m_machine.app.TwipsY, [this, placedBefore] {
        --m_historyPaused;
        // A drop whose dialog was cancelled leaves only a freed slot behind: no edit.
        if (m_machine.app.PartsCount + m_machine.app.LabelCount == placedBefore)
            m_history.rebase(m_machine, undoExtra());
        recordEdit();
        m_host.changed("everything", -1);
    });
}

// --- The property dialog ------------------------------------------------------------------------

void PageMachine::showPropertyDialog(int slot, std::function<void(PropertyOutcome)> closed)
{
    m_properties.emplace(OpenProperties{PropertyDialogLogic(m_machine, m_catalogue, slot), std::move(closed), {}});
    m_host.request("properties", slot);
}

void PageMachine::changeProperties(int slot)
{
    if (m_properties || m_machine.app.RunMode != ModeEditing || !m_machine.partExists(slot))
        return;
    const PartsRecord before = m_machine.part(slot);
    const std::string &shown = m_engine.stage().part(slot).picture;
    m_properties.emplace(OpenProperties{
        PropertyDialogLogic(m_machine, m_catalogue, slot, shown.empty() ? "dummy" : shown), {}, before});
    m_host.request("properties", slot);
}

std::string PageMachine::propertyDialog() const
{
    if (!m_properties)
        return "null";
    const PropertyDialogLogic &d = m_properties->logic;
    JsonWriter j;
    j.beginObject();
    j.field("slot", d.slot()).field("kind", d.kind()).field("kindName", d.kindName());
    j.field("newPart", bool(m_properties->closed));
    j.key("boxes").beginArray();
    for (int i = 0; i < 3; ++i) {
        j.beginObject().field("label", d.variableLabel(i)).field("shown", d.variableShown(i));
        j.field("lamp", d.lampBox(i)).field("text", d.initialText(i)).endObject();
    }
    j.endArray();
    j.field("scrollMaximum", d.scrollMaximum()).field("scrollValue", d.scrollValue());
    j.field("picture", d.picture()).field("editShown", d.editShown());
    j.endObject();
    return j.text();
}

void PageMachine::propertyScroll(int value)
{
    if (m_properties)
        m_properties->logic.scrollTo(std::clamp(value, 0, m_properties->logic.scrollMaximum()));
}

PageMachine::PropertyAnswer PageMachine::propertyOk(const std::array<std::string, 3> &texts)
{
    if (!m_properties)
        return {};
    const PropertyDialogLogic::OkResult r = m_properties->logic.ok(texts);
    if (!r.accepted) {
        showMessage(r.message);
        return {false, r.refusedBox, r.resetBox};
    }
    closeProperties(PropertyOutcome::Ok);
    return {true, -1, false};
}

void PageMachine::propertyCancel()
{
    if (!m_properties)
        return;
    m_properties->logic.cancel();
    closeProperties(PropertyOutcome::Cancel);
}

void PageMachine::closeProperties(PropertyOutcome outcome)
{
    OpenProperties open = std::move(*m_properties);
    m_properties.reset();
    const int slot = open.logic.slot();
    if (open.closed) {
        // The drop goes on and records itself as one edit.
        open.closed(outcome);
        return;
    }
    // A part already on the stage: キャンセル keeps it exactly as it was; 決定 shows the
    // picture chosen.
    m_machine.app.DeleteNewParts = 0;
    if (outcome == PropertyOutcome::Ok && open.logic.pictureChanged())
        m_engine.stage().setPartPicture(m_machine, m_sizes, slot, m_machine.part(slot).PictName);
    else if (outcome != PropertyOutcome::Ok)
        m_machine.part(slot) = open.before;
    recordEdit();
    m_host.changed("everything", -1);
}

// --- What the stage rules ask of the page -----------------------------------------------------

std::pair<int, int> PageMachine::labelSize(const LabelControl &label, const std::string &fontName)
{
    const int tx = std::max<int>(1, m_machine.app.TwipsX);
    const int ty = std::max<int>(1, m_machine.app.TwipsY);
    if (const auto px = m_host.labelPixels(label, fontName))
        return {std::max(1, px->first) * tx, std::max(1, px->second) * ty};
    // A page that cannot measure: a full-width character is as wide as the font is high.
    const int pixels = std::max(1, std::max(1, int(label.fontSize)) * 20 / ty);
    int characters = 0;
    for (unsigned char c : label.caption)
        characters += (c & 0xC0) != 0x80 ? 1 : 0;
    return {(std::max(1, characters) * pixels + 2) * tx, (pixels * 5 / 4) * ty};
}

void PageMachine::changeMoneyInHand()
{
    ask(msg::MoneyPrompt, "input", "", [this](const std::string &text) {
        m_engine.setMoneyInHand(text);
        recordEdit();
        m_runView.sync();
    });
}

void PageMachine::offerPartMenu(int slot)
{
    m_host.request("partmenu", slot);
}

void PageMachine::openBlockEditor(int part)
{
    m_host.request("blockeditor", part);
}

void PageMachine::editLabel(int label)
{
    if (m_label || label < 1 || label >= LabelSlots || !m_machine.label(label).isUsed())
        return;
    m_machine.app.CurParts = static_cast<std::int16_t>(label);
    const LabelControl &c = m_engine.stage().labels[static_cast<std::size_t>(label)];
    m_label.emplace(OpenLabel{label, LabelEditorLogic(m_machine.app, m_machine.label(label), c, m_editor.labelFont(label))});
    m_host.request("label", label);
}

std::string PageMachine::labelDialog() const
{
    if (!m_label)
        return "null";
    const LabelEditorLogic &d = m_label->logic;
    const int tx = std::max<int>(1, m_machine.app.TwipsX);
    const int ty = std::max<int>(1, m_machine.app.TwipsY);
    JsonWriter j;
    auto rect = [&](const LabelEditorLogic::Rect &r) {
        j.field("x", r.left / tx).field("y", r.top / ty).field("w", r.width / tx).field("h", r.height / ty);
    };
    j.beginObject().field("slot", m_label->slot).field("caption", d.caption).field("fontName", d.fontName);
    j.field("fontSize", d.fontSizeText).field("italic", d.italic).field("bold", d.bold);
    j.field("transparent", d.transparent);
    j.key("sizes").beginArray();
    for (const std::string &size : LabelEditorLogic::fontSizes())
        j.value(size);
    j.endArray();
    j.key("strips").beginArray();
    for (int strip = 0; strip < 2; ++strip) {
        j.beginObject();
        rect(d.stripArea(strip));
        j.field("chosen", strip == 0 ? d.foreIndex : d.backIndex);
        j.key("cells").beginArray();
        for (int k = 0; k < ColorCount; ++k) {
            j.beginObject();
            rect(d.cell(strip, k));
            const auto v = static_cast<std::uint32_t>(m_machine.app.ColorTable[static_cast<std::size_t>(k)]);
            char colour[8];
            std::snprintf(colour, sizeof colour, "#%02x%02x%02x", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
            j.field("colour", std::string(colour)).endObject();
        }
        j.endArray().endObject();
    }
    j.endArray().endObject();
    return j.text();
}

void PageMachine::labelEdit(const std::string &caption, const std::string &fontName, const std::string &fontSize,
                            bool italic, bool bold, bool transparent)
{
    if (!m_label)
        return;
    LabelEditorLogic &d = m_label->logic;
    d.caption = caption;
    d.fontName = fontName;
    d.fontSizeText = fontSize;
    d.italic = italic;
    d.bold = bold;
    d.transparent = transparent;
}

void PageMachine::labelPress(int x, int y)
{
    if (m_label)
        m_label->logic.chooseColour(x * m_machine.app.TwipsX, y * m_machine.app.TwipsY);
}

void PageMachine::labelOk()
{
    if (!m_label)
        return;
    const int j = m_label->slot;
    LabelControl &c = m_engine.stage().labels[static_cast<std::size_t>(j)];
    std::string font = m_editor.labelFont(j);
    m_label->logic.apply(m_machine.label(j), c, font);
    m_label.reset();
    m_editor.setLabelFont(j, font);
    m_editor.fitLabel(j);
    m_engine.stage().frameTightly(c.rect);
    recordEdit();
    m_host.changed("everything", -1);
}

void PageMachine::labelCancel()
{
    m_label.reset();
    m_host.changed("everything", -1);
}

void PageMachine::askVariable(const std::array<std::string, 3> &, std::function<void(std::optional<int>)> answer)
{
    // Parts are picked for a block only from the block editor, which the page does not have.
    answer(std::nullopt);
}

Answer PageMachine::ask(std::string_view text, MessageButtons buttons, MessageIcon icon)
{
    m_lastMessage = std::string(text);
    ask(std::string(text), buttonsName(buttons), iconName(icon), {});
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? Answer::No : Answer::Ok;
}

// --- Undo and redo -----------------------------------------------------------------------------

UndoExtra PageMachine::undoExtra() const
{
    auto state = std::make_shared<PageState>();
    state->labelFonts = m_editor.labelFonts();
    state->step = m_machine.app.Step;
    std::string key = std::to_string(state->step);
    for (const std::string &font : state->labelFonts)
        key += '|' + font;
    return {std::move(key), std::move(state)};
}

void PageMachine::recordEdit()
{
    const AppState &app = m_machine.app;
    if (m_historyPaused > 0 || m_properties || app.DragIndex >= 0)
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
        m_engine.forgetRunEnd();
}

void PageMachine::travelHistory(bool back)
{
    if (m_machine.app.RunMode != ModeEditing || m_properties || m_historyPaused > 0)
        return;
    m_editor.endDrag();
    const std::optional<UndoExtra> extra =
        back ? m_history.undo(m_machine, undoExtra()) : m_history.redo(m_machine, undoExtra());
    if (extra)
        showRestoredMachine(*extra);
    m_host.changed("everything", -1);
}

void PageMachine::showRestoredMachine(const UndoExtra &extra)
{
    if (const auto state = std::static_pointer_cast<const PageState>(extra.data)) {
        for (int j = 0; j < LabelSlots; ++j)
            m_editor.setLabelFont(j, state->labelFonts[static_cast<std::size_t>(j)]);
        m_machine.app.Step = static_cast<std::uint8_t>(state->step);
    }
    // Rebuilding a level-1 stage puts every program back to step 1: the restored programs and
    // step stay as they were.
    const PartsTable programs = m_machine.parts;
    const std::uint8_t step = m_machine.app.Step;
    ++m_historyPaused;
    m_engine.rebuildStage();
    --m_historyPaused;
    m_machine.parts = programs;
    m_machine.app.Step = step;
    for (int j = 0; j < LabelSlots; ++j)
        if (m_engine.stage().labels[static_cast<std::size_t>(j)].visible)
            m_editor.fitLabel(j);
    m_editor.showRestoredMachine();
    m_runView.sync();
    // Choosing what is selected may name another current part: that is where the next edit
    // starts, without a step of its own and keeping what there is to redo.
    m_history.rebase(m_machine, undoExtra());
}

} // namespace jhk
