// The machine of a page while the pupil builds it: pointer events through the stage
// controller, drops from the palette, the property dialog answered later, undo and redo.
#include "wasm/PageMachine.h"

#include "model/AppState.h"
#include "rules/MoneyInHandInput.h"
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
    m_history.record();
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
    m_history.record();
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
    m_commands.dropFromPalette(source, kind, x * m_machine.app.TwipsX, y * m_machine.app.TwipsY);
}

// --- The property dialog ------------------------------------------------------------------------

void PageMachine::showPropertyDialog(int slot, std::function<void(PropertyOutcome)> closed)
{
    openProperties(slot, {}, true, [closed = std::move(closed)](PropertyOutcome outcome, bool) { closed(outcome); });
}

void PageMachine::Face::showPropertyDialog(int slot, const std::string &shownPicture,
                                           std::function<void(PropertyOutcome, bool)> closed)
{
    m_page.openProperties(slot, shownPicture, false, std::move(closed));
}

void PageMachine::openProperties(int slot, const std::string &shownPicture, bool newPart,
                                 std::function<void(PropertyOutcome, bool)> closed)
{
    m_properties.emplace(OpenProperties{shownPicture.empty()
                                            ? PropertyDialogLogic(m_machine, m_catalogue, slot)
                                            : PropertyDialogLogic(m_machine, m_catalogue, slot, shownPicture),
                                        std::move(closed), newPart});
    m_host.request("properties", slot);
}

void PageMachine::changeProperties(int slot)
{
    if (m_properties || m_label)
        return;
    m_commands.changeProperties(slot);
}

std::string PageMachine::propertyDialog() const
{
    if (!m_properties)
        return "null";
    const PropertyDialogLogic &d = m_properties->logic;
    JsonWriter j;
    j.beginObject();
    j.field("slot", d.slot()).field("kind", d.kind()).field("kindName", d.kindName());
    j.field("newPart", m_properties->newPart);
    j.key("boxes").beginArray();
    for (int i = 0; i < 3; ++i) {
        j.beginObject().field("label", d.variableLabel(i)).field("shown", d.variableShown(i));
        j.field("lamp", d.lampBox(i)).field("editable", d.boxEditable(i)).field("text", d.initialText(i)).endObject();
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
    open.closed(outcome, open.logic.pictureChanged());
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
    // A refused amount shows its message and the box opens again with the text kept.
    askMoneyInHand(*this, m_engine, [this] {
        m_history.record();
        m_runView.sync();
        m_host.changed("everything", -1);
    });
}

void PageMachine::inputText(std::string_view prompt, std::string_view text, TextHandler typed)
{
    // The page answers an input box with the text typed, or "" for キャンセル: a cancelled box
    // and an empty one mean the same to every question asked this way.
    ask(std::string(prompt), "input", "",
        [typed](const std::string &answer) {
            if (answer.empty())
                typed(std::nullopt);
            else
                typed(answer);
        },
        std::string(text));
}

void PageMachine::offerPartMenu(int slot)
{
    m_host.request("partmenu", slot);
}

void PageMachine::openBlockEditor(int part)
{
    openBlockEditorSession(part);
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
    m_history.record();
    m_host.changed("everything", -1);
}

void PageMachine::labelCancel()
{
    m_label.reset();
    m_host.changed("everything", -1);
}

void PageMachine::ask(std::string_view text, MessageButtons buttons, MessageIcon icon, AnswerHandler answered)
{
    m_lastMessage = std::string(text);
    std::function<void(const std::string &)> then;
    if (answered) {
        then = [answered](const std::string &a) {
            answered(a == "yes" ? Answer::Yes
                     : a == "no" ? Answer::No
                     : a == "cancel" ? Answer::Cancel
                     : a == "stop" ? Answer::Stop
                                   : Answer::Ok);
        };
    }
    ask(std::string(text), buttonsName(buttons), iconName(icon), std::move(then));
}

// --- What the window rules ask of the page ------------------------------------------------------

void PageMachine::Face::refresh()
{
    // Whatever changed has ended: the history decides whether it was an edit.
    m_page.m_history.record();
    m_page.m_runView.sync();
    m_page.m_host.changed("everything", -1);
}

} // namespace jhk
