#include "rules/BlockEditorModel.h"

#include "model/AppState.h"
#include "model/Int16.h"

namespace jhk {

BlockEditorModel::BlockEditorModel(Machine &m, int part, const Catalogue &catalogue, MessageFn message)
    : m_machine(m)
    , m_part(part)
    , m_catalogue(catalogue)
    , m_message(std::move(message))
{
    load();
}

PartsRecord &BlockEditorModel::record()
{
    return m_machine.part(m_part);
}

const PartsRecord &BlockEditorModel::record() const
{
    return m_machine.part(m_part);
}

int BlockEditorModel::currentBlock() const
{
    return m_machine.app.CurBlock;
}

int BlockEditorModel::runMode() const
{
    return m_machine.app.RunMode;
}

void BlockEditorModel::message(const std::string &text) const
{
    if (m_message)
        m_message(text);
}

bool BlockEditorModel::blockUsed(int i) const
{
    return i >= 0 && i < BlockSlots && record().Blocks[static_cast<std::size_t>(i)].isUsed();
}

void BlockEditorModel::load()
{
    AppState &app = m_machine.app;
    app.CurParts = static_cast<std::int16_t>(m_part);
    if (app.TwipsX > 0)
        m_geometry.twipsX = app.TwipsX;
    if (app.TwipsY > 0)
        m_geometry.twipsY = app.TwipsY;
    m_palette = jhk::paletteLists(app.Level, record().Kind);
    resetBlockPanel(m_panel);
    m_snapshot = record();
    app.CurBlock = record().BlockCount <= 0 ? -1 : 1;
    if (record().BlockCount < 1)
        m_deleteEnabled = false;
    m_level1Empty = app.Level == 1 && record().BlockCount <= 0;
    fillPartInfo();
    if (app.Level == 1) {
        m_deleteEnabled = false;
        m_listsEnabled = false;
    }
    // No outline yet: the pupil selects a block first. The panel shows the block that
    // "ブロックの削除" would act on.
    if (blockUsed(app.CurBlock))
        showBlockPanel();
}

void BlockEditorModel::historyRestored()
{
    AppState &app = m_machine.app;
    app.CurParts = static_cast<std::int16_t>(m_part);
    m_markerVisible = false;
    m_pressedBox = -1;
    m_level1Empty = app.Level == 1 && record().BlockCount <= 0;
    if (!blockUsed(app.CurBlock)) {
        app.CurBlock = -1;
        for (int i = 0; i < BlockSlots && app.CurBlock < 0; ++i)
            if (blockUsed(i))
                app.CurBlock = static_cast<std::int16_t>(i);
    }
    m_deleteEnabled = app.Level != 1 && app.CurBlock >= 0;
    if (app.CurBlock >= 0) {
        m_outline = OutlineOn::Block;
        m_outlineBlock = app.CurBlock;
        showBlockPanel();
    } else {
        m_outline = OutlineOn::Nothing;
        resetBlockPanel(m_panel);
    }
    showBlockCount(false);
}

void BlockEditorModel::showBlockCount(bool withSpace)
{
    m_info.blockCount = std::string(withSpace ? "ブロックの数 ： " : "ブロックの数 ：") + std::to_string(record().BlockCount);
}

FlowchartScene BlockEditorModel::scene() const
{
    return buildFlowchartScene(record(), m_geometry, m_level1Empty, m_machine.app.Step);
}

TwipsRect BlockEditorModel::outlineRect() const
{
    TwipsRect box;
    if (m_outline == OutlineOn::StartBox)
        box = m_geometry.startBox();
    else if (m_outline == OutlineOn::Block && blockUsed(m_outlineBlock))
        box = m_geometry.boxAt(record().Blocks[static_cast<std::size_t>(m_outlineBlock)].X,
                               record().Blocks[static_cast<std::size_t>(m_outlineBlock)].Y);
    else
        return {};
    return {box.left - m_geometry.twipsX, box.top - m_geometry.twipsY, box.width + m_geometry.twipsX,
            box.height + m_geometry.twipsY};
}

TwipsRect BlockEditorModel::targetMarker() const
{
    return m_geometry.boxAt(m_markerLeft, m_markerTop);
}

void BlockEditorModel::showBlockPanel()
{
    resetBlockPanel(m_panel);
    const int cur = m_machine.app.CurBlock;
    if (cur < 0 || cur >= BlockSlots)
        return;
    if (m_machine.app.Level == 1)
        m_deleteEnabled = false;
    fillBlockPanel(m_panel, record().Blocks[static_cast<std::size_t>(cur)], m_machine.app.Level, m_machine,
                   m_catalogue);
}

// --- dropping, selecting, moving

bool BlockEditorModel::hitsBox(int x, int y) const
{
    if (blockAt(x, y) >= 0 || m_geometry.endBox().contains(x, y))
        return true;
    return !m_level1Empty && m_geometry.startBox().contains(x, y);
}

int BlockEditorModel::blockAt(int x, int y) const
{
    // Later slots are drawn over earlier ones.
    for (int i = BlockSlots - 1; i >= 0; --i) {
        const BlockRecord &b = record().Blocks[static_cast<std::size_t>(i)];
        if (b.isUsed() && m_geometry.boxAt(b.X, b.Y).contains(x, y))
            return i;
    }
    return -1;
}

void BlockEditorModel::dropBlock(int tab, int position, int x, int y)
{
    AppState &app = m_machine.app;
    if (app.RunMode != ModeEditing || !m_listsEnabled || !m_paletteEnabled)
        return;
    if (tab < 0 || tab >= PaletteTabCount || position < 0
        || position >= static_cast<int>(m_palette[static_cast<std::size_t>(tab)].size()))
        return;
    if (hitsBox(x, y))
        return;
    PartsRecord &p = record();
    int k = -1;
    for (int i = 0; i < BlockSlots && p.BlockCount < BlockSlots; ++i) {
        if (!p.Blocks[static_cast<std::size_t>(i)].isUsed()) {
            k = i;
            break;
        }
    }
    if (k < 0) {
        message(TooManyBlocksMessage);
        return;
    }
    const int column = m_geometry.columnOf(x);
    const int row = m_geometry.rowOf(y);
    m_markerVisible = false;

    const std::string &entry = m_palette[static_cast<std::size_t>(tab)][static_cast<std::size_t>(position)];
    BlockRecord &b = p.Blocks[static_cast<std::size_t>(k)];
    b.Used = -1;
    b.Kind = static_cast<std::int16_t>(blockKindOf(tab, position));
    b.Caption = std::to_string(k) + entry;
    b.Spare5 = -1;
    b.Spare6 = -1;
    b.NextBlock = LinkNone;
    b.NextBlock2 = LinkNone;
    b.X = clamp16(column * m_geometry.columnWidth());
    b.Y = clamp16(row * m_geometry.rowHeight());
    b.Complete = 0;
    for (ParamValue &v : b.Param)
        v = ParamValue(std::int16_t{-1});
    m_outline = OutlineOn::Block;
    m_outlineBlock = k;
    if (b.Kind == BlockBranch)
        p.BranchCount = add16(p.BranchCount, 1);
    app.CurBlock = static_cast<std::int16_t>(k);
    showBlockPanel();
    p.BlockCount = add16(p.BlockCount, 1);
    showBlockCount(false);
    m_deleteEnabled = true;
    if (hasUnavailableMark(b.Caption)) {
        deleteSelected();
        message(UnusableBlockMessage);
    }
}

void BlockEditorModel::placeTargetMarker(int i, int x, int y)
{
    const BlockRecord &b = record().Blocks[static_cast<std::size_t>(i)];
    const int column = m_geometry.columnOf(b.X + x);
    const int row = m_geometry.rowOf(b.Y + y);
    if (column >= 0 && column < CanvasGeometry::Columns)
        m_markerLeft = column * m_geometry.columnWidth();
    if (row >= 0 && row < CanvasGeometry::Rows)
        m_markerTop = row * m_geometry.rowHeight();
    m_markerVisible = true;
}

void BlockEditorModel::selectBox(int i)
{
    m_machine.app.CurBlock = static_cast<std::int16_t>(i);
    m_outline = OutlineOn::Block;
    m_outlineBlock = i;
    showBlockPanel();
}

bool BlockEditorModel::boxMouseDown(int i, BoxButton button, int x, int y)
{
    if (!blockUsed(i))
        return false;
    const int mode = m_machine.app.RunMode;
    if (mode == ModePickNextBlock || mode == ModePickNextBlock2 || mode == ModePickBranchBlock) {
        completePick(i);
        return false;
    }
    if (mode != ModeEditing)
        return false;
    if (button == BoxButton::Left) {
        selectBox(i);
        placeTargetMarker(i, x, y);
        m_pressedBox = i;
        m_panel.order.firstBlockButton = false;
        return false;
    }
    if (m_machine.app.Level < 2)
        return false;
    // The pop-up menu acts on the block it was opened on, so that block becomes the selected one.
    selectBox(i);
    m_panel.order.firstBlockButton = false;
    return true;
}

void BlockEditorModel::boxMouseMove(int i, int x, int y)
{
    if (m_machine.app.RunMode != ModeEditing || m_pressedBox != i || !blockUsed(i))
        return;
    placeTargetMarker(i, x, y);
}

void BlockEditorModel::boxMouseUp(int i, BoxButton button)
{
    AppState &app = m_machine.app;
    const int mode = app.RunMode;
    if (mode == ModePickNextBlock || mode == ModePickNextBlock2 || mode == ModePickBranchBlock) {
        endPicking();
        return;
    }
    const bool pressed = m_pressedBox == i;
    m_pressedBox = -1;
    if (mode != ModeEditing || button != BoxButton::Left || !pressed || app.CurBlock == -1 || !blockUsed(i))
        return;
    PartsRecord &p = record();
    bool occupied = false;
    for (int j = 0; j < BlockSlots; ++j) {
        const BlockRecord &other = p.Blocks[static_cast<std::size_t>(j)];
        if (j != i && other.isUsed() && other.X == m_markerLeft && other.Y == m_markerTop)
            occupied = true;
    }
    BlockRecord &b = p.Blocks[static_cast<std::size_t>(i)];
    if (!occupied) {
        b.X = clamp16(m_markerLeft);
        b.Y = clamp16(m_markerTop);
    }
    m_markerVisible = false;
    m_outline = OutlineOn::Block;
    m_outlineBlock = i;
}

bool BlockEditorModel::boxDoubleClick(int i)
{
    if (!blockUsed(i))
        return false;
    m_machine.app.CurBlock = static_cast<std::int16_t>(i);
    return m_machine.app.RunMode == ModeEditing;
}

// --- deleting

void BlockEditorModel::deleteSelected()
{
    AppState &app = m_machine.app;
    if (app.RunMode != ModeEditing)
        return;
    PartsRecord &p = record();
    const int s = app.CurBlock;
    // Right after opening, CurBlock may name a free slot: then nothing is deleted.
    if (blockUsed(s)) {
        for (BlockRecord &b : p.Blocks) {
            if (b.NextBlock == s)
                b.NextBlock = LinkNone;
            if (b.NextBlock2 == s)
                b.NextBlock2 = LinkNone;
        }
        BlockRecord &gone = p.Blocks[static_cast<std::size_t>(s)];
        gone.Used = 0;
        if (gone.Kind == BlockBranch)
            p.BranchCount = sub16(p.BranchCount, 1);
        if (p.FirstBlock == s)
            p.FirstBlock = LinkNone;
        p.BlockCount = sub16(p.BlockCount, 1);
        showBlockCount(false);

        m_outline = OutlineOn::Nothing;
        app.CurBlock = -1;
        for (int i = BlockSlots - 1; i >= 0; --i) {
            if (blockUsed(i)) {
                app.CurBlock = static_cast<std::int16_t>(i);
                break;
            }
        }
        m_deleteEnabled = app.CurBlock >= 0;
        if (app.CurBlock >= 0) {
            m_outline = OutlineOn::Block;
            m_outlineBlock = app.CurBlock;
        }
    }
    m_panel.order.pickButtons = {false, false};
    m_panel.order.fields[0].visible = false;
    m_panel.order.fields[1].visible = false;
}

// --- links

void BlockEditorModel::startBoxMouseDown()
{
    AppState &app = m_machine.app;
    if (app.RunMode != ModeEditing || m_level1Empty)
        return;
    ExecutionOrderFrame &order = m_panel.order;
    order.pickButtons = {false, false};
    order.fields[0].visible = false;
    order.fields[1].visible = false;
    m_outline = OutlineOn::StartBox;
    order.caption = {FirstBlockCaption, true};
    order.fields[0] = {record().FirstBlock == LinkNone ? std::string(NotSetText) : std::to_string(record().FirstBlock), true};
    order.exitCaptions = {false, false};
    order.firstBlockButton = app.Level >= 2;
}

void BlockEditorModel::startBoxDoubleClick()
{
    firstBlockButton();
}

void BlockEditorModel::firstBlockButton()
{
    AppState &app = m_machine.app;
    if (app.RunMode != ModeEditing || app.Level < 2 || m_level1Empty)
        return;
    message(PickFirstBlockMessage);
    if (record().BlockCount > 0)
        app.RunMode = ModePickBranchBlock;
    else
        message(NoBlocksMessage);
}

bool BlockEditorModel::nextBlockButtonAvailable(int j) const
{
    return j >= 0 && j < 2 && m_panel.order.pickButtons[static_cast<std::size_t>(j)]
        && blockUsed(m_machine.app.CurBlock);
}

void BlockEditorModel::nextBlockButton(int j)
{
    AppState &app = m_machine.app;
    if (app.RunMode != ModeEditing || !blockUsed(app.CurBlock) || j < 0 || j > 1)
        return;
    const std::string number = j == 0 ? "１" : "２";
    m_caption = "ジハンコウボウ　次に実行するブロック" + number + "を選択中";
    message("次に実行するブロックその" + number + "を選択してください");
    app.RunMode = j == 0 ? ModePickNextBlock : ModePickNextBlock2;
    m_paletteEnabled = false;
}

void BlockEditorModel::completePick(int i)
{
    AppState &app = m_machine.app;
    PartsRecord &p = record();
    if (app.RunMode == ModePickBranchBlock) {
        p.FirstBlock = static_cast<std::int16_t>(i);
        return;
    }
    if (i == app.CurBlock) {
        message(SelfLinkMessage);
        return;
    }
    if (!blockUsed(app.CurBlock))
        return;
    BlockRecord &b = p.Blocks[static_cast<std::size_t>(app.CurBlock)];
    (app.RunMode == ModePickNextBlock ? b.NextBlock : b.NextBlock2) = static_cast<std::int16_t>(i);
    m_caption = EditingBlocksCaption;
    m_paletteEnabled = true;
    m_deleteEnabled = true;
}

void BlockEditorModel::endPicking()
{
    // A refused pick (a block linked to itself) ends here too: the palette comes back with it.
    if (!m_paletteEnabled) {
        m_paletteEnabled = true;
        m_caption = EditingBlocksCaption;
    }
    m_machine.app.RunMode = ModeEditing;
}

void BlockEditorModel::endBoxClick()
{
    AppState &app = m_machine.app;
    if ((app.RunMode != ModePickNextBlock && app.RunMode != ModePickNextBlock2) || !blockUsed(app.CurBlock))
        return;
    BlockRecord &b = record().Blocks[static_cast<std::size_t>(app.CurBlock)];
    (app.RunMode == ModePickNextBlock ? b.NextBlock : b.NextBlock2) = LinkEnd;
    app.RunMode = ModeEditing;
    m_deleteEnabled = true;
    m_paletteEnabled = true;
    m_caption = EditingBlocksCaption;
}

// --- picks on the stage

void BlockEditorModel::beginStagePick(int runMode)
{
    m_stagePickMode = runMode;
    m_machine.app.RunMode = static_cast<std::int16_t>(runMode);
}

void BlockEditorModel::finishStagePick()
{
    const int cur = m_machine.app.CurBlock;
    if (blockUsed(cur)) {
        const BlockRecord &b = record().Blocks[static_cast<std::size_t>(cur)];
        std::vector<int> rows;
        if (m_stagePickMode == ModePickOperand1)
            rows = {0, 1};
        else if (m_stagePickMode == ModePickOperand2)
            rows = {1};
        else if (m_stagePickMode == ModePickOperand4)
            rows = {3, 4};
        for (int r : rows) {
            ShownText &value = m_panel.values[static_cast<std::size_t>(r)];
            if (value.visible)
                value.text = renderParamRow(b, r, m_machine, m_catalogue);
        }
    }
    m_stagePickMode = 0;
}

bool BlockEditorModel::activate(bool visible)
{
    if (!visible)
        return false;
    m_machine.app.RunMode = ModeEditing;
    return m_machine.app.DetailReopen == -1;
}

} // namespace jhk
