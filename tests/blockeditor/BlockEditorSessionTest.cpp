// The block editor's session: what a pointer on the canvas means, the editor's own history,
// the detail dialog with its pick on the stage, opening and closing. The desktop window and the
// page both drive it.
#include "rules/BlockEditorSession.h"

#include "model/AppState.h"
#include "model/Creation.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace jhk {
namespace {

struct SessionFixture {
    Machine m;
    std::vector<std::string> messages;
    Catalogue catalogue{JHK_APP_DIR};
    int button = -1;
    int product = -1;
    std::unique_ptr<BlockEditorSession> s;

    SessionFixture()
    {
        applyStartupValues(m.app, 15, 15);
        m.app.Level = 3;
        m.app.Step = 1;
        button = createPart(m, KindButton).slot;
        product = createPart(m, KindProduct).slot;
        open(button);
    }
    void open(int part)
    {
        s = std::make_unique<BlockEditorSession>(m, part, catalogue, [this](const std::string &t) { messages.push_back(t); });
    }
    PartsRecord &rec() { return m.part(button); }
    // Canvas pixels of cell (column, row): a point inside its box once a block is dropped there.
    static std::pair<double, double> cell(int column, int row) { return {column * 88.2 + 20, row * 36.73 + 10}; }
    void drop(int position, int column, int row)
    {
        const auto [x, y] = cell(column, row);
        s->dropFromPalette(VendingTab, position, x, y);
    }
    void click(int column, int row, BoxButton b = BoxButton::Left)
    {
        const auto [x, y] = cell(column, row);
        s->canvasPress(x, y, b);
        s->canvasRelease(b);
    }
};

TEST(BlockEditorSession, OpensOnlyWhileEditingAndClosesBackToEditing)
{
    SessionFixture f;
    EXPECT_EQ(f.m.app.BlockEditorOpen, -1);
    EXPECT_FALSE(BlockEditorSession::mayOpen(f.m, f.product)) << "one editor at a time";
    f.drop(BlockDischarge - 20, 1, 1);
    f.s->model().nextBlockButton(0); // picking a link when the window closes
    f.messages.clear();
    f.s->close();
    EXPECT_EQ(f.messages, std::vector<std::string>{BackToEditingMessage});
    EXPECT_EQ(f.m.app.RunMode, ModeEditing);
    EXPECT_EQ(f.m.app.BlockEditorOpen, 0);
    EXPECT_TRUE(BlockEditorSession::mayOpen(f.m, f.product));
    EXPECT_FALSE(BlockEditorSession::mayOpen(f.m, 30)) << "a free slot";
    f.m.app.RunMode = ModeRunning;
    EXPECT_FALSE(BlockEditorSession::mayOpen(f.m, f.product));
}

TEST(BlockEditorSession, PointerOnTheCanvas)
{
    SessionFixture f;
    f.drop(BlockDischarge - 20, 1, 1);
    f.drop(BlockBranch - 20, 1, 3);
    ASSERT_EQ(f.rec().BlockCount, 2);
    // Beside the canvas nothing is dropped.
    f.s->dropFromPalette(VendingTab, 0, 400, 20);
    EXPECT_EQ(f.rec().BlockCount, 2);

    // A left press selects the box under it; a right one asks for the box's menu.
    const auto [x, y] = SessionFixture::cell(1, 1);
    EXPECT_EQ(f.s->canvasPress(x, y, BoxButton::Left), CanvasAnswer::Nothing);
    EXPECT_EQ(f.m.app.CurBlock, 0);
    f.s->canvasRelease(BoxButton::Left);
    EXPECT_EQ(f.s->canvasPress(x, y + 2 * 36.73, BoxButton::Right), CanvasAnswer::PopupMenu);
    f.s->canvasRelease(BoxButton::Right);
    EXPECT_EQ(f.m.app.CurBlock, 1);
    EXPECT_TRUE(f.s->popupEntryEnabled(PopupEntry::NextBlock2)) << "a branch has two exits";

    // A box pressed and dragged goes to the cell it is let go over.
    f.s->canvasPress(x, y, BoxButton::Left);
    f.s->canvasMove(x + 2 * 88.2, y);
    f.s->canvasRelease(BoxButton::Left);
    EXPECT_EQ(f.rec().Blocks[0].X, 3 * 1323);

    // Links: the start box's double-click picks the first block; the pop-up's 指定１ and a press on
    // the end box link an exit to the end.
    f.s->canvasDoubleClick(36, 12);
    EXPECT_EQ(f.m.app.RunMode, ModePickBranchBlock);
    f.click(3, 1);
    EXPECT_EQ(f.rec().FirstBlock, 0);
    f.click(3, 1);
    f.s->choosePopupEntry(PopupEntry::NextBlock1);
    f.s->canvasPress(36, 420, BoxButton::Left);
    EXPECT_EQ(f.rec().Blocks[0].NextBlock, LinkEnd);
    EXPECT_EQ(f.m.app.RunMode, ModeEditing);

    // A double-click on a box opens the detail dialog of that block.
    EXPECT_EQ(f.s->canvasDoubleClick(x, y + 2 * 36.73), CanvasAnswer::DetailDialog);
    ASSERT_TRUE(f.s->detailOpen());
    EXPECT_TRUE(f.s->detail()->isBranch());
}

TEST(BlockEditorSession, OwnHistoryWaitsForPicksAndTheDetailDialog)
{
    SessionFixture f;
    EXPECT_FALSE(f.s->canUndo());
    f.drop(BlockDischarge - 20, 1, 1);
    f.drop(BlockBuyLampOff - 20, 1, 3);
    ASSERT_TRUE(f.s->canUndo());
    f.s->undo();
    EXPECT_EQ(f.rec().BlockCount, 1);
    EXPECT_TRUE(f.s->canRedo());
    f.s->redo();
    EXPECT_EQ(f.rec().BlockCount, 2);

    // Not while a link is picked, nor under the detail dialog, nor while a part is picked on the stage.
    f.click(1, 1);
    f.s->model().nextBlockButton(0);
    EXPECT_FALSE(f.s->canUndo());
    f.s->undo();
    EXPECT_EQ(f.rec().BlockCount, 2);
    f.click(1, 3); // the link made: one more step
    EXPECT_EQ(f.rec().Blocks[0].NextBlock, 1);
    ASSERT_TRUE(f.s->openDetail());
    EXPECT_FALSE(f.s->canUndo());
    f.s->beginStagePick(*f.s->detail()->requestPick(0));
    EXPECT_TRUE(f.s->pickingOnStage());
    EXPECT_FALSE(f.s->canUndo());

    // The pick on the stage comes back: the dialog of the selected block (0) opens again with
    // the part picked.
    f.rec().Blocks[0].Param[1] = ParamValue(static_cast<std::int16_t>(f.product)); // what the stage's pick writes
    ASSERT_TRUE(f.s->finishStagePick());
    EXPECT_EQ(f.m.app.RunMode, ModeEditing);
    ASSERT_TRUE(f.s->openDetail());
    EXPECT_EQ(f.s->detail()->operands()[0].text, std::to_string(f.product) + ":商品");
    f.s->detail()->confirm();
    EXPECT_FALSE(f.s->detailClosed());
    EXPECT_EQ(f.rec().Blocks[0].Complete, -1);

    // The part picked and ＯＫ are one step; undo takes back the link after it.
    f.s->undo();
    EXPECT_EQ(f.rec().Blocks[0].Complete, 0);
    EXPECT_TRUE(f.rec().Blocks[0].Param[1].isUnset());
    f.s->undo();
    EXPECT_EQ(f.rec().Blocks[0].NextBlock, -1);
}

TEST(BlockEditorSession, CancelGivesThePartBackAsOpened)
{
    SessionFixture f;
    const PartsRecord before = f.rec();
    f.drop(BlockDischarge - 20, 1, 1);
    f.drop(BlockBranch - 20, 1, 3);
    f.click(1, 1);
    f.s->model().deleteSelected();
    f.s->undo();
    ASSERT_TRUE(f.s->cancel());
    f.s->close();
    EXPECT_EQ(f.rec(), before);
}

} // namespace
} // namespace jhk
