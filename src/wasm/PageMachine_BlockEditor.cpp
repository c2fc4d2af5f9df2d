// The block editor of a page's machine: the window rules' BlockEditorSession driven by what the
// page forwards (canvas pointer events, palette drops, buttons, the detail dialog's choices), and
// everything the editor window shows written as JSON for the page to draw.
#include "wasm/PageMachine.h"

#include "rules/BlockPalette.h"
#include "rules/StageHints.h"
#include "wasm/FlowchartJson.h"
#include "wasm/Json.h"

namespace jhk {

namespace {

void writeShown(JsonWriter &j, const ShownText &t)
{
    j.beginObject().field("text", t.text).field("visible", t.visible).endObject();
}

void writeList(JsonWriter &j, const DetailList &list)
{
    j.beginObject().key("items").beginArray();
    for (const std::string &item : list.items)
        j.value(item);
    j.endArray().field("text", list.text).field("visible", list.visible).endObject();
}

BoxButton boxButton(int button)
{
    return button == 2 ? BoxButton::Right : BoxButton::Left;
}

} // namespace

void PageMachine::openBlockEditorSession(int part)
{
    if (m_blockEditor || !BlockEditorSession::mayOpen(m_machine, part))
        return;
    m_blockEditor = std::make_unique<BlockEditorSession>(m_machine, part, m_catalogue,
                                                         [this](const std::string &text) { ask(text, "ok", "", {}); });
    m_host.request("blockeditor", part);
    m_host.changed("everything", -1);
}

void PageMachine::editorChanged()
{
    if (m_blockEditor && m_blockEditor->closed())
        blockEditorClosed();
    m_runView.sync();
    m_host.changed("everything", -1);
}

void PageMachine::blockEditorClosed()
{
    m_blockEditor.reset();
    m_variableAnswer = nullptr;
    // The whole session is one step of the machine's history (none after キャンセル).
    m_history.record();
}

std::string PageMachine::editorPointer(const std::string &type, double x, double y, int button)
{
    if (!m_blockEditor || m_blockEditor->detailOpen() || m_blockEditor->pickingOnStage())
        return "";
    BlockEditorSession &s = *m_blockEditor;
    CanvasAnswer answer = CanvasAnswer::Nothing;
    if (type == "down")
        answer = s.canvasPress(x, y, boxButton(button));
    else if (type == "move")
        s.canvasMove(x, y);
    else if (type == "up")
        s.canvasRelease(boxButton(button));
    else if (type == "dblclick" && button == 0)
        answer = s.canvasDoubleClick(x, y);
    editorChanged();
    switch (answer) {
    case CanvasAnswer::PopupMenu: return "popup";
    case CanvasAnswer::DetailDialog: return "detail";
    case CanvasAnswer::Nothing: break;
    }
    return "";
}

void PageMachine::editorPopup(int entry)
{
    if (!m_blockEditor || entry < 0 || entry > 2)
        return;
    const auto e = static_cast<PopupEntry>(entry);
    if (m_blockEditor->popupEntryEnabled(e))
        m_blockEditor->choosePopupEntry(e);
    editorChanged();
}

void PageMachine::editorDrop(int tab, int position, double x, double y)
{
    if (!m_blockEditor || m_blockEditor->detailOpen() || m_blockEditor->pickingOnStage())
        return;
    const BlockEditorModel &model = m_blockEditor->model();
    // Only what the palette lets be dragged: an entry of an enabled list.
    if (tab < 0 || tab >= PaletteTabCount || !model.listsEnabled() || !model.paletteEnabled() || tab != VendingTab)
        return;
    const auto &entries = model.paletteLists()[static_cast<std::size_t>(tab)];
    if (position < 0 || position >= static_cast<int>(entries.size()) || entries[static_cast<std::size_t>(position)].empty())
        return;
    m_blockEditor->dropFromPalette(tab, position, x, y);
    editorChanged();
}

bool PageMachine::editorCommand(const std::string &name)
{
    if (!m_blockEditor)
        return false;
    BlockEditorSession &s = *m_blockEditor;
    BlockEditorModel &model = s.model();
    // Under the detail dialog or while a part is picked on the stage, the editor takes nothing.
    const bool busy = s.detailOpen() || s.pickingOnStage();
    if (name == "delete") {
        if (!busy && model.deleteEnabled())
            model.deleteSelected();
    } else if (name == "first") {
        if (!busy && model.panel().order.firstBlockButton)
            model.firstBlockButton();
    } else if (name == "next1" || name == "next2") {
        const int j = name == "next1" ? 0 : 1;
        if (!busy && model.panel().order.pickButtons[static_cast<std::size_t>(j)])
            model.nextBlockButton(j);
    } else if (name == "ok") {
        if (!busy && s.confirm())
            s.close();
    } else if (name == "cancel") {
        if (!busy && s.cancel())
            s.close();
    } else if (name == "close") {
        if (!busy)
            s.close();
    } else if (name == "undo") {
        s.undo();
    } else if (name == "redo") {
        s.redo();
    } else {
        return false;
    }
    s.changed();
    editorChanged();
    return true;
}

void PageMachine::editorVariable(int row, const std::string &text)
{
    if (m_blockEditor && row >= 0 && row < 3)
        m_blockEditor->model().setVariableText(row, text);
}

void PageMachine::editorDragMode(bool on)
{
    if (m_blockEditor)
        m_blockEditor->model().setDragMode(on);
}

void PageMachine::detailPick(int button)
{
    if (!m_blockEditor || !m_blockEditor->detailOpen() || button < 0 || button > 2)
        return;
    BlockDetailModel &detail = *m_blockEditor->detail();
    if (!detail.pickButtons()[static_cast<std::size_t>(button)])
        return;
    if (detail.needsStockNumber(button)) {
        // A number typed in, not a part: an empty answer (or キャンセル) does nothing.
        ask(StockPrompt, "input", "", [this](const std::string &answer) {
            if (!m_blockEditor || !m_blockEditor->detailOpen() || answer.empty())
                return;
            const std::string message = m_blockEditor->detail()->enterStockNumber(answer);
            if (!message.empty())
                ask(message, "ok", "", {});
            editorChanged();
        });
        return;
    }
    const std::optional<StagePickRequest> pick = detail.requestPick(button);
    if (!pick)
        return;
    m_blockEditor->beginStagePick(*pick);
    editorChanged();
}

void PageMachine::detailOperator(const std::string &text)
{
    if (m_blockEditor && m_blockEditor->detailOpen())
        m_blockEditor->detail()->chooseOperator(text);
    editorChanged();
}

void PageMachine::detailLamp(const std::string &text)
{
    if (m_blockEditor && m_blockEditor->detailOpen())
        m_blockEditor->detail()->chooseLamp(text);
    editorChanged();
}

void PageMachine::detailOk()
{
    if (!m_blockEditor || !m_blockEditor->detailOpen())
        return;
    m_blockEditor->detail()->confirm();
    detailClose();
}

void PageMachine::detailClose()
{
    if (!m_blockEditor || !m_blockEditor->detailOpen())
        return;
    if (m_blockEditor->detailClosed())
        m_blockEditor->openDetail();
    editorChanged();
}

void PageMachine::finishPick()
{
    // The stage has handled the click on a part (and the variable menu), or the pick was given
    // up: the editor shows again with the detail dialog and the new operand.
    m_variableAnswer = nullptr;
    if (m_blockEditor && m_blockEditor->finishStagePick())
        m_blockEditor->openDetail();
    editorChanged();
}

void PageMachine::askVariable(const std::array<std::string, 3> &captions, std::function<void(std::optional<int>)> answer)
{
    // The page shows the menu at the pointer (blockEditor().variableMenu) and answers with
    // chooseVariable.
    m_variableCaptions = captions;
    m_variableAnswer = std::move(answer);
    m_host.request("variablemenu", -1);
    m_host.changed("everything", -1);
}

void PageMachine::chooseVariable(int entry)
{
    if (!m_variableAnswer)
        return;
    auto answer = std::move(m_variableAnswer);
    m_variableAnswer = nullptr;
    answer(entry >= 0 && entry < 3 ? std::optional<int>(entry) : std::nullopt);
    m_host.changed("everything", -1);
}

bool PageMachine::escape()
{
    if (m_variableAnswer)
        return false; // the menu closes first, with its own Escape
    const bool gaveUp = m_controller.escape();
    m_host.changed("everything", -1);
    return gaveUp;
}

std::string PageMachine::blockEditor() const
{
    if (!m_blockEditor)
        return "null";
    const BlockEditorSession &s = *m_blockEditor;
    const BlockEditorModel &model = s.model();
    const AppState &app = m_machine.app;
    JsonWriter j;
    j.beginObject();
    j.field("part", model.partSlot()).field("kind", int(model.record().Kind)).field("level", int(app.Level));
    j.field("caption", model.windowCaption()).field("runMode", int(app.RunMode));
    j.field("pickingOnStage", s.pickingOnStage()).field("undo", s.canUndo()).field("redo", s.canRedo());

    // The palette, its lists and the buttons under it.
    j.key("tabs").beginArray();
    for (int t = 0; t < PaletteTabCount; ++t) {
        j.beginObject().field("caption", std::string(PaletteTabCaptions[static_cast<std::size_t>(t)]));
        // Only the vending tab can be chosen: the others are switched off whenever the editor is active.
        j.field("enabled", t == VendingTab);
        j.key("entries").beginArray();
        for (const std::string &entry : model.paletteLists()[static_cast<std::size_t>(t)])
            j.value(entry);
        j.endArray().endObject();
    }
    j.endArray();
    j.field("currentTab", VendingTab);
    j.field("listsEnabled", model.listsEnabled() && model.paletteEnabled());
    j.field("paletteEnabled", model.paletteEnabled());
    j.field("deleteEnabled", model.deleteEnabled());

    const ExecutionOrderFrame &order = model.panel().order;
    j.key("order").beginObject();
    j.key("caption");
    writeShown(j, order.caption);
    j.key("fields").beginArray();
    for (const ShownText &f : order.fields)
        writeShown(j, f);
    j.endArray();
    j.key("exitCaptions").beginArray().value(order.exitCaptions[0]).value(order.exitCaptions[1]).endArray();
    j.key("pickButtons").beginArray().value(order.pickButtons[0]).value(order.pickButtons[1]).endArray();
    j.field("firstBlockButton", order.firstBlockButton);
    j.endObject();
    j.key("popup").beginArray();
    for (PopupEntry e : {PopupEntry::NextBlock1, PopupEntry::NextBlock2, PopupEntry::Delete})
        j.value(s.popupEntryEnabled(e));
    j.endArray();

    const PartInfoFrame &info = model.partInfo();
    j.key("info").beginObject();
    j.field("blockCount", info.blockCount).field("kindName", info.kindName).field("partNumber", info.partNumber);
    j.field("x", info.x).field("y", info.y).field("dragMode", info.dragMode);
    j.key("rows").beginArray();
    for (const VariableRow &r : info.rows) {
        j.beginObject().field("caption", r.caption).field("text", r.text).field("textVisible", r.textVisible);
        j.field("textEditable", r.textEditable).field("listVisible", r.listVisible).field("listEnabled", r.listEnabled);
        j.key("listItems").beginArray();
        for (const std::string &item : r.listItems)
            j.value(item);
        j.endArray().field("listText", r.listText).endObject();
    }
    j.endArray();
    j.endObject();

    // The flowchart with the editor's marks: the selection outline and the target cell.
    const FlowchartScene scene = model.scene();
    const CanvasGeometry &g = scene.geometry;
    j.key("flowchart").beginObject();
    writeFlowchartFields(j, scene);
    j.key("outline");
    if (model.outlineOn() != OutlineOn::Nothing) {
        j.beginObject();
        writeCanvasRect(j, model.outlineRect(), g);
        j.endObject();
    } else {
        j.null();
    }
    j.key("marker");
    if (model.targetMarkerVisible()) {
        j.beginObject();
        writeCanvasRect(j, model.targetMarker(), g);
        j.endObject();
    } else {
        j.null();
    }
    j.endObject();

    // The block detail dialog, while it is open.
    j.key("detail");
    if (s.detailOpen()) {
        const BlockDetailModel &d = *s.detail();
        j.beginObject();
        j.field("caption", DetailCaption).field("width", d.widthPx()).field("height", BlockDetailModel::HeightPx);
        j.field("branch", d.isBranch()).field("name", d.blockName()).field("explanation", d.explanation());
        j.field("frame1", d.frame1Caption()).field("frame2", d.frame2Caption());
        j.key("rowTitles").beginArray();
        for (const ShownText &t : d.rowTitles())
            writeShown(j, t);
        j.endArray();
        j.key("operands").beginArray();
        for (const ShownText &t : d.operands())
            writeShown(j, t);
        j.endArray();
        j.key("pickButtons").beginArray();
        for (bool b : d.pickButtons())
            j.value(b);
        j.endArray();
        j.key("operators");
        writeList(j, d.operatorList());
        j.key("lamp");
        writeList(j, d.lampList());
        j.endObject();
    } else {
        j.null();
    }

    // The variable menu at the pointer after a part was picked for a comparison.
    j.key("variableMenu");
    if (m_variableAnswer) {
        j.beginArray();
        for (const std::string &c : m_variableCaptions)
            j.value(c);
        j.endArray();
    } else {
        j.null();
    }
    j.field("pickHint", isPicking(app.RunMode) ? PickPartHint : "");
    j.endObject();
    return j.text();
}

} // namespace jhk
